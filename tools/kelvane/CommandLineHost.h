#pragma once

#include "auwrapper/vsthost/VSTHost.h"

namespace kelvane {

/** What a host with an editor window wants to hear of the effect's editor: its parameter gestures
    and its resize requests. Called on whatever thread the effect calls its host from. */
class EditorObserver {
public:
    enum class Edit { begin, value, end };
    virtual ~EditorObserver() = default;
    virtual void parameterEdited(Edit edit, int32_t index, float value) = 0;
    virtual void sizeRequested(int32_t width, int32_t height) = 0;
};

/** The command-line program as a VST host: it answers the effect's host calls the way a simple
    offline renderer would — a transport that plays from 0 at 120 BPM in 4/4 while the file renders,
    every pin of the file's channels connected. Without an editor observer automation is ignored
    (nothing is recorded from the command line) and resize requests are refused.
    Offline rendering is single-threaded; with an editor the transport moves on the audio thread
    (`advance`) while the editor's calls arrive on the main thread. */
class CommandLineHost : public q9framework::VSTHost {
public:
    CommandLineHost();

    /** Null: none. The observer must outlive its registration. */
    void setEditorObserver(EditorObserver* observer) { editorObserver = observer; }

    /** Called before rendering: the file's rate and how many of the effect's pins carry audio. */
    void prepare(double sampleRate, int connectedChannels);
    /** Moves the transport on after each block. */
    void advance(int frames);

    void getVendorString(q9framework::VSTPlugIn& plugIn, char* text) override;
    void getProductString(q9framework::VSTPlugIn& plugIn, char* text) override;
    int32_t getVendorVersion(q9framework::VSTPlugIn& plugIn) override;
    bool canDo(q9framework::VSTPlugIn& plugIn, const char* text) override;
    VstTimeInfo* getTimeInfo(q9framework::VSTPlugIn& plugIn, int32_t filter) override;
    void beginEdit(q9framework::VSTPlugIn& plugIn, int32_t index) override;
    void automate(q9framework::VSTPlugIn& plugIn, int32_t index, float value) override;
    void endEdit(q9framework::VSTPlugIn& plugIn, int32_t index) override;
    bool isPinConnected(q9framework::VSTPlugIn& plugIn, bool isOutput, int32_t index) override;
    void idle(q9framework::VSTPlugIn& plugIn) override;
    void updateDisplay(q9framework::VSTPlugIn& plugIn) override;
    void sizeWindow(q9framework::VSTPlugIn& plugIn, int32_t width, int32_t height) override;

private:
    VstTimeInfo timeInfo{};
    int connectedChannels = 2;
    EditorObserver* editorObserver = nullptr;
};

} // namespace kelvane
