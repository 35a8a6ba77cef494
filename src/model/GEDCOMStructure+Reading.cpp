// Folding the continuation and comment lines of a structure that was just
// read back into its contents and quick comment.
#include "model/GEDCOMStructure.h"

namespace kl {

namespace {

bool isContinuation(const GEDCOMStructure& s) { return s.gtag() == "CONT" || s.gtag() == "CONC"; }

}  // namespace

void GEDCOMStructure::appendCONTandCONC() {
    // Most lines have nothing below them: they cost no stack.
    if (structures().empty()) return;
    std::vector<GEDCOMStructure*> pending{this};
    while (!pending.empty()) {
        GEDCOMStructure* node = pending.back();
        pending.pop_back();
        node->foldOne(pending);
    }
}

// Folds this node's own leading CONT/CONC run and `_MEMO`, then queues the
// remaining children (in order) for the same treatment.
void GEDCOMStructure::foldOne(std::vector<GEDCOMStructure*>& pending) {
    if (structures().empty()) return;
    if (isContinuation(*structures().front())) {
        if (gtag() == "BLOB") {
            setContents("Encoded multimedia BLOB was deleted (clear this text to remove).");
            removeChildren();
            return;
        }
        std::string added;
        std::size_t run = 0;
        // Lines hanging below a folded line move up to this one, in order.
        std::vector<std::shared_ptr<GEDCOMStructure>> moved;
        for (; run < structures().size() && isContinuation(*structures()[run]); ++run) {
            // A continuation line may carry continuation lines of its own.
            structures()[run]->appendCONTandCONC();
            const GEDCOMStructure& line = *structures()[run];
            if (line.gtag() == "CONT") added.push_back('\n');
            added.append(line.contents());
            for (const auto& child : line.structures()) {
                child->changeLevel(glevel() + 1, record_);
                moved.push_back(child);
            }
        }
        appendContents(added);
        auto& list = mutableStructures();
        list.erase(list.begin(), list.begin() + static_cast<long>(run));
        list.insert(list.begin(), moved.begin(), moved.end());
        if (list.empty()) return;
    }
    if (structures().front()->gtag() == "_MEMO") {
        std::shared_ptr<GEDCOMStructure> memo = structures().front();
        memo->appendCONTandCONC();
        if (!memo->contents().empty()) setQuickComment(memo->contents());
        auto& list = mutableStructures();
        list.erase(list.begin());
    }
    const auto& children = structures();
    for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(it->get());
}

}  // namespace kl
