#pragma once
// PendingText: a text that one thread leaves for another to pick up. A
// worker sets it as often as it likes; the main thread takes the latest at
// its next poll, and a text replaced before it was taken is never seen.
//
// Thread: set and take from any thread (one mutex, held only to move the
// text in or out).
#include <mutex>
#include <optional>
#include <string>

namespace kl {

class PendingText {
public:
    void set(std::string text) {
        std::lock_guard lock(mutex_);
        text_ = std::move(text);
    }
    // The text left since the last take, which is cleared; nullopt if none.
    std::optional<std::string> take() {
        std::lock_guard lock(mutex_);
        std::optional<std::string> text = std::move(text_);
        text_.reset();
        return text;
    }

private:
    std::mutex mutex_;
    std::optional<std::string> text_;
};

}  // namespace kl
