#pragma once
// Reclaimer: frees large object graphs (a closed database's records) on a
// background thread, so that closing never waits for a million nodes to be
// freed. When the process is about to end, what is handed over is kept
// instead: the system takes the memory back at once, freeing it node by
// node would only delay the exit.
//
// Ownership: takes shared ownership of what it is given; an object that
// others still hold lives on with them, and the last owner frees it as
// before. Kept objects stay reachable until the process ends.
// Thread: any thread. Destructors of released objects run on the reclaimer's
// thread, so they must not need the main thread. At exit the reclaimer
// finishes the object it is freeing and leaves the rest.
#include <memory>

namespace kl {

class Reclaimer {
public:
    static void release(std::shared_ptr<void> garbage);
    // Blocks until everything released so far is freed (kept objects aside).
    static void drain();
    // While true, released objects are kept, not freed; setting it back to
    // false frees what was kept meanwhile (a quit the user called off).
    static void setProcessEnding(bool ending);
};

}  // namespace kl
