#include "framework/plugin/VST2EditorBase.h"

#include "framework/plugin/AudioPlugin.h"
#include "framework/core/MessageLoop.h"

#include <algorithm>

namespace q9framework {

VST2EditorBase::VST2EditorBase(AudioEffect* owner, AudioPlugin* wrappedPlugin, AudioPluginEditorListener* editorListener,
                               uint32_t flags)
    : AEffEditor(owner), plugin(wrappedPlugin), listener(editorListener), editorFlags(flags)
{
}

VST2EditorBase::~VST2EditorBase()
{
    systemWindow = nullptr;
}

bool VST2EditorBase::getRect(ERect** out)
{
    if (out == nullptr)
        return false;
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(height);
    rect.right = static_cast<VstInt16>(width);
    *out = &rect;
    return true;
}

bool VST2EditorBase::open(void* parent)
{
    // A host that opens twice without closing gets a fresh window rather than a second one leaking.
    closeWindow();
    systemWindow = parent;
    // The window, its GL context and the X connection belong to the thread that opens the editor,
    // which need not be the one that created the instance: from now on the main loop runs here.
    MessageLoop::getMain().attachToCurrentThread();
    return openWindow(parent);
}

void VST2EditorBase::close()
{
    systemWindow = nullptr;
    closeWindow();
}

bool VST2EditorBase::openWindow(void*) { return false; }
void VST2EditorBase::closeWindow() {}

int32_t VST2EditorBase::keyCodeFromVstKey(const VstKeyCode& key) noexcept
{
    // Some hosts send the minus key as its Windows virtual-key code (189, VK_OEM_MINUS) in `character`.
    if (key.character == 189)
        return '-';

    struct Mapping {
        unsigned char virt;
        int32_t code;
    };
    static constexpr Mapping table[] = {
        {VKEY_BACK, 0x10000000},  {VKEY_TAB, 9},           {VKEY_RETURN, 13},        {VKEY_SPACE, 32},
        {VKEY_LEFT, 0x10000001},  {VKEY_UP, 0x10000003},   {VKEY_RIGHT, 0x10000002}, {VKEY_DOWN, 0x10000004},
        {VKEY_ENTER, 13},         {VKEY_DELETE, 127},      {VKEY_SHIFT, shiftKeyCode},
        {VKEY_CONTROL, 0x10000005}, {VKEY_ALT, 0x10000006},
    };
    for (const Mapping& m : table)
        if (key.virt == m.virt)
            return m.code;

    const int32_t c = key.character;
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return c;
    return 0;
}

int32_t VST2EditorBase::translate(const VstKeyCode& key) const noexcept
{
    const int32_t code = keyCodeFromVstKey(key);
    // Hosts send letters in lower case; the held shift key makes them capitals.
    if (code >= 'a' && code <= 'z' && isKeyHeld(shiftKeyCode))
        return code - 32;
    return code;
}

bool VST2EditorBase::isKeyHeld(int32_t code) const noexcept
{
    return std::find(heldKeys.begin(), heldKeys.end(), code) != heldKeys.end();
}

bool VST2EditorBase::onKeyDown(VstKeyCode& key)
{
    const int32_t code = translate(key);
    // Auto-repeat arrives as further key-downs without key-ups; the toolkit sees one press per key.
    if (code == 0 || isKeyHeld(code))
        return false;
    heldKeys.push_back(code);
    return sendKeyToWindow(code, true);
}

bool VST2EditorBase::onKeyUp(VstKeyCode& key)
{
    const int32_t code = translate(key);
    const auto it = std::find(heldKeys.begin(), heldKeys.end(), code);
    if (code == 0 || it == heldKeys.end())
        return false;
    heldKeys.erase(it);
    return sendKeyToWindow(code, false);
}

bool VST2EditorBase::sendKeyToWindow(int32_t, bool)
{
    return false;
}

void VST2EditorBase::idle()
{
    MessageLoop::getMain().pump();
}

} // namespace q9framework
