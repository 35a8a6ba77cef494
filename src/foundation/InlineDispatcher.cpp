#include "foundation/InlineDispatcher.h"

namespace kl {

void InlineDispatcher::post(Task task) { runLogged(task); }

void InlineDispatcher::postAndWait(Task task) { task(); }

void InlineDispatcher::postDeferred(const void* receiver, Task task) { deferred_.push(receiver, std::move(task)); }

void InlineDispatcher::cancelDeferred(const void* receiver) { deferred_.cancel(receiver); }

std::size_t InlineDispatcher::drain(int maxTurns) {
    std::size_t ran = 0;
    for (int turn = 0; turn < maxTurns && deferred_.size() > 0; ++turn) ran += deferred_.runPending();
    return ran;
}

}  // namespace kl
