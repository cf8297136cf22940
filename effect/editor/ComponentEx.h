#pragma once
#include "framework/gui/Component.h"

namespace q9framework {
class RenderingContext;
}

/** A component of the effect's panel that may hold GPU resources of its own (the needle meters and the
    drive indicator draw through the window's rendering context at the end of each frame instead of
    painting). It adds one virtual operation after the Component ones, releaseResources, so code that
    must free rendering resources ahead of the context can do so without knowing the concrete class.
    Nothing in the effect calls it today; the context's closing notification already covers a window
    that goes away. Main thread only. */
class ComponentEx : public q9framework::Component {
public:
    ComponentEx() = default;
    ~ComponentEx() override;

    /** Drops any texture the component holds; it is made again on the next frame. Nothing by default. */
    virtual void releaseResources();

protected:
    /** The rendering context of the window that shows this component's tree: the root container's
        host's context. A panel inside an AdapterComponent gets the outer window's host once the
        adapter has ticked. Null without container, host or context (the editor is not shown yet). */
    q9framework::RenderingContext* findRenderingContext() const noexcept;

    /** Window pixels per panel pixel, where the panel is this component's parent (designed at its own
        size) and `scaleSource` the component that shows it on the window (the panel's adapter):
        sx = scale source width / panel width, sy likewise, in double. False (sx, sy untouched) without
        a scale source or parent, or when the panel has no size, so callers never divide by zero. */
    bool getPanelToWindowScale(const q9framework::Component* scaleSource, double& sx, double& sy) const noexcept;
};
