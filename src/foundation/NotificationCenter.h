#pragma once
// NotificationCenter: changes are announced under literal English names with
// the object they concern and a user-info dictionary. Delivery is
// synchronous on the posting thread. An observer is held by the Observation
// handle that adding it returns: dropping the handle removes it, also while a
// notification is being delivered on another thread.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

struct Notification {
    std::string name;
    const void* object = nullptr;
    Dictionary userInfo;
};

class NotificationCenter;

class Observation {
public:
    Observation() = default;
    Observation(Observation&&) noexcept = default;
    Observation& operator=(Observation&& other) noexcept;
    Observation(const Observation&) = delete;
    Observation& operator=(const Observation&) = delete;
    ~Observation();
    void reset();
    explicit operator bool() const { return entry_ != nullptr; }

private:
    friend class NotificationCenter;
    struct Entry;
    Observation(NotificationCenter* center, std::shared_ptr<Entry> entry)
        : center_(center), entry_(std::move(entry)) {}
    NotificationCenter* center_ = nullptr;
    std::shared_ptr<Entry> entry_;
};

class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // An empty name observes every name; a null object every sender.
    [[nodiscard]] Observation addObserver(std::string name, const void* object, Handler handler);
    void post(const Notification& note);
    void post(std::string name, const void* object, Dictionary userInfo = {});

    std::size_t observerCount() const;

private:
    friend class Observation;
    void remove(const std::shared_ptr<Observation::Entry>& entry);

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Observation::Entry>> entries_;
};

}  // namespace kl
