#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"

namespace kl {
namespace {

// A value with a setter that registers its own inverse, the shape every
// model setter has.
struct Field {
    UndoManager* undo;
    int value = 0;
    void set(int v) {
        int old = value;
        undo->registerUndo(this, [this, old] { set(old); });
        value = v;
    }
};

TEST(UndoManager, UndoAndRedoMirrorEachOther) {
    UndoManager um;
    Field f{&um};
    f.set(1);
    f.set(2);
    EXPECT_EQ(um.undoCount(), 2u);
    um.undo();
    EXPECT_EQ(f.value, 1);
    EXPECT_TRUE(um.canRedo());
    um.redo();
    EXPECT_EQ(f.value, 2);
    um.undo();
    um.undo();
    EXPECT_EQ(f.value, 0);
    EXPECT_EQ(um.redoCount(), 2u);
    f.set(5);  // a new change drops the redo history
    EXPECT_FALSE(um.canRedo());
}

TEST(UndoManager, GroupUndoesAsOneStepInReverseOrder) {
    UndoManager um;
    Field f{&um};
    um.beginUndoGrouping();
    f.set(1);
    f.set(2);
    um.setActionName("Edit");
    um.endUndoGrouping();
    EXPECT_EQ(um.undoCount(), 1u);
    EXPECT_EQ(um.undoActionName(), "Edit");
    um.undo();
    EXPECT_EQ(f.value, 0);
    EXPECT_EQ(um.redoActionName(), "Edit");
    um.redo();
    EXPECT_EQ(f.value, 2);
}

TEST(UndoManager, RegistrationSwitchNests) {
    UndoManager um;
    Field f{&um};
    um.disableUndoRegistration();
    um.disableUndoRegistration();
    um.enableUndoRegistration();
    f.set(1);
    EXPECT_FALSE(um.isUndoRegistrationEnabled());
    um.enableUndoRegistration();
    f.set(2);
    EXPECT_TRUE(um.isUndoRegistrationEnabled());
    EXPECT_EQ(um.undoCount(), 1u);
}

TEST(UndoManager, RemovingATargetDropsOnlyItsActions) {
    UndoManager um;
    Field a{&um}, b{&um};
    a.set(1);
    b.set(1);
    um.beginUndoGrouping();
    a.set(2);
    b.set(2);
    um.endUndoGrouping();
    um.removeAllActionsWithTarget(&a);
    EXPECT_EQ(um.undoCount(), 2u);
    um.undo();
    EXPECT_EQ(a.value, 2);
    EXPECT_EQ(b.value, 1);
}

// The observer hears what moves a document's change count: one "done" per
// group a fresh change closes, one "undone" or "redone" per group run, and
// nothing for the inverse groups that undo and redo build.
TEST(UndoManager, TellsItsObserverOfChangesDoneUndoneAndRedone) {
    using Change = UndoManager::Change;
    UndoManager um;
    std::vector<Change> told;
    um.setChangeObserver([&](Change c) {
        told.push_back(c);
        // Told after the change: the stacks already show it.
        if (c == Change::Done) {
            EXPECT_FALSE(um.canRedo());
        }
    });
    Field f{&um};
    f.set(1);
    um.beginUndoGrouping();
    f.set(2);
    um.beginUndoGrouping();  // a nested group closes into its parent silently
    f.set(3);
    um.endUndoGrouping();
    EXPECT_EQ(told.size(), 1u);
    um.endUndoGrouping();
    um.beginUndoGrouping();  // an empty group is no change
    um.endUndoGrouping();
    um.disableUndoRegistration();
    f.set(4);
    um.enableUndoRegistration();
    EXPECT_EQ(told, (std::vector<Change>{Change::Done, Change::Done}));

    told.clear();
    um.undo();
    um.undo();
    um.undo();  // nothing left: nothing told
    um.redo();
    EXPECT_EQ(told, (std::vector<Change>{Change::Undone, Change::Undone, Change::Redone}));
    EXPECT_EQ(f.value, 1);

    told.clear();
    um.setChangeObserver(nullptr);
    f.set(5);
    um.undo();
    EXPECT_TRUE(told.empty());
}

TEST(UndoManager, GroupedByEventEveryChangeOfOneTurnIsOneNamedStep) {
    UndoManager um;
    Field f{&um};
    int scheduled = 0;
    um.setGroupsByEvent([&] { ++scheduled; });
    std::vector<UndoManager::Change> told;
    um.setChangeObserver([&](UndoManager::Change c) { told.push_back(c); });
    f.set(1);
    f.set(2);
    um.setActionName("Delete Records");
    EXPECT_EQ(scheduled, 1) << "one close per turn";
    EXPECT_TRUE(um.canUndo()) << "the open group is what Undo takes back";
    EXPECT_EQ(um.undoActionName(), "Delete Records");
    EXPECT_TRUE(told.empty()) << "the change counts once the turn is over";
    um.endEventGroup();
    EXPECT_EQ(um.undoCount(), 1u);
    EXPECT_EQ(told, std::vector<UndoManager::Change>{UndoManager::Change::Done});

    f.set(3);  // the next turn opens its own group
    EXPECT_EQ(scheduled, 2);
    um.undo();  // closes it first, then takes it back
    EXPECT_EQ(f.value, 2);
    um.undo();
    EXPECT_EQ(f.value, 0);
    EXPECT_EQ(scheduled, 2) << "undo and redo open no event group";
    um.redo();
    EXPECT_EQ(f.value, 2);
    EXPECT_EQ(um.redoActionName(), "");
    EXPECT_EQ(um.undoActionName(), "Delete Records");

    // A group the command left open closes with its turn.
    f.set(9);
    um.beginUndoGrouping();
    f.set(10);
    um.endEventGroup();
    EXPECT_EQ(um.groupingLevel(), 0);
    EXPECT_EQ(um.undoCount(), 2u);
    um.undo();
    EXPECT_EQ(f.value, 2);
}

TEST(NotificationCenter, FiltersByNameAndObject) {
    NotificationCenter nc;
    int a = 0, b = 0, any = 0;
    int objA = 0, objB = 0;
    auto o1 = nc.addObserver("Changed", &objA, [&](const Notification&) { ++a; });
    auto o2 = nc.addObserver("Changed", &objB, [&](const Notification&) { ++b; });
    auto o3 = nc.addObserver("", nullptr, [&](const Notification& n) {
        ++any;
        EXPECT_EQ(n.userInfo.get("key")->toString(), "v");
    });
    nc.post("Changed", &objA, {{"key", "v"}});
    nc.post("Other", &objB, {{"key", "v"}});
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(any, 2);
}

TEST(NotificationCenter, DroppingTheHandleStopsDeliveryEvenDuringAPost) {
    NotificationCenter nc;
    int second = 0;
    Observation o2;
    auto o1 = nc.addObserver("N", nullptr, [&](const Notification&) { o2.reset(); });
    o2 = nc.addObserver("N", nullptr, [&](const Notification&) { ++second; });
    nc.post("N", nullptr);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(nc.observerCount(), 1u);
}

TEST(NotificationCenter, DeliversInRegistrationOrderAcrossNamedAndAnyNameObservers) {
    NotificationCenter nc;
    std::string order;
    auto a = nc.addObserver("N", nullptr, [&](const Notification&) { order += 'a'; });
    auto b = nc.addObserver("", nullptr, [&](const Notification&) { order += 'b'; });
    auto c = nc.addObserver("N", nullptr, [&](const Notification&) { order += 'c'; });
    auto d = nc.addObserver("", nullptr, [&](const Notification&) { order += 'd'; });
    nc.post("N", nullptr);
    EXPECT_EQ(order, "abcd");
}

// Many observers of one name come and go (a database's records opening and
// closing); the ones left must still hear every post, exactly once.
TEST(NotificationCenter, SurvivorsOfManyRemovalsStillHearEachPostOnce) {
    NotificationCenter nc;
    std::vector<int> heard(1000, 0);
    std::vector<Observation> observations;
    for (int i = 0; i < 1000; ++i)
        observations.push_back(nc.addObserver("Roots", nullptr, [&heard, i](const Notification&) { ++heard[i]; }));
    for (int i = 0; i < 1000; ++i)
        if (i % 7 != 0) observations[i].reset();
    nc.post("Roots", nullptr);
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(heard[i], i % 7 == 0 ? 1 : 0) << i;
    EXPECT_EQ(nc.observerCount(), 143u);
    observations.clear();
    EXPECT_EQ(nc.observerCount(), 0u);
    auto later = nc.addObserver("Roots", nullptr, [&](const Notification&) { ++heard[0]; });
    nc.post("Roots", nullptr);
    EXPECT_EQ(heard[0], 2);
}

TEST(NotificationCenter, PostsFromSeveralThreadsAreSafe) {
    NotificationCenter nc;
    std::atomic<int> count{0};
    auto o = nc.addObserver("N", nullptr, [&](const Notification&) { ++count; });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 1000; ++i) nc.post("N", nullptr);
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(count, 4000);
}

}  // namespace
}  // namespace kl
