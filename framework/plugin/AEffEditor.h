#pragma once
#include "framework/plugin/vst2/aeffectx.h"

#include <cstdint>

namespace q9framework {

class AudioEffect;

/** The editor object of a VST 2.4 effect, as the published base class has it: the effect's dispatcher
    forwards the editor opcodes (effEditGetRect, effEditOpen, effEditClose, effEditIdle, effEditKeyDown,
    effEditKeyUp, effSetEditKnobMode) to it. The virtual functions keep the published (non-Mac) order;
    only our own code sees this vtable.

    Owned by the effect it was made for (AudioEffect deletes it). Called on whichever thread the host
    sends editor opcodes from; on Linux that is often not the thread that created the effect. */
class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* owner) noexcept : effect(owner) {}
    virtual ~AEffEditor() = default;
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    virtual AudioEffect* getEffect() { return effect; }
    /** Stores a pointer to the editor's own rectangle in *rect; false when there is none. */
    virtual bool getRect(ERect** rect)
    {
        if (rect != nullptr)
            *rect = nullptr;
        return false;
    }
    /** parent: the host's window (an X11 Window id on Linux). */
    virtual bool open(void* parent)
    {
        systemWindow = parent;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() { return systemWindow != nullptr; }
    virtual void idle() {}
    /** True when the key was used. */
    virtual bool onKeyDown(VstKeyCode&) { return false; }
    virtual bool onKeyUp(VstKeyCode&) { return false; }
    virtual bool onWheel(float) { return false; }
    virtual bool setKnobMode(int32_t) { return false; }

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
};

} // namespace q9framework
