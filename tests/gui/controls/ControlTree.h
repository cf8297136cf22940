#pragma once
#include "framework/gui/Component.h"
#include "framework/gui/ComponentsContainer.h"
#include "framework/gui/ComponentsHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace q9test {

using namespace q9framework;

/** The window side: remembers the pointer lock. */
struct LockHost : public ComponentsHost {
    Point getScreenPosition() override { return {0, 0}; }
    void showCursor(const Mouse::Cursor&) override {}
    void setMouseLocked(bool lock) override { locked = lock; }
    bool locked = false;
};

/** The effect panel's view of its controls: the three child hooks, as "down name", "clicked name
    value" and "up name", not forwarded further. */
class Panel : public Component {
public:
    void childMouseDown(Component* c, const MouseEvent&) override { log.push_back("down " + name(c)); }
    void childClicked(Component* c) override
    {
        char v[32];
        std::snprintf(v, sizeof v, "%.4f", c->getValue());
        log.push_back("clicked " + name(c) + " " + v);
    }
    void childMouseUp(Component* c, const MouseEvent&) override { log.push_back("up " + name(c)); }
    std::vector<std::string> log;

private:
    static std::string name(Component* c) { return c->getName().toUTF8(); }
};

/** A 400 x 300 panel in a container with a fake window; events in container coordinates. Modifier
    keys go through the container's held-key set (process-wide, so every test lets go of them). */
struct ControlTree : public ::testing::Test {
    LockHost host;
    ComponentsContainer container{&host};
    Panel* panel = new Panel();

    void SetUp() override
    {
        panel->setBounds(Rectangle(0, 0, 400, 300), false);
        container.setRoot(panel, true, true);
        container.setSize(400, 300);
    }
    void TearDown() override
    {
        for (KeyCode k : {KeyCodes::shift, KeyCodes::control})
            container.keyUp(k, 0);
    }
    template <typename C>
    C* add(C* c, const char* name, Rectangle area)
    {
        c->setName(name);
        c->setBounds(area, false);
        panel->addAndMakeVisible(c);
        return c;
    }
    void move(int x, int y) { container.dispatchPointerEvent(0, mouseEventMove, Point(x, y), 0, 0, 0.0f, 0.0f); }
    void press(int x, int y, int clicks = 1)
    {
        container.dispatchPointerEvent(0, mouseEventDown, Point(x, y), mouseButtonLeft, clicks, 0.0f, 0.0f);
    }
    void release(int x, int y)
    {
        container.dispatchPointerEvent(0, mouseEventUp, Point(x, y), mouseButtonLeft, 0, 0.0f, 0.0f);
    }
    void click(int x, int y, int clicks = 1)
    {
        move(x, y);
        press(x, y, clicks);
        release(x, y);
    }
    void wheel(int x, int y, float dy) { container.dispatchPointerEvent(0, mouseEventWheel, Point(x, y), 0, 0, 0.0f, dy); }
    void hold(KeyCode k) { container.keyDown(k, 0); }
    void letGo(KeyCode k) { container.keyUp(k, 0); }
};

} // namespace q9test
