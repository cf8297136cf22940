#include "framework/gui/HolderComponent.h"

namespace q9framework {

HolderComponent::HolderComponent(Owner* holderOwner) : owner(holderOwner)
{
    setClipsChildren(true);
    setInterceptsMouse(false);
}

void HolderComponent::childMoved() { ownerUpdate(); }
void HolderComponent::childResized() { ownerUpdate(); }

void HolderComponent::ownerUpdate()
{
    if (owner == nullptr)
        return;
    owner->updateLayout();
    if (Component* shown = owner->getDisplayedComponent())
        shown->repaint();
}

} // namespace q9framework
