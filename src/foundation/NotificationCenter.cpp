#include "foundation/NotificationCenter.h"

#include <algorithm>
#include <atomic>

namespace kl {

struct Observation::Entry {
    std::string name;
    const void* object;
    NotificationCenter::Handler handler;
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
    entries_.push_back(entry);
    return Observation(this, entry);
}

void NotificationCenter::remove(const std::shared_ptr<Observation::Entry>& entry) {
    entry->alive = false;
    std::lock_guard lock(mutex_);
    entries_.erase(std::remove(entries_.begin(), entries_.end(), entry), entries_.end());
}

void NotificationCenter::post(const Notification& note) {
    std::vector<std::shared_ptr<Observation::Entry>> targets;
    {
        std::lock_guard lock(mutex_);
        for (const auto& e : entries_)
            if ((e->name.empty() || e->name == note.name) && (!e->object || e->object == note.object))
                targets.push_back(e);
    }
    for (const auto& e : targets)
        if (e->alive) e->handler(note);
}

void NotificationCenter::post(std::string name, const void* object, Dictionary userInfo) {
    post(Notification{std::move(name), object, std::move(userInfo)});
}

std::size_t NotificationCenter::observerCount() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

}  // namespace kl
