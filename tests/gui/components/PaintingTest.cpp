#include "Recorder.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace q9test;

namespace {

struct Frame {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(100 * 100, 0);
    void paint(ComponentsContainer& c) { c.paintDirtyRegion(reinterpret_cast<uint8_t*>(pixels.data()), 100, 100, 400, true); }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * 100 + size_t(x)]; }
};

std::vector<std::string> only(const std::vector<std::string>& log, const std::string& prefix)
{
    std::vector<std::string> out;
    for (const auto& s : log)
        if (s.rfind(prefix, 0) == 0)
            out.push_back(s);
    return out;
}

const Colour grey(80, 80, 80), red(255, 0, 0), blue(0, 0, 255);

} // namespace

TEST(Painting, DirtyRegionsAndOpaqueCulling)
{
    std::vector<std::string> log;
    ComponentsContainer container(nullptr);
    auto* root = new Probe(log, "root", {0, 0, 100, 100}, grey);
    auto* a = new Probe(log, "A", {10, 10, 40, 40}, red);
    auto* b = new Probe(log, "B", {30, 30, 40, 40}, blue);
    a->setOpaque(true);
    root->addChild(a);
    root->addChild(b);
    container.setRoot(root, true, true);
    container.setSize(100, 100);
    log.clear();

    Frame frame;
    frame.paint(container);
    // The root is painted around the opaque A, never under it; A and B once each.
    const auto rootPaints = only(log, "root");
    ASSERT_FALSE(rootPaints.empty());
    EXPECT_EQ(only(log, "A"), std::vector<std::string>{"A paint 10,10,40,40"});
    EXPECT_EQ(only(log, "B"), std::vector<std::string>{"B paint 30,30,40,40"});
    EXPECT_EQ(log.front().rfind("root", 0), 0u) << "back to front";
    EXPECT_EQ(log.back(), "B paint 30,30,40,40");
    EXPECT_EQ(frame.at(5, 5), grey.getARGB());
    EXPECT_EQ(frame.at(20, 20), red.getARGB());
    EXPECT_EQ(frame.at(40, 40), blue.getARGB()) << "B lies over A";
    EXPECT_EQ(frame.at(80, 80), grey.getARGB());

    log.clear();
    frame.paint(container);
    EXPECT_TRUE(log.empty()) << "nothing dirty, nothing painted";

    // A small repaint inside A touches A only: the root is hidden there, B does not reach it.
    a->repaint(Rectangle(2, 3, 5, 4));
    frame.paint(container);
    EXPECT_EQ(log, std::vector<std::string>{"A paint 12,13,5,4"});

    // Over the A/B overlap: A and then B, the root not at all.
    log.clear();
    b->repaint(Rectangle(0, 0, 5, 5));
    frame.paint(container);
    EXPECT_EQ(log, (std::vector<std::string>{"A paint 30,30,5,5", "B paint 30,30,5,5"}));
}

TEST(Painting, ClippingParentsCullAndClipTheirChildren)
{
    std::vector<std::string> log;
    ComponentsContainer container(nullptr);
    auto* root = new Probe(log, "root", {0, 0, 100, 100});
    auto* holder = new Probe(log, "holder", {10, 10, 20, 20});
    auto* spills = new Probe(log, "spills", {15, 15, 20, 20});
    auto* outside = new Probe(log, "outside", {30, 30, 5, 5});
    holder->setClipsChildren(true);
    holder->addChild(spills);
    holder->addChild(outside);
    root->addChild(holder);
    container.setRoot(root, true, true);
    container.setSize(100, 100);
    log.clear();

    Frame frame;
    frame.paint(container);
    EXPECT_EQ(only(log, "spills"), std::vector<std::string>{"spills paint 25,25,5,5"});
    EXPECT_TRUE(only(log, "outside").empty());
}

TEST(Painting, BoundsVisibilityAndRepaints)
{
    std::vector<std::string> log;
    FakeHost host;
    ComponentsContainer container(&host);
    container.setListener(&host);
    auto* root = new Probe(log, "root", {0, 0, 100, 100});
    auto* c = new Probe(log, "c", {10, 10, 10, 10});
    root->addChild(c);
    container.setRoot(root, true, true);
    container.setSize(100, 100);
    container.clearRegions();
    host.invalidated.clear();
    log.clear();

    c->setBounds(Rectangle(10, 10, 10, 10), true);
    EXPECT_TRUE(host.invalidated.empty());
    EXPECT_TRUE(log.empty());

    c->setBounds(Rectangle(50, 60, 10, 10), false);
    EXPECT_TRUE(log.empty()) << "a move without notification calls no hook";
    ASSERT_EQ(host.invalidated.size(), 2u);
    EXPECT_EQ(host.invalidated[0], Rectangle(10, 10, 10, 10));
    EXPECT_EQ(host.invalidated[1], Rectangle(50, 60, 10, 10));

    host.invalidated.clear();
    c->setPaintMargin(2);
    c->setVisible(false);
    ASSERT_EQ(host.invalidated.size(), 1u);
    EXPECT_EQ(host.invalidated[0], Rectangle(48, 58, 14, 14)) << "hiding repaints the old paint area";
    host.invalidated.clear();
    c->repaint();
    EXPECT_TRUE(host.invalidated.empty());

}

TEST(HitTesting, RootChildrenAndInterception)
{
    std::vector<std::string> log;
    ComponentsContainer container(nullptr);
    auto* root = new Probe(log, "root", {0, 0, 100, 100});
    auto* back = new Probe(log, "back", {0, 0, 50, 50});
    auto* front = new Probe(log, "front", {0, 0, 30, 30});
    auto* spill = new Probe(log, "spill", {40, 0, 20, 10});
    auto* hidden = new Probe(log, "hidden", {60, 60, 30, 30});
    root->setInterceptsMouse(false);
    front->setInterceptsMouse(false);
    back->addChild(spill);
    root->addChild(back);
    root->addChild(front);
    root->addChild(hidden);
    hidden->setVisible(false);
    container.setRoot(root, true, true);
    container.setSize(100, 100);

    EXPECT_EQ(root->getComponentAt({70, 70}), root) << "the root is hit even when it does not intercept";
    EXPECT_EQ(root->getComponentAt({100, 5}), nullptr) << "x = width is outside";
    EXPECT_EQ(root->getComponentAt({-1, 5}), nullptr);
    EXPECT_EQ(root->getComponentAt({10, 10}), back) << "a non-intercepting child lets the one behind be hit";
    EXPECT_EQ(root->getComponentAt({45, 5}), spill);
    EXPECT_EQ(root->getComponentAt({55, 5}), root) << "children are hit only inside their parent";
}
