#include "Platform/core/NotificationCenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Platform::NotificationCenter;

namespace {

struct Log {
    std::vector<std::string> entries;
    NotificationCenter::Handler recorder(const std::string& who) {
        return [this, who](const NotificationCenter::Notification& n) {
            entries.push_back(who + ":" + n.name);
        };
    }
};

} // namespace

TEST(NotificationCenter, DeliversByNameInRegistrationOrder) {
    NotificationCenter center;
    Log log;
    int a = 0, b = 0, c = 0;
    center.addObserver(&b, "Tick", nullptr, log.recorder("b"));
    center.addObserver(&a, "Tick", nullptr, log.recorder("a"));
    center.addObserver(&c, "Tock", nullptr, log.recorder("c"));
    center.addObserver(&c, "", nullptr, log.recorder("any"));
    center.postNotification("Tick");
    center.postNotification("Tock");
    EXPECT_EQ(log.entries,
              (std::vector<std::string>{"b:Tick", "a:Tick", "any:Tick", "c:Tock", "any:Tock"}));
}

TEST(NotificationCenter, ObjectFilterSelectsTheSender) {
    NotificationCenter center;
    int observer = 0, sender1 = 0, sender2 = 0;
    std::vector<const void*> seen;
    center.addObserver(&observer, "Changed", &sender1,
                       [&seen](const auto& n) { seen.push_back(n.object); });
    center.addObserver(&observer, "Changed", nullptr,
                       [&seen](const auto& n) { seen.push_back(n.object); });
    center.postNotification("Changed", &sender2);
    center.postNotification("Changed", &sender1);
    EXPECT_EQ(seen, (std::vector<const void*>{&sender2, &sender1, &sender1}));
}

TEST(NotificationCenter, RemoveObserverFromEveryNotificationOrOnlySome) {
    NotificationCenter center;
    Log log;
    int a = 0, b = 0, sender = 0;
    center.addObserver(&a, "One", nullptr, log.recorder("a"));
    center.addObserver(&a, "Two", &sender, log.recorder("a"));
    center.addObserver(&b, "One", nullptr, log.recorder("b"));
    center.removeObserver(&b, "Two", nullptr); // b does not observe Two: nothing happens
    center.removeObserver(&a);
    EXPECT_EQ(center.observerCount(), 1u);
    center.postNotification("One");
    center.postNotification("Two", &sender);
    EXPECT_EQ(log.entries, (std::vector<std::string>{"b:One"}));
    center.addObserver(&a, "One", nullptr, log.recorder("a"));
    center.addObserver(&a, "Two", nullptr, log.recorder("a"));
    center.removeObserver(&a, "One", nullptr);
    center.postNotification("One");
    center.postNotification("Two");
    EXPECT_EQ(log.entries, (std::vector<std::string>{"b:One", "b:One", "a:Two"}));
}

TEST(NotificationCenter, ObserversMayRemoveThemselvesAndOthersDuringDelivery) {
    NotificationCenter center;
    Log log;
    int first = 0, second = 0, third = 0;
    center.addObserver(&first, "Go", nullptr, [&](const auto& n) {
        log.entries.push_back("first:" + n.name);
        center.removeObserver(&first);
        center.removeObserver(&second);
    });
    center.addObserver(&second, "Go", nullptr, log.recorder("second"));
    center.addObserver(&third, "Go", nullptr, log.recorder("third"));
    center.postNotification("Go");
    center.postNotification("Go");
    EXPECT_EQ(log.entries, (std::vector<std::string>{"first:Go", "third:Go", "third:Go"}));
    EXPECT_EQ(center.observerCount(), 1u);
}

TEST(NotificationCenter, ObserversAddedDuringDeliveryHearTheNextPosting) {
    NotificationCenter center;
    Log log;
    int adder = 0, late = 0;
    bool added = false;
    center.addObserver(&adder, "Go", nullptr, [&](const auto&) {
        if (!added)
            center.addObserver(&late, "Go", nullptr, log.recorder("late"));
        added = true;
    });
    center.postNotification("Go");
    EXPECT_TRUE(log.entries.empty());
    center.postNotification("Go");
    EXPECT_EQ(log.entries, (std::vector<std::string>{"late:Go"}));
}

TEST(NotificationCenter, NestedPostingsDeliverSynchronously) {
    NotificationCenter center;
    Log log;
    int a = 0, b = 0;
    center.addObserver(&a, "Outer", nullptr, [&](const auto& n) {
        log.entries.push_back("a:" + n.name);
        center.postNotification("Inner");
        log.entries.push_back("a:after");
    });
    center.addObserver(&b, "Inner", nullptr, [&](const auto& n) {
        log.entries.push_back("b:" + n.name);
        center.removeObserver(&a);
    });
    center.postNotification("Outer");
    center.postNotification("Outer");
    EXPECT_EQ(log.entries, (std::vector<std::string>{"a:Outer", "b:Inner", "a:after"}));
}
