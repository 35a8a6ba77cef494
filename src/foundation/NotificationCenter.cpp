#include "foundation/NotificationCenter.h"

#include <algorithm>
#include <atomic>

namespace kl {

struct Observation::Entry {
    std::string name;
    const void* object;
    NotificationCenter::Handler handler;
    // Registration order, which delivery keeps across the buckets.
    std::uint64_t sequence = 0;
    // Removal waits for nothing: a removed entry is skipped by any delivery
    // that copied the list before the removal.
    std::atomic<bool> alive{true};
};

Observation& Observation::operator=(Observation&& other) noexcept {
    if (this != &other) {
        reset();
        center_ = other.center_;
        entry_ = std::move(other.entry_);
        other.center_ = nullptr;
    }
    return *this;
}

Observation::~Observation() { reset(); }

void Observation::reset() {
    if (entry_ && center_) center_->remove(entry_);
    entry_.reset();
    center_ = nullptr;
}

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

Observation NotificationCenter::addObserver(std::string name, const void* object, Handler handler) {
    auto entry = std::make_shared<Observation::Entry>();
    entry->name = std::move(name);
    entry->object = object;
    entry->handler = std::move(handler);
    std::lock_guard lock(mutex_);
    entry->sequence = nextSequence_++;
    buckets_[entry->name].push_back(entry);
    ++liveCount_;
    return Observation(this, entry);
}

void NotificationCenter::remove(const std::shared_ptr<Observation::Entry>& entry) {
    std::lock_guard lock(mutex_);
    if (!entry->alive.exchange(false)) return;
    --liveCount_;
    auto found = buckets_.find(entry->name);
    if (found == buckets_.end()) return;
    Bucket& bucket = found->second;
    std::size_t& dead = deadCounts_[entry->name];
    if (++dead * 2 < bucket.size()) return;
    std::erase_if(bucket, [](const auto& e) { return !e->alive; });
    dead = 0;
    if (bucket.empty()) {
        buckets_.erase(found);
        deadCounts_.erase(entry->name);
    }
}

void NotificationCenter::collect(const Bucket& bucket, const Notification& note, Bucket& targets) {
    for (const auto& e : bucket)
        if (e->alive && (!e->object || e->object == note.object)) targets.push_back(e);
}

void NotificationCenter::post(const Notification& note) {
    Bucket targets;
    {
        std::lock_guard lock(mutex_);
        auto named = buckets_.find(note.name);
        if (named != buckets_.end()) collect(named->second, note, targets);
        auto any = note.name.empty() ? buckets_.end() : buckets_.find(std::string());
        if (any != buckets_.end()) {
            const auto middle = targets.size();
            collect(any->second, note, targets);
            std::inplace_merge(targets.begin(), targets.begin() + static_cast<std::ptrdiff_t>(middle), targets.end(),
                               [](const auto& a, const auto& b) { return a->sequence < b->sequence; });
        }
    }
    for (const auto& e : targets)
        if (e->alive) e->handler(note);
}

void NotificationCenter::post(std::string name, const void* object, Dictionary userInfo) {
    post(Notification{std::move(name), object, std::move(userInfo)});
}

std::size_t NotificationCenter::observerCount() const {
    std::lock_guard lock(mutex_);
    return liveCount_;
}

}  // namespace kl
