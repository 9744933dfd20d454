#include "Platform/core/NotificationCenter.h"

#include <algorithm>
#include <utility>

namespace Platform {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(const void* observer, const std::string& name,
                                     const void* object, Handler handler) {
    if (!handler)
        return;
    registrations_.push_back(
        std::make_shared<Registration>(Registration{observer, name, object, std::move(handler)}));
}

void NotificationCenter::removeObserver(const void* observer) {
    removeObserver(observer, std::string(), nullptr);
}

void NotificationCenter::removeObserver(const void* observer, const std::string& name,
                                        const void* object) {
    for (auto& registration : registrations_) {
        if (registration->observer != observer)
            continue;
        if (!name.empty() && registration->name != name)
            continue;
        if (object && registration->object != object)
            continue;
        // Marked rather than erased: a delivery in progress may still hold it.
        registration->removed = true;
    }
    purgeRemoved();
}

void NotificationCenter::postNotification(const std::string& name, const void* object) {
    Notification notification{name, object};
    // The receivers are fixed when the posting starts; shared ownership keeps a
    // handler alive while it runs even if it removes itself.
    std::vector<std::shared_ptr<Registration>> receivers;
    for (const auto& registration : registrations_)
        if (hears(*registration, notification))
            receivers.push_back(registration);
    ++deliveryDepth_;
    for (const auto& receiver : receivers)
        if (!receiver->removed)
            receiver->handler(notification);
    --deliveryDepth_;
    purgeRemoved();
}

std::size_t NotificationCenter::observerCount() const {
    return static_cast<std::size_t>(std::count_if(registrations_.begin(), registrations_.end(),
                                                  [](const auto& r) { return !r->removed; }));
}

bool NotificationCenter::hears(const Registration& registration,
                               const Notification& notification) const {
    if (registration.removed)
        return false;
    if (!registration.name.empty() && registration.name != notification.name)
        return false;
    return !registration.object || registration.object == notification.object;
}

void NotificationCenter::purgeRemoved() {
    if (deliveryDepth_ > 0)
        return;
    std::erase_if(registrations_, [](const auto& r) { return r->removed; });
}

} // namespace Platform
