// Kelvane's panel without a display: the resize clamp between its ends. The controls' places, the
// clamps at both ends and playing the panel are tested through the real window.
#include "effect/editor/MainComponent.h"

#include <gtest/gtest.h>

using namespace q9framework;

TEST(Panel, ResizeSizesAreClampedInTheArtworksAspect)
{
    EXPECT_EQ(MainComponent::clampedEditorSize(1000, 1500, 350), Point(1000, 233)) << "233.33 truncated";
    EXPECT_EQ(MainComponent::clampedEditorSize(600, 0, 0), Point(600, 140)) << "no artwork: the design size";
}
