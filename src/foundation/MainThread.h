#pragma once
// Dispatcher: how non-GUI code hands work to the main thread, where windows,
// cells and all editing live. Workers that change the model call
// postAndWait; results passed along without waiting use post; a step a
// window defers to the next turn of its event loop uses postDeferred and is
// withdrawn with cancelDeferred when the window closes.
//
// The process has one current dispatcher. The Qt GUI installs its own at
// start; until then (and in tests) an InlineDispatcher serves. Install a
// dispatcher before workers start and remove it after they have finished:
// current() hands out a reference, not ownership.
#include <functional>

namespace kl {

class Dispatcher {
public:
    using Task = std::function<void()>;

    virtual ~Dispatcher() = default;

    // Runs task on the main thread later; never waits.
    virtual void post(Task task) = 0;
    // Runs task on the main thread and returns once it has run; runs it at
    // once when called on the main thread. An exception thrown by the task
    // is raised again in the caller.
    virtual void postAndWait(Task task) = 0;
    // Runs task on a later turn of the main thread, unless cancelDeferred
    // withdraws it first. The receiver only names the requests to withdraw.
    virtual void postDeferred(const void* receiver, Task task) = 0;
    // Withdraws every deferred request of receiver not yet started.
    virtual void cancelDeferred(const void* receiver) = 0;
    virtual bool isMainThread() const = 0;

    // Runs a task that nobody waits for: a failure is logged, since there is
    // no caller left to raise it in, and the main thread goes on.
    static void runLogged(const Task& task) noexcept;

    static Dispatcher& current();
    // Installs a dispatcher (nullptr: the built-in inline one) and answers
    // the one installed before.
    static Dispatcher* setCurrent(Dispatcher* dispatcher);

    // Installs a dispatcher for the length of a scope.
    class Scope {
    public:
        explicit Scope(Dispatcher& dispatcher) : previous_(setCurrent(&dispatcher)) {}
        ~Scope() { setCurrent(previous_); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Dispatcher* previous_;
    };
};

}  // namespace kl
