#include "framework/plugin/editor/VST2Editor.h"

#include "framework/plugin/AudioPlugin.h"
#include "framework/plugin/editor/AudioPluginEditor.h"
#include "framework/plugin/editor/Holder.h"
#include "framework/plugin/VST2Wrapper.h"

namespace q9framework {

namespace {

VST2EditorBase* makeVST2Editor(AudioEffect* effect, AudioPlugin* plugin, AudioPluginEditorListener* listener,
                               uint32_t editorFlags)
{
    return new VST2Editor(effect, plugin, listener, editorFlags);
}

} // namespace

void installVST2EditorWindows() noexcept
{
    VST2Wrapper::setEditorFactory(&makeVST2Editor);
}

VST2Editor::VST2Editor(AudioEffect* owner, AudioPlugin* editedPlugin, AudioPluginEditorListener* adapter,
                       uint32_t flags)
    : VST2EditorBase(owner, editedPlugin, adapter, flags)
{
}

VST2Editor::~VST2Editor()
{
    close();
}

bool VST2Editor::openWindow(void* parent)
{
    AudioPlugin* const edited = getPlugin();
    if (edited == nullptr)
        return false;
    AudioPluginEditor* const editor = edited->createEditor();
    if (editor == nullptr)
        return false;
    setSize(editor->getWidth(), editor->getHeight());
    // The holder owns the editor from here on, also when it could not make its native window.
    holder = std::make_unique<Holder>(this, edited, parent, editor, getEditorFlags());
    if (!holder->hasNative()) {
        holder.reset();
        return false;
    }
    if (AudioPluginEditorListener* adapter = getListener())
        editor->addListener(adapter);
    edited->editorOpened(editor);
    return true;
}

void VST2Editor::closeWindow()
{
    if (holder == nullptr)
        return;
    if (AudioPluginEditorListener* adapter = getListener())
        holder->getEditor()->removeListener(adapter);
    // The tree goes before the GL context it drew with (the window's members go before the window).
    holder.reset();
}

bool VST2Editor::sendKeyToWindow(int32_t code, bool isDown)
{
    if (holder == nullptr)
        return false;
    return isDown ? holder->keyDown(code, 0) : holder->keyUp(code, 0);
}

} // namespace q9framework
