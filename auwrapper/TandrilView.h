#pragma once

// The Audio Unit's editor view: the factory class and the view class the wrapper creates at run time
// under names unique in the process, and the view object itself, an empty container window into
// which the VST effect opens its own editor.

#include "auwrapper/platform/CocoaView.h"
#include "auwrapper/platform/linux/X11EmptyView.h"

#include <cstdint>
#include <memory>
#include <string>

namespace q9framework {

class TandrilComponent;

/** The names of the two run-time classes. */
struct TandrilViewClassNames {
    std::string factory;    // "TandrilViewFactory" and a number in lowercase hexadecimal
    std::string view;       // "TandrilView" and the next free number
};

/** Takes the two names from the class-name registry, trying `counter`, `counter` + 1, ... for each in
    turn (a taken name is passed over) and leaving `counter` past the last one tried. */
TandrilViewClassNames allocateTandrilViewClassNames(uint64_t& counter);

/** The process's view classes, created the first time a component needs them (reading the CocoaUI
    property) and never disposed. The factory class is registered with the host of `instance` (its
    object runtime); a name the host already knows is passed over, as a taken name is. Main thread. */
const TandrilViewClassNames& tandrilViewClasses(ComponentInstance instance);

/** One view: an AUCocoaViewObject of the view class with the instance variable "tandril" (the owning
    component, cleared when the component goes first) and its container window. */
class TandrilView {
public:
    /** An empty container of 100 x 100 in `parent`; null when it cannot be made there. */
    static TandrilView* create(TandrilComponent* owner, AUViewParentWindow parent);

    AUViewRef ref() noexcept { return reinterpret_cast<AUViewRef>(&object); }
    /** The view of a reference this module handed out; null for null. */
    static TandrilView* fromRef(AUViewRef view) noexcept;

    AUViewParentWindow window() const noexcept { return container->window(); }
    CGSize frameSize() const noexcept;
    void setFrameSize(int width, int height) { container->setSize(width, height); }

    TandrilComponent* tandril = nullptr;

    /** The view's dealloc: drops the component's view (closing the editor) when it still has one, then
        destroys the window. */
    static void release(AUViewRef view);

private:
    TandrilView() = default;
    struct Object {
        AUCocoaViewObject base;    // first: the host reads the class from the view's first word
        TandrilView* self;
    };
    Object object{};
    std::unique_ptr<X11EmptyView> container;
};

} // namespace q9framework
