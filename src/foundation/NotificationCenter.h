#pragma once
// NotificationCenter: changes are announced under literal English names with
// the object they concern and a user-info dictionary. Delivery is
// synchronous on the posting thread. An observer is held by the Observation
// handle that adding it returns: dropping the handle removes it, also while a
// notification is being delivered on another thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
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
    using Bucket = std::vector<std::shared_ptr<Observation::Entry>>;
    void remove(const std::shared_ptr<Observation::Entry>& entry);
    static void collect(const Bucket& bucket, const Notification& note, Bucket& targets);

    // Observers are kept per name, so that a post looks only at those of
    // its own name and at those of every name (the empty one): a database
    // whose records each observe a rare notification must not slow down
    // the frequent ones. A removed observer is only marked; a bucket is
    // compacted once it holds as many dead entries as live ones, so that
    // dropping thousands of observers costs linear time.
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    std::unordered_map<std::string, std::size_t> deadCounts_;
    std::uint64_t nextSequence_ = 0;
    std::size_t liveCount_ = 0;
};

}  // namespace kl
