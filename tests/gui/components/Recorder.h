#pragma once
#include "framework/gui/Component.h"
#include "framework/gui/ComponentsContainer.h"
#include "framework/gui/ComponentsHost.h"
#include "framework/gui/Painter.h"

#include <string>
#include <vector>

namespace q9test {

using namespace q9framework;

inline std::string str(const Rectangle& r)
{
    return std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.width) + ","
           + std::to_string(r.height);
}

/** A component that writes every call it gets into a shared log as "name call details", and paints
    its fill colour (when it has one) over its whole area. */
class Probe : public Component {
public:
    Probe(std::vector<std::string>& logTo, const char* probeName, Rectangle area, Colour fillColour = Colour())
        : log(logTo), label(probeName), fill(fillColour)
    {
        setBounds(area, false);
        setVisible(true);
    }

    void paint(Painter& p) override
    {
        log.push_back(label + " paint " + str(p.getClip(false)));
        if (fill.getAlpha() != 0)
            p.fillRect(Rectangle(0, 0, getWidth(), getHeight()), fill, false);
    }
    void mouseEnter(const MouseEvent& e) override { note("enter", e); }
    void mouseExit(const MouseEvent& e) override { note("exit", e); }
    void mouseDown(const MouseEvent& e) override { note("down", e); }
    void mouseUp(const MouseEvent& e) override { note("up", e); }
    void mouseMove(const MouseEvent& e) override { note("move", e); }
    void mouseDrag(const MouseEvent& e) override { note("drag", e); }
    bool mouseWheel(const MouseEvent& e) override
    {
        note("wheel", e);
        return consumesWheel;
    }
    void childMouseDown(Component* c, const MouseEvent& e) override
    {
        log.push_back(label + " childDown " + c->getName().toUTF8());
        Component::childMouseDown(c, e);
    }
    void childMouseUp(Component* c, const MouseEvent& e) override
    {
        log.push_back(label + " childUp " + c->getName().toUTF8());
        Component::childMouseUp(c, e);
    }
    void focusGained() override { log.push_back(label + " focusGained"); }
    void focusLost(Component*) override { log.push_back(label + " focusLost"); }
    void moved() override { log.push_back(label + " moved"); }
    void resized() override { log.push_back(label + " resized"); }
    bool keyPressed(const KeyEvent& k) override
    {
        log.push_back(label + " key " + std::to_string(k.keyCode));
        return consumesKey == k.keyCode || Component::keyPressed(k);
    }

    bool consumesWheel = false;
    KeyCode consumesKey = -1;

private:
    void note(const char* what, const MouseEvent& e)
    {
        log.push_back(label + " " + what + " " + std::to_string(e.position.x) + "," + std::to_string(e.position.y));
    }
    std::vector<std::string>& log;
    std::string label;
    Colour fill;

public:
    const std::string& getLabel() const { return label; }
};

/** The window side: records cursors and invalidated areas. */
struct FakeHost : public ComponentsHost, public ComponentsContainer::Listener {
    Point getScreenPosition() override { return {1000, 500}; }
    void showCursor(const Mouse::Cursor& c) override { cursors.push_back(c.getStandardIndex()); }
    void setMouseLocked(bool lock) override { locked = lock; }
    void areaInvalidated(const Rectangle& r) override { invalidated.push_back(r); }
    void areaMoved(const Rectangle& s, const Rectangle& d) override { moves.push_back(str(s) + ">" + str(d)); }
    void areaMovedOnScreen(const Rectangle&, const Rectangle&) override {}
    std::vector<int> cursors;
    std::vector<Rectangle> invalidated;
    std::vector<std::string> moves;
    bool locked = false;
};

} // namespace q9test
