#include "tools/au/AUHostedView.h"

namespace kelvane {

using namespace q9framework::cf;

std::unique_ptr<AUHostedView> AUHostedView::create(AUHostInstance& unit, unsigned long parent, std::string& error)
{
    AudioUnitCocoaViewInfo info{};
    if (const OSStatus status = unit.get(kAudioUnitProperty_CocoaUI, kAudioUnitScope_Global, 0, info); status != noErr) {
        error = "the Audio Unit has no editor view (CocoaUI: status " + std::to_string(status) + ")";
        return nullptr;
    }
    const std::string name = toStdString(info.mCocoaAUViewClass[0]);
    CFRelease(info.mCocoaAUViewBundleLocation);
    CFRelease(info.mCocoaAUViewClass[0]);
    const AUCocoaViewFactoryClass* factory = AUHostInstance::findViewFactoryClass(name);
    if (factory == nullptr || factory->uiViewForAudioUnit == nullptr) {
        error = "no view factory class '" + name + "' is registered in this process";
        return nullptr;
    }
    const AUViewRef view = factory->uiViewForAudioUnit(unit.unit(), CGSize{0.0, 0.0}, parent);
    const AUCocoaViewClass* viewClass = AUViewGetClass(view);
    if (view == nullptr || viewClass == nullptr) {
        error = "the view factory '" + name + "' made no view";
        return nullptr;
    }
    return std::unique_ptr<AUHostedView>(new AUHostedView(view, name));
}

AUHostedView::AUHostedView(AUViewRef v, std::string name)
    : view(v), className(std::move(name)), viewClass(AUViewGetClass(v)->className != nullptr ? AUViewGetClass(v)->className : "")
{
}

AUHostedView::~AUHostedView()
{
    AUViewGetClass(view)->release(view);
}

unsigned long AUHostedView::window() const { return AUViewGetClass(view)->window(view); }

int AUHostedView::width() const { return static_cast<int>(AUViewGetClass(view)->frameSize(view).width); }

int AUHostedView::height() const { return static_cast<int>(AUViewGetClass(view)->frameSize(view).height); }

const std::string& AUHostedView::viewClassName() const { return viewClass; }

} // namespace kelvane
