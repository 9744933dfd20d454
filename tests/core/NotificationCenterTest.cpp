#include "Platform/core/NotificationCenter.h"
#include <gtest/gtest.h>

#include <string>
#include <vector>

using Platform::NotificationCenter;
using Names = std::vector<std::string>;

TEST(NotificationCenter, DeliversByNameAndSenderInRegistrationOrderUntilRemoved) {
    NotificationCenter center;
    Names log;
    auto recorder = [&log](std::string who) {
        return [&log, who](const auto& n) { log.push_back(who + ":" + n.name); };
    };
    int a = 0, b = 0, c = 0, sender1 = 0, sender2 = 0;
    center.addObserver(&b, "Tick", nullptr, recorder("b"));
    center.addObserver(&a, "Tick", &sender1, recorder("a"));
    center.addObserver(&c, "Tock", nullptr, recorder("c"));
    center.addObserver(&c, "", nullptr, recorder("any"));
    center.postNotification("Tick", &sender2);
    center.postNotification("Tock");
    center.postNotification("Tick", &sender1);
    EXPECT_EQ(log,
              (Names{"b:Tick", "any:Tick", "c:Tock", "any:Tock", "b:Tick", "a:Tick", "any:Tick"}));
    log.clear();
    center.removeObserver(&c, "Tock", nullptr); // only that one
    center.removeObserver(&b);                  // from every notification
    center.postNotification("Tock");
    center.postNotification("Tick", &sender1);
    EXPECT_EQ(log, (Names{"any:Tock", "a:Tick", "any:Tick"}));
}

TEST(NotificationCenter, ObserversMayChangeTheListDuringDelivery) {
    NotificationCenter center;
    Names log;
    int first = 0, second = 0, third = 0, late = 0;
    auto record = [&log](const auto& n) { log.push_back(n.name); };
    center.addObserver(&first, "Go", nullptr, [&](const auto& n) {
        log.push_back("first " + n.name);
        center.removeObserver(&first);
        center.removeObserver(&second);
        center.addObserver(&late, "Go", nullptr, record); // hears the next posting
        center.postNotification("Inner");                 // delivered at once
    });
    center.addObserver(&second, "Go", nullptr, record);
    center.addObserver(&third, "", nullptr, record);
    center.postNotification("Go");
    center.postNotification("Go");
    EXPECT_EQ(log, (Names{"first Go", "Inner", "Go", "Go", "Go"}));
    EXPECT_EQ(center.observerCount(), 2);
}
