#pragma once
#include "framework/gui/Component.h"

namespace q9framework {

/** The clipping holder a scrolling view puts around its content: it clips its children to itself and
    lets clicks through to them, and tells its owner whenever the content moves or changes size so the
    owner can lay out again (scroll bars, limits). Main thread only. */
class HolderComponent : public Component {
public:
    /** The scrolling view that owns the holder. */
    class Owner {
    public:
        virtual ~Owner() = default;
        /** The content moved or changed size: recompute the layout. */
        virtual void updateLayout() = 0;
        /** The component the owner displays (repainted after each layout); may be null. */
        virtual Component* getDisplayedComponent() = 0;
    };

    /** Sets clipsChildren and clears interceptsMouse. `owner` is not owned and may be null. */
    explicit HolderComponent(Owner* owner);

    void childMoved() override;
    void childResized() override;

private:
    void ownerUpdate();
    Owner* owner;
};

} // namespace q9framework
