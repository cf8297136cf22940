#include "Recorder.h"

#include <gtest/gtest.h>

using namespace q9test;

namespace {

// root 0,0,200,100 with A at 10,10,50,50 (holding child A1 at 5,5,10,10) and B at 100,10,50,50.
struct Tree : public ::testing::Test {
    std::vector<std::string> log;
    FakeHost host;
    ComponentsContainer container{&host};
    Probe* root = new Probe(log, "root", {0, 0, 200, 100});
    Probe* a = new Probe(log, "A", {10, 10, 50, 50});
    Probe* a1 = new Probe(log, "A1", {5, 5, 10, 10});
    Probe* b = new Probe(log, "B", {100, 10, 50, 50});

    void SetUp() override
    {
        a->setName("A");
        a1->setName("A1");
        b->setName("B");
        a->addChild(a1);
        root->addChild(a);
        root->addChild(b);
        container.setRoot(root, true, true);
        container.setSize(200, 100);
        log.clear();
    }
    std::vector<std::string> only(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const auto& s : log)
            if (s.rfind(prefix, 0) == 0)
                out.push_back(s);
        return out;
    }
    void event(MouseEventType type, int x, int y, uint32_t button = 0, int clicks = 1)
    {
        container.dispatchPointerEvent(0, type, Point(x, y), button, clicks, 0.0f, 0.0f);
    }
};

} // namespace

TEST_F(Tree, ADragLeavingTheComponentStaysWithItUntilRelease)
{
    event(mouseEventMove, 40, 40);
    event(mouseEventDown, 40, 40, mouseButtonLeft);
    EXPECT_TRUE(a->isMouseButtonDown());
    event(mouseEventMove, 120, 30);    // over B, but A holds the pointer
    const MouseEvent& e = container.getPointer(0)->event;
    EXPECT_EQ(e.getOffsetFromDownPosition(), Point(80, -10));
    event(mouseEventUp, 120, 30, mouseButtonLeft);
    const std::vector<std::string> expected{"A enter 30,30", "A move 30,30",  "root childDown A",
                                            "A down 30,30",  "A drag 110,20", "root childUp A",
                                            "A up 110,20",   "A exit 110,20", "B enter 20,20"};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(a->isMouseButtonDown());
    EXPECT_EQ(container.getPointer(0)->hovered, b);
}

TEST_F(Tree, RemovingThePressedComponentMidDragForgetsIt)
{
    event(mouseEventMove, 20, 20);
    event(mouseEventDown, 20, 20, mouseButtonLeft);
    root->removeChild(0, true);    // A goes, with A1
    log.clear();
    event(mouseEventMove, 30, 30);
    event(mouseEventUp, 30, 30, mouseButtonLeft);
    EXPECT_EQ(log, std::vector<std::string>{"root enter 30,30"}) << "no event reaches the removed component";
}

TEST_F(Tree, WheelBubblesUpUntilConsumed)
{
    event(mouseEventMove, 22, 22);    // over A1
    event(mouseEventWheel, 22, 22);
    EXPECT_EQ(only("A1 wheel").size(), 1u);
    EXPECT_EQ(only("A wheel"), std::vector<std::string>{"A wheel 12,12"}) << "position moved into the parent";
    EXPECT_EQ(only("root wheel"), std::vector<std::string>{"root wheel 22,22"});
    a->consumesWheel = true;
    log.clear();
    event(mouseEventWheel, 22, 22);
    EXPECT_TRUE(only("root wheel").empty());
}

TEST_F(Tree, KeysReachTheFocusedComponentThenItsAncestors)
{
    a1->setWantsKeyboardFocus(true);
    a1->grabKeyboardFocus();
    a->consumesKey = 'x';
    EXPECT_TRUE(container.keyDown('x', 7));
    EXPECT_EQ(only("root key").size(), 0u);
    EXPECT_EQ(only("A1 key").size(), 1u);
    EXPECT_TRUE(Component::isKeyDown('x'));
    EXPECT_FALSE(container.keyDown('y', 8));
    EXPECT_EQ(only("root key"), std::vector<std::string>{"root key 121"});
    container.keyUp('x', 7);
    container.keyUp('y', 8);
    EXPECT_FALSE(Component::isKeyDown('x'));
    // Removing the focused component takes the focus away.
    a->removeChild(0, true);
    EXPECT_EQ(container.getFocus(), nullptr);
}

TEST_F(Tree, ListenersMayRemoveThemselvesAndOthersDuringANotification)
{
    struct Remover : public Component::Listener {
        std::vector<Remover*> toRemove;
        int moves = 0;
        void componentMoved(Component& c) override
        {
            ++moves;
            for (Remover* r : toRemove)
                c.removeListener(r);
        }
    } first, second, third;
    first.toRemove = {&first, &second};
    a->addListener(&first);
    a->addListener(&second);
    a->addListener(&third);
    a->addListener(&third);    // duplicates are ignored
    a->setTopLeftPosition({12, 10});
    EXPECT_EQ(first.moves, 1);
    EXPECT_EQ(second.moves, 0) << "removed before its turn";
    EXPECT_EQ(third.moves, 1) << "still called exactly once";
    a->setTopLeftPosition({14, 10});
    EXPECT_EQ(third.moves, 2);
    EXPECT_EQ(first.moves, 1);
    EXPECT_FALSE(a->removeListener(&first));
    EXPECT_TRUE(a->removeListener(&third));    // it goes before the component does
}
