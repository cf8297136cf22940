#include "effect/editor/MainComponent.h"

#include "effect/KVAudioPlugin.h"
#include "effect/editor/DriveLed.h"
#include "effect/editor/KVAudioPluginEditor.h"
#include "effect/editor/LevelMeter.h"
#include "effect/editor/MeterGeometry.h"
#include "effect/editor/MultiStateButton.h"
#include "framework/gui/AdapterComponent.h"
#include "framework/gui/ComponentsHost.h"
#include "framework/gui/Knob.h"
#include "framework/gui/Painter.h"
#include "framework/gui/ToggleButton.h"
#include "framework/resources/ResourcePack.h"

#include <algorithm>

using namespace q9framework;

namespace {

Image packImage(const char* name)
{
    return ResourcePack::getSharedImage(String(name));
}

Knob* makeKnob(Component& panel, KVAudioPlugin::ParameterIndex id, Rectangle bounds, const char* strip,
               double defaultValue)
{
    auto* knob = new Knob();
    panel.addAndMakeVisible(knob);
    knob->setBounds(bounds);
    knob->setFilmStrip(packImage(strip), 101);
    knob->setId(static_cast<uint64_t>(id));
    knob->setWheelStep(0.01f);
    knob->setDefaultValue(defaultValue);
    knob->setOpaque(true);
    knob->setSensitivity(0.0025);
    return knob;
}

MultiStateButton* makeSelector(Component& panel, KVAudioPlugin::ParameterIndex id, Rectangle bounds, const char* strip)
{
    auto* selector = new MultiStateButton();
    panel.addAndMakeVisible(selector);
    selector->setBounds(bounds);
    selector->setFilmStrip(packImage(strip), 3);
    selector->setId(static_cast<uint64_t>(id));
    selector->setOpaque(true);
    return selector;
}

} // namespace

MainComponent::MainComponent(AdapterComponent* showingAdapter, KVAudioPlugin& effect, KVAudioPluginEditor* owner)
    : plugin(effect), adapter(showingAdapter), editor(owner)
{
    setId(panelId);
    background = packImage("KV.0001.tif");
    // The panel is opaque whatever the artwork's alpha holds.
    background.setAlphaBits(255);

    // Children in painting order, back to front.
    attackKnob = makeKnob(*this, KVAudioPlugin::attackIndex, Rectangle(510, 128, 127, 129), "slice_knbAttack", 0.5);
    driveKnob = makeKnob(*this, KVAudioPlugin::driveIndex, Rectangle(645, 110, 101, 106), "slice_knbDrive", 0.0);
    releaseKnob = makeKnob(*this, KVAudioPlugin::releaseIndex, Rectangle(755, 127, 123, 131), "slice_knbRelease", 0.5);
    gainKnob = makeKnob(*this, KVAudioPlugin::gainIndex, Rectangle(891, 110, 96, 105), "slice_knbGain", 0.5);

    bypassButton = new ToggleButton(String());
    addAndMakeVisible(bypassButton);
    bypassButton->setBounds(Rectangle(897, 228, 84, 57));
    bypassButton->setFilmStrip(packImage("slice_tbtnBypass"), 101);
    bypassButton->setId(KVAudioPlugin::bypassIndex);
    bypassButton->setOpaque(true);

    inputMeter = new LevelMeter(adapter);
    addAndMakeVisible(inputMeter);
    inputMeter->setBounds(Rectangle(177, 56, 272, 131));
    outputMeter = new LevelMeter(adapter);
    addAndMakeVisible(outputMeter);
    outputMeter->setBounds(Rectangle(1055, 56, 272, 131));

    driveLed = new DriveLed(adapter);
    addAndMakeVisible(driveLed);
    driveLed->setBounds(Rectangle(673, 228, 43, 40));
    driveLed->setFilmStrip(packImage("satled.png"), 101);

    attackTimeButton = makeSelector(*this, KVAudioPlugin::attackTimeIndex, Rectangle(519, 260, 110, 34), "attack.png");
    releaseTimeButton = makeSelector(*this, KVAudioPlugin::releaseTimeIndex, Rectangle(767, 261, 107, 31), "release.png");

    for (int32_t i = 0; i < KVAudioPlugin::numParameters; ++i)
        seenRefreshCounts[i] = plugin.getRefreshCount(i);
    refreshControls(-1);

    const bool hasArtwork = background.getWidth() > 0 && background.getHeight() > 0;
    setBounds(Rectangle(0, 0, hasArtwork ? background.getWidth() : designWidth,
                        hasArtwork ? background.getHeight() : designHeight),
              true);
}

MainComponent::~MainComponent() = default;

Point MainComponent::clampedEditorSize(int32_t width, int32_t backgroundWidth, int32_t backgroundHeight) noexcept
{
    if (backgroundWidth < 1 || backgroundHeight < 1) {
        backgroundWidth = designWidth;
        backgroundHeight = designHeight;
    }
    const int32_t w = std::max(std::min(width, maximumWidth), minimumWidth);
    const double ratio = static_cast<double>(backgroundHeight) / static_cast<double>(backgroundWidth);
    return Point(w, static_cast<int32_t>(w * ratio));
}

Point MainComponent::pointerOnScreen() const
{
    ComponentsHost* host = getHost();
    return host != nullptr ? host->getPointerScreenPosition() : Point();
}

void MainComponent::mouseMove(const MouseEvent& event)
{
    resizeMode = event.position.x > resizeStripX;
    setCursor(Mouse::Cursor(resizeMode ? cursorResizeLeftRight : cursorArrow));
}

void MainComponent::mouseDown(const MouseEvent&)
{
    resizeStartWidth = plugin.getEditorWidth();
    resizeStartX = pointerOnScreen().x;
}

void MainComponent::mouseDrag(const MouseEvent&)
{
    if (!resizeMode)
        return;
    // Screen travel and the stored width: the same drag gives the same size at every display scale.
    const int32_t width = pointerOnScreen().x - resizeStartX + resizeStartWidth;
    const Point size = clampedEditorSize(width, background.getWidth(), background.getHeight());
    plugin.setEditorSize(size.x, size.y);
    if (editor != nullptr)
        editor->sendSizeChanged(size.x, size.y, true);
}

void MainComponent::update()
{
    // Plain float reads: a torn or stale level costs one frame of needle position at most.
    inputMeter->setPosition(MeterGeometry::levelToPosition(plugin.getInputLevel()));
    outputMeter->setPosition(MeterGeometry::levelToPosition(plugin.getOutputLevel()));
    const float peak = plugin.takeSaturationPeak();
    driveLed->setLevel(peak * peak);

    // Host changes (automation, state loads) made on the host's threads, brought to the controls here.
    for (int32_t i = 0; i < KVAudioPlugin::numParameters; ++i) {
        const uint32_t count = plugin.getRefreshCount(i);
        if (count != seenRefreshCounts[i]) {
            seenRefreshCounts[i] = count;
            refreshControls(i);
        }
    }
}

void MainComponent::refreshControls(int32_t index)
{
    for (int32_t i = 0; i < KVAudioPlugin::numParameters; ++i) {
        if (index >= 0 && index != i)
            continue;
        Component* control = findChildWithId(static_cast<uint64_t>(i), true);
        // A control under the user's hand keeps following the hand, not the host.
        if (control == nullptr || control->isMouseButtonDown())
            continue;
        control->setValue(false, plugin.getParameter(i));
    }
}

void MainComponent::paint(Painter& painter)
{
    if (background.isNull())
        painter.fillRect(Rectangle(0, 0, getWidth(), getHeight()), Colour(24, 24, 26, 255), false);
    else
        painter.drawImageAt(background, Point(0, 0), false, 255);
}

// The controls' ids are parameter indices; the meters and the indicator keep the default id, which
// arrives as -1 and is dropped by the VST 2 adapter before anything reaches the host.

void MainComponent::childClicked(Component* child)
{
    if (editor != nullptr)
        editor->sendParameterChanged(static_cast<int32_t>(child->getId()), child->getValue());
}

void MainComponent::childMouseDown(Component* child, const MouseEvent&)
{
    if (editor != nullptr)
        editor->beginParameterGesture(static_cast<int32_t>(child->getId()));
}

void MainComponent::childMouseUp(Component* child, const MouseEvent&)
{
    if (editor != nullptr)
        editor->endParameterGesture(static_cast<int32_t>(child->getId()));
}

void MainComponent::frameFinished()
{
    inputMeter->frameFinished();
    outputMeter->frameFinished();
    driveLed->frameFinished();
}
