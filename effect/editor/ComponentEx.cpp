#include "effect/editor/ComponentEx.h"

#include "framework/gui/ComponentsHost.h"

ComponentEx::~ComponentEx() = default;

void ComponentEx::releaseResources() {}

q9framework::RenderingContext* ComponentEx::findRenderingContext() const noexcept
{
    q9framework::ComponentsHost* host = getHost();
    return host != nullptr ? host->getRenderingContext() : nullptr;
}

bool ComponentEx::getPanelToWindowScale(const q9framework::Component* scaleSource, double& sx,
                                        double& sy) const noexcept
{
    const q9framework::Component* panel = getParent();
    if (scaleSource == nullptr || panel == nullptr || panel->getWidth() <= 0 || panel->getHeight() <= 0)
        return false;
    sx = static_cast<double>(scaleSource->getWidth()) / panel->getWidth();
    sy = static_cast<double>(scaleSource->getHeight()) / panel->getHeight();
    return true;
}
