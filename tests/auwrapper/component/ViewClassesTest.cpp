// The editor view's run-time classes: names unique in the process, a taken name passed over, the host's
// class table refusing a second class of a name, and a host without a display getting no view.

#include "auwrapper/TandrilView.h"
#include "framework/core/ClassNameRegistry.h"
#include "tests/auwrapper/component/ComponentFixture.h"

#include <gtest/gtest.h>

using namespace q9framework;
using namespace aucomponenttest;

TEST(ViewClasses, NamesAreNumberedPastTakenOnesAndDistinct)
{
    ASSERT_TRUE(ClassNameRegistry::allocate("TandrilViewFactory7f000"));   // another wrapper got there first
    uint64_t counter = 0x7f000;
    const TandrilViewClassNames names = allocateTandrilViewClassNames(counter);
    EXPECT_EQ(names.factory, "TandrilViewFactory7f001");
    EXPECT_EQ(names.view, "TandrilView7f002");
    EXPECT_EQ(counter, 0x7f003u);

    // The same numbers again: every name is taken now, so both move on.
    uint64_t again = 0x7f001;
    const TandrilViewClassNames next = allocateTandrilViewClassNames(again);
    EXPECT_EQ(next.factory, "TandrilViewFactory7f002");
    EXPECT_EQ(next.view, "TandrilView7f003");
}

TEST(ViewClasses, ComponentsShareTheClassesAndAViewNeedsAParent)
{
    ComponentFixture a, b;
    ASSERT_EQ(a.open(), noErr);
    ASSERT_EQ(b.open(), noErr);
    AudioUnitCocoaViewInfo infoA{}, infoB{};
    ASSERT_EQ(a.host().get(kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0, infoA), noErr);
    ASSERT_EQ(b.host().get(kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0, infoB), noErr);
    const std::string name = cf::toStdString(infoA.mCocoaAUViewClass[0]);
    EXPECT_EQ(cf::toStdString(infoB.mCocoaAUViewClass[0]), name);
    for (auto* info : {&infoA, &infoB}) {
        CFRelease(info->mCocoaAUViewBundleLocation);
        CFRelease(info->mCocoaAUViewClass[0]);
    }
    const AUCocoaViewFactoryClass* factory = kelvane::AUHostInstance::findViewFactoryClass(name);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->interfaceVersion(), 0u);
    CFStringRef description = factory->copyDescription();
    EXPECT_EQ(cf::toStdString(description), "Editor");
    CFRelease(description);
    // No parent window: no view, and the effect's editor is not left open.
    EXPECT_EQ(factory->uiViewForAudioUnit(a.host().unit(), CGSize{0, 0}, 0), nullptr);
    EXPECT_FALSE(a.component().getPlugIn().isEditorOpen());
    EXPECT_EQ(a.component().getView(), nullptr);
}
