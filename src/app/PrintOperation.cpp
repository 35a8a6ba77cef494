#include "app/PrintOperation.h"

namespace kl {

namespace {

thread_local PrintOperation* current = nullptr;

}  // namespace

PrintOperation::PrintOperation() : previous_(current) { current = this; }

PrintOperation::~PrintOperation() {
    // Normally the innermost goes first; one that goes out of turn is
    // unlinked so the others stay reachable.
    if (current == this) {
        current = previous_;
        return;
    }
    for (PrintOperation* op = current; op; op = op->previous_) {
        if (op->previous_ == this) {
            op->previous_ = previous_;
            return;
        }
    }
}

PrintOperation* PrintOperation::currentOperation() { return current; }

}  // namespace kl
