#pragma once

// An Audio Unit's editor view as a Linux host gets it: the CocoaUI property names the factory class,
// the process's object runtime (the host's class table) gives the class, and the factory makes a view
// in the host's parent window.

#include "tools/au/AUHostInstance.h"

#include <memory>
#include <string>

namespace kelvane {

/** One view, released (the view's dealloc, which closes the effect's editor) when this goes.
    Main thread; nothing throws. */
class AUHostedView {
public:
    /** Reads the CocoaUI property of `unit`, finds its factory class and asks it for a view in `parent`
        (an X11 window id). Null with `error` naming the step that failed. */
    static std::unique_ptr<AUHostedView> create(AUHostInstance& unit, unsigned long parent, std::string& error);
    ~AUHostedView();
    AUHostedView(const AUHostedView&) = delete;
    AUHostedView& operator=(const AUHostedView&) = delete;

    /** The view's own X11 window (a child of the parent). */
    unsigned long window() const;
    int width() const;
    int height() const;
    const std::string& factoryClassName() const { return className; }
    const std::string& viewClassName() const;

private:
    AUHostedView(AUViewRef view, std::string className);
    AUViewRef view;
    std::string className;
    std::string viewClass;
};

} // namespace kelvane
