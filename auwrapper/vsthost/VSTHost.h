#pragma once

#include "framework/plugin/vst2/VST2Interface.h"

#include <cstdint>

namespace q9framework {

class VSTPlugIn;

/** What a VST effect asks of its host, answered by whoever hosts it through a VSTPlugIn: the Audio
    Unit component, or the command-line host. The host callback of VSTPlugIn turns the effect's
    audioMaster calls into these operations; each receives the VSTPlugIn whose effect called.

    Threads: any of them may be called on whatever thread the effect calls its host from — the
    audio thread included (getTimeInfo from processReplacing, automate from setParameter paths), so
    implementations answer without blocking. Implementations may throw: the callback answers 0. */
class VSTHost {
public:
    virtual ~VSTHost() = default;

    /** Write the host's maker / product name, NUL-terminated, into `text` (room for 64 characters
        and the NUL: kVstMaxVendorStrLen / kVstMaxProductStrLen). */
    virtual void getVendorString(VSTPlugIn& plugIn, char* text) = 0;
    virtual void getProductString(VSTPlugIn& plugIn, char* text) = 0;
    virtual int32_t getVendorVersion(VSTPlugIn& plugIn) = 0;
    /** `text` is the effect's C string (never null when called). */
    virtual bool canDo(VSTPlugIn& plugIn, const char* text) = 0;
    /** The transport record of the block being rendered; it stays owned by the host and valid until
        the next call. `filter` is the effect's request mask (kVst*Valid bits). May return null. */
    virtual VstTimeInfo* getTimeInfo(VSTPlugIn& plugIn, int32_t filter) = 0;
    /** Parameter gestures and automation reported by the effect (its editor moved a control). */
    virtual void beginEdit(VSTPlugIn& plugIn, int32_t index) = 0;
    virtual void automate(VSTPlugIn& plugIn, int32_t index, float value) = 0;
    virtual void endEdit(VSTPlugIn& plugIn, int32_t index) = 0;
    virtual bool isPinConnected(VSTPlugIn& plugIn, bool isOutput, int32_t index) = 0;
    virtual void idle(VSTPlugIn& plugIn) = 0;
    /** The effect changed something a host displays (program name, parameter texts). */
    virtual void updateDisplay(VSTPlugIn& plugIn) = 0;
    /** The effect's editor wants to be width x height pixels. */
    virtual void sizeWindow(VSTPlugIn& plugIn, int32_t width, int32_t height) = 0;
};

} // namespace q9framework
