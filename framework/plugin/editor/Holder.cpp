#include "framework/plugin/editor/Holder.h"

#include "framework/plugin/AudioEffectX.h"
#include "framework/plugin/VST2EditorBase.h"
#include "framework/plugin/editor/AudioPluginEditor.h"

namespace q9framework {

Holder::Holder(VST2EditorBase* owner, AudioPlugin* editedPlugin, void* parent, AudioPluginEditor* content,
               uint32_t editorFlags)
    : ComponentsWindow(Rectangle(0, 0, content->getWidth(), content->getHeight()), editorFlags | pluginEditorFlag,
                       String(), parent),
      vst2Editor(owner),
      plugin(editedPlugin),
      editor(content)
{
    editor->setTopLeftPosition(Point(0, 0));
    getContainer().setRoot(editor, true, true);
    editor->addListener(this);
}

Holder::~Holder()
{
    editor->removeListener(this);
}

void Holder::setSize(int32_t width, int32_t height)
{
    const Rectangle current = getBounds();
    if (current.width == width && current.height == height)
        return;
    if (vst2Editor != nullptr) {
        vst2Editor->setSize(width, height);
        // Hosts that embed us in a window of their own resize it when asked; for the others (and hosts
        // that say no) the parent window is resized directly, so the editor is never cut off.
        auto* effect = dynamic_cast<AudioEffectX*>(vst2Editor->getEffect());
        if ((effect == nullptr || !effect->sizeWindow(width, height)) && getNative() != nullptr)
            getNative()->setParentSize(width, height);
    }
    setBounds(Rectangle(0, 0, width, height));
    // Without a native window nothing resizes the tree; with one it followed already.
    editor->setSize(width, height);
}

void Holder::editorSizeChanged(int32_t width, int32_t height)
{
    setSize(width, height);
}

} // namespace q9framework
