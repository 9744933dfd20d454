#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Platform {

// Named broadcast within the program. Delivery is synchronous: when
// postNotification returns, every matching observer has run, in the order
// in which the observers were added. Observers may add and remove observers
// (themselves included) while a notification is being delivered; one added
// during a delivery first hears the next posting, one removed hears nothing
// more, not even the rest of the current posting.
class NotificationCenter {
public:
    struct Notification {
        std::string name;
        const void* object = nullptr;
    };
    using Handler = std::function<void(const Notification&)>;

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // The program's shared centre.
    static NotificationCenter& defaultCenter();

    // `observer` is only an identity for removal. An empty `name` hears every
    // notification; a null `object` hears every sender.
    void addObserver(const void* observer, const std::string& name, const void* object,
                     Handler handler);
    // Removes the observer from every notification it observes.
    void removeObserver(const void* observer);
    // Removes only the registrations that match `name` and `object` (empty
    // and null match all).
    void removeObserver(const void* observer, const std::string& name, const void* object);

    void postNotification(const std::string& name, const void* object = nullptr);

    std::size_t observerCount() const;

private:
    struct Registration {
        const void* observer;
        std::string name;
        const void* object;
        Handler handler;
        bool removed = false;
    };

    bool hears(const Registration& registration, const Notification& notification) const;
    void purgeRemoved();

    std::vector<std::shared_ptr<Registration>> registrations_;
    int deliveryDepth_ = 0;
};

} // namespace Platform
