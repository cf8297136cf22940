#pragma once

// The Audio Unit's editor view on Linux. On the Mac a host reads the CocoaUI property (the bundle and the
// name of a factory class), gets the class from the object runtime, and asks a factory object for an
// NSView that it puts into its window. Here the object runtime is a pair of plain C tables with the same
// roles, and a view is an X11 child window of a parent window the host gives:
//
// - A factory class (AUCocoaViewFactoryClass) is registered with the host under its unique name through
//   the host-services table (registerViewFactoryClass); the host finds it by the name the CocoaUI
//   property gives. A name the process already knows is refused, as the runtime refuses a taken name.
// - A view is an object whose first word is its class (AUCocoaViewClass), as an object's `isa`: the host
//   learns its X11 window and frame through it and lets go of it with `release` (the view's dealloc).
// Every function is called on the host's main thread.

#include "auwrapper/platform/AudioUnitInterface.h"

typedef double CGFloat;
struct CGSize {
    CGFloat width;
    CGFloat height;
};

/** The host's X11 parent window (its Window id); the view becomes a child of it. */
typedef unsigned long AUViewParentWindow;
typedef struct OpaqueAUView* AUViewRef;

/** The view class: what a host may do with a view it got. */
struct AUCocoaViewClass {
    UInt32 structSize;
    const char* className;
    /** The view's own X11 window (a child of the parent it was made in); 0 when it has none. */
    AUViewParentWindow (*window)(AUViewRef view);
    /** The view's current frame size in pixels. */
    CGSize (*frameSize)(AUViewRef view);
    /** The host is done with the view (it leaves its window): the view closes the editor it holds,
        destroys its window and frees itself. */
    void (*release)(AUViewRef view);
};

/** Every view object starts with its class. */
struct AUCocoaViewObject {
    const AUCocoaViewClass* isa;
};

inline const AUCocoaViewClass* AUViewGetClass(AUViewRef view)
{
    return view != nullptr ? reinterpret_cast<const AUCocoaViewObject*>(view)->isa : nullptr;
}

/** The factory class: `interfaceVersion`, `description` and `uiViewForAudioUnit:withSize:` of the
    protocol AUCocoaUIBase, plus the parent the view is made in. */
struct AUCocoaViewFactoryClass {
    UInt32 structSize;
    const char* className;
    UInt32 (*interfaceVersion)();
    /** A new string (Create rule). */
    CFStringRef (*copyDescription)();
    /** A new view of `unit` in `parent`, owned by the caller (give it back with its class's `release`);
        null when the unit has no view to give. The preferred size is not used: the editor has its own. */
    AUViewRef (*uiViewForAudioUnit)(AudioUnit unit, CGSize preferredSize, AUViewParentWindow parent);
};
