#include "foundation/MainThread.h"

#include <atomic>
#include <exception>

#include "foundation/InlineDispatcher.h"
#include "foundation/Logger.h"

namespace kl {

namespace {

Dispatcher& builtIn() {
    static InlineDispatcher dispatcher;
    return dispatcher;
}

std::atomic<Dispatcher*>& installed() {
    static std::atomic<Dispatcher*> current{nullptr};
    return current;
}

}  // namespace

Dispatcher& Dispatcher::current() {
    Dispatcher* d = installed().load(std::memory_order_acquire);
    return d ? *d : builtIn();
}

Dispatcher* Dispatcher::setCurrent(Dispatcher* dispatcher) {
    return installed().exchange(dispatcher, std::memory_order_acq_rel);
}

void Dispatcher::runLogged(const Task& task) noexcept {
    try {
        task();
    } catch (const std::exception& e) {
        Logger::log("A main-thread task failed: {}", e.what());
    } catch (...) {
        Logger::log("A main-thread task failed with an unknown exception");
    }
}

}  // namespace kl
