#include "foundation/EndSignal.h"

#include <algorithm>

namespace kl {

EndSignal::Listening& EndSignal::Listening::operator=(Listening&& other) noexcept {
    if (this != &other) {
        reset();
        signal_ = std::exchange(other.signal_, nullptr);
        id_ = other.id_;
    }
    return *this;
}

void EndSignal::Listening::reset() {
    if (!signal_) return;
    std::lock_guard lock(signal_->mutex_);
    std::erase_if(signal_->listeners_, [this](const auto& entry) { return entry.first == id_; });
    signal_ = nullptr;
}

void EndSignal::notify() {
    std::lock_guard lock(mutex_);
    for (const auto& entry : listeners_) entry.second();
    changed_.notify_all();
}

bool EndSignal::waitFor(std::chrono::duration<double> time, const std::function<bool()>& ended) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, time, ended);
}

EndSignal::Listening EndSignal::listen(std::function<void()> wake) {
    std::lock_guard lock(mutex_);
    const std::uint64_t id = nextId_++;
    listeners_.emplace_back(id, std::move(wake));
    return Listening(this, id);
}

}  // namespace kl
