// The Audio Unit view: its run-time classes and the empty container the effect's editor opens into.

#include "auwrapper/TandrilView.h"

#include "auwrapper/TandrilComponent.h"
#include "framework/core/ClassNameRegistry.h"

#include <chrono>

namespace q9framework {

namespace {

constexpr int initialViewSize = 100;

// The view class's methods.
AUViewParentWindow viewWindow(AUViewRef view)
{
    TandrilView* v = TandrilView::fromRef(view);
    return v != nullptr ? v->window() : 0;
}

CGSize viewFrameSize(AUViewRef view)
{
    TandrilView* v = TandrilView::fromRef(view);
    return v != nullptr ? v->frameSize() : CGSize{0.0, 0.0};
}

// The factory class's methods.
UInt32 factoryInterfaceVersion() { return 0; }

CFStringRef factoryCopyDescription() { return cf::createString("Editor"); }

AUViewRef factoryViewForAudioUnit(AudioUnit unit, CGSize, AUViewParentWindow parent)
{
    auto* component = reinterpret_cast<TandrilComponent*>(GetComponentInstanceStorage(unit));
    if (component == nullptr)
        return nullptr;
    return component->createView(parent);
}

AUCocoaViewClass viewClass = {sizeof(AUCocoaViewClass), nullptr, &viewWindow, &viewFrameSize, &TandrilView::release};
AUCocoaViewFactoryClass factoryClass = {sizeof(AUCocoaViewFactoryClass), nullptr, &factoryInterfaceVersion,
                                        &factoryCopyDescription, &factoryViewForAudioUnit};
} // namespace

TandrilViewClassNames allocateTandrilViewClassNames(uint64_t& counter)
{
    TandrilViewClassNames names;
    names.factory = ClassNameRegistry::allocateNumbered("TandrilViewFactory", counter).toUTF8();
    names.view = ClassNameRegistry::allocateNumbered("TandrilView", counter).toUTF8();
    return names;
}

const TandrilViewClassNames& tandrilViewClasses(ComponentInstance instance)
{
    static TandrilViewClassNames names;
    static bool created = false;
    if (created)
        return names;
    // The machine's tick count, so that wrappers of other bundles in the same host start elsewhere.
    auto counter = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (;;) {
        names.factory = ClassNameRegistry::allocateNumbered("TandrilViewFactory", counter).toUTF8();
        factoryClass.className = names.factory.c_str();
        // A host without an object runtime cannot show views; the names are still this process's.
        const OSStatus status = AudioUnitRegisterViewFactoryClass(instance, &factoryClass);
        if (status == noErr || status == unimpErr)
            break;
    }
    names.view = ClassNameRegistry::allocateNumbered("TandrilView", counter).toUTF8();
    viewClass.className = names.view.c_str();
    created = true;
    return names;
}

TandrilView* TandrilView::create(TandrilComponent* owner, AUViewParentWindow parent)
{
    std::unique_ptr<X11EmptyView> container = X11EmptyView::create(parent, initialViewSize, initialViewSize);
    if (!container)
        return nullptr;
    auto* view = new TandrilView();
    view->object.base.isa = &viewClass;
    view->object.self = view;
    view->container = std::move(container);
    view->tandril = owner;
    return view;
}

TandrilView* TandrilView::fromRef(AUViewRef view) noexcept
{
    if (view == nullptr)
        return nullptr;
    return reinterpret_cast<Object*>(view)->self;
}

CGSize TandrilView::frameSize() const noexcept
{
    return CGSize{static_cast<CGFloat>(container->width()), static_cast<CGFloat>(container->height())};
}

void TandrilView::release(AUViewRef ref)
{
    TandrilView* view = fromRef(ref);
    if (view == nullptr)
        return;
    if (view->tandril != nullptr)
        view->tandril->dropView();
    delete view;
}

AUViewRef TandrilComponent::createView(AUViewParentWindow parent)
{
    try {
        if (view != nullptr)
            dropView();
        view = TandrilView::create(this, parent);
        if (view == nullptr)
            return nullptr;
        // On Linux the effect's parent is the container's X11 window id.
        plugIn->openEditor(reinterpret_cast<void*>(view->window()));
        int32_t width = 0, height = 0;
        if (plugIn->getEditorRect(width, height))
            view->setFrameSize(width, height);
        return view->ref();
    } catch (...) {
        // The host gets no view; the half-made one goes with its editor.
        if (view != nullptr) {
            TandrilView* failed = view;
            dropView();
            TandrilView::release(failed->ref());
        }
        return nullptr;
    }
}

void TandrilComponent::dropView()
{
    try {
        plugIn->closeEditor();
    } catch (...) {
    }
    if (view != nullptr)
        view->tandril = nullptr;
    view = nullptr;
}

} // namespace q9framework
