#pragma once
#include "framework/gui/Component.h"
#include "framework/core/Geometry.h"
#include "framework/resources/Image.h"

#include <cstdint>

class DriveLed;
class KVAudioPlugin;
class KVAudioPluginEditor;
class LevelMeter;
class MultiStateButton;

namespace q9framework {
class AdapterComponent;
class Knob;
class ToggleButton;
}

/** Kelvane's panel, laid out on the pixel grid of its background artwork ("KV.0001.tif", 1500 x 350):

    | child                 | class            | id | x, y, w, h          | film strip         | frames |
    | attack knob           | Knob             | 0  | 510, 128, 127, 129  | "slice_knbAttack"  | 101    |
    | drive knob            | Knob             | 6  | 645, 110, 101, 106  | "slice_knbDrive"   | 101    |
    | release knob          | Knob             | 1  | 755, 127, 123, 131  | "slice_knbRelease" | 101    |
    | gain knob             | Knob             | 3  | 891, 110, 96, 105   | "slice_knbGain"    | 101    |
    | bypass switch         | ToggleButton     | 2  | 897, 228, 84, 57    | "slice_tbtnBypass" | 101    |
    | input meter           | LevelMeter       | -  | 177, 56, 272, 131   | drawn              |        |
    | output meter          | LevelMeter       | -  | 1055, 56, 272, 131  | drawn              |        |
    | drive indicator       | DriveLed         | -  | 673, 228, 43, 40    | "satled.png"       | 101    |
    | attack time selector  | MultiStateButton | 4  | 519, 260, 110, 34   | "attack.png"       | 3      |
    | release time selector | MultiStateButton | 5  | 767, 261, 107, 31   | "release.png"      | 3      |

    Parameter controls carry their parameter index as id; the meters and the indicator keep the default
    id. A press on any child starts a host gesture for the child's id, each notified value change sends
    the value, the release ends it (the VST 2 adapter drops ids that are no parameter index).

    Resize: a drag that starts with the pointer over the strip right of panel x 1349 sets the editor
    width to the start width plus the pointer's travel on the screen, clamped to 300..1499, and the height
    in the background's aspect ratio; the size is stored in the plug-in and requested from the editor's
    listeners (the host window follows).

    Each window tick (update) stores the meters' needle positions from the plug-in's levels, the drive
    indicator's value from its saturation peak, and moves controls whose parameter changed on the host's
    side (KVAudioPlugin::getRefreshCount), quietly and never while the user holds them. The meters and
    the indicator draw in frameFinished, over the painted picture.

    Without the resource pack the panel has no artwork: it keeps the design size 1500 x 350 so the
    layout and the aspect ratio stay defined. GUI thread only. */
class MainComponent : public q9framework::Component {
public:
    static constexpr int32_t panelId = 255;
    /** The design size used when the background is missing. */
    static constexpr int32_t designWidth = 1500;
    static constexpr int32_t designHeight = 350;
    /** Panel x beyond which a press starts a resize. */
    static constexpr int32_t resizeStripX = 1349;
    static constexpr int32_t minimumWidth = 300;
    static constexpr int32_t maximumWidth = 1499;

    MainComponent(q9framework::AdapterComponent* adapter, KVAudioPlugin& plugin, KVAudioPluginEditor* editor);
    ~MainComponent() override;

    void mouseMove(const q9framework::MouseEvent& event) override;
    void mouseDrag(const q9framework::MouseEvent& event) override;
    void mouseDown(const q9framework::MouseEvent& event) override;
    void update() override;
    void paint(q9framework::Painter& painter) override;
    void childClicked(q9framework::Component* child) override;
    void childMouseDown(q9framework::Component* child, const q9framework::MouseEvent& event) override;
    void childMouseUp(q9framework::Component* child, const q9framework::MouseEvent& event) override;
    void frameFinished() override;

    /** Moves the control of parameter `index` (0..6) to the plug-in's value without notification, unless
        the user holds it; every control for index -1. */
    void refreshControls(int32_t index);

    /** The editor size for a resize to `width`: clamped to 300..1499, the height in the ratio of a
        background of backgroundWidth x backgroundHeight (truncated). */
    static q9framework::Point clampedEditorSize(int32_t width, int32_t backgroundWidth, int32_t backgroundHeight) noexcept;

    bool isResizeMode() const noexcept { return resizeMode; }
    LevelMeter& getInputMeter() const noexcept { return *inputMeter; }
    LevelMeter& getOutputMeter() const noexcept { return *outputMeter; }
    DriveLed& getDriveLed() const noexcept { return *driveLed; }

private:
    /** The pointer on the screen now, from the window that shows the panel. */
    q9framework::Point pointerOnScreen() const;

    int32_t resizeStartX = 0;
    bool resizeMode = false;
    q9framework::Image background;
    int32_t resizeStartWidth = 0;
    KVAudioPlugin& plugin;
    q9framework::Knob* attackKnob = nullptr;
    q9framework::Knob* driveKnob = nullptr;
    q9framework::Knob* releaseKnob = nullptr;
    q9framework::Knob* gainKnob = nullptr;
    q9framework::AdapterComponent* adapter;
    KVAudioPluginEditor* editor;
    q9framework::ToggleButton* bypassButton = nullptr;
    LevelMeter* inputMeter = nullptr;
    LevelMeter* outputMeter = nullptr;
    DriveLed* driveLed = nullptr;
    MultiStateButton* attackTimeButton = nullptr;
    MultiStateButton* releaseTimeButton = nullptr;
    // The plug-in's refresh counters as this panel last applied them.
    uint32_t seenRefreshCounts[7] = {};
};
