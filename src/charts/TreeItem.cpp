#include "charts/TreeItem.h"

#include <stdexcept>
#include <thread>

#include "charts/RelativesTree.h"
#include "foundation/Exception.h"
#include "foundation/Logger.h"
#include "model/GEDCOMRecord.h"

namespace kl {

namespace {
std::atomic<int> maxGenerations_{100};
// The branch expansion in progress. `ended` is set however the worker
// leaves, so that a worker failing for any reason ends the wait; the result
// is still `finished`, set only when the whole branch was built.
std::atomic<bool> cancelFlag_{false};
std::atomic<bool> finishedFlag_{false};
std::atomic<bool> endedFlag_{true};
std::atomic<int> visited_{0};
std::atomic<int> deepest_{0};
}  // namespace

TreeItem::TreeItem(TreeItem* parentCell) : parentCell_(parentCell) {
    generation_ = parentCell ? parentCell->generation() + 1 : 0;
}

TreeItem::~TreeItem() = default;

int TreeItem::removeRecord(const GEDCOMRecord*) { return 0; }

std::shared_ptr<GEDCOMRecord> TreeItem::itemRecord() const {
    throw std::logic_error("You must override itemRecord in a subclass");
}

TreeItem::Level* TreeItem::nextLevel() {
    return state_ == LevelState::Built ? &level_ : nullptr;
}

int TreeItem::numberOnNextLevel() {
    Level* level = nextLevel();
    return level ? static_cast<int>(level->size()) : -1;
}

TreeItem* TreeItem::treeChildAtIndex(int index) {
    Level* level = nextLevel();
    if (!level || index < 0 || static_cast<std::size_t>(index) >= level->size()) return nullptr;
    return (*level)[static_cast<std::size_t>(index)].get();
}

void TreeItem::resetNextLevel() {
    level_.clear();
    state_ = LevelState::NotBuilt;
}

void TreeItem::setNoneMark() {
    level_.clear();
    state_ = LevelState::None;
}

void TreeItem::markBuilt() { state_ = LevelState::Built; }

int TreeItem::indexOfChild(const TreeItem* child) const {
    for (std::size_t i = 0; i < level_.size(); ++i)
        if (level_[i].get() == child) return static_cast<int>(i);
    return -1;
}

TreeItem* TreeItem::appendChild(std::unique_ptr<TreeItem> child) {
    return insertChild(std::move(child), level_.size());
}

TreeItem* TreeItem::insertChild(std::unique_ptr<TreeItem> child, std::size_t at) {
    state_ = LevelState::Built;
    if (at > level_.size()) at = level_.size();
    return level_.insert(level_.begin() + static_cast<std::ptrdiff_t>(at), std::move(child))->get();
}

void TreeItem::takeOutChild(std::size_t at) {
    TreeItem& child = *level_[at];
    if (treeController_) treeController_->removeFromMembers(child);
    child.resetNextLevel();
    level_.erase(level_.begin() + static_cast<std::ptrdiff_t>(at));
}

void TreeItem::removeChildrenFromMembers(TreeMembers& members, TreeMembers& famMembers) {
    if (treeController_) treeController_->nodeLeaving(*this);
    auto person = individual();
    if (!person) return;
    auto found = members.find(person->grecordID());
    if (found == members.end()) return;
    std::vector<TreeItem*>& nodes = found->second;
    if (crossRefNum_ < 0) {
        std::erase(nodes, this);
        if (nodes.size() == 1) nodes.front()->setCrossRefNum(0);
        return;
    }
    if (crossRefNum_ > 0 && nodes.size() >= 2) {
        nodes[1]->setCrossRefNum(nodes.size() >= 3 ? crossRefNum_ : 0);
        std::erase(nodes, this);
    } else {
        members.erase(found);
    }
    for (auto& child : level_) child->removeChildrenFromMembers(members, famMembers);
}

// ---- the generation limit and the branch expansion

void TreeItem::setMaxGenerations(int generations) { maxGenerations_ = generations; }
int TreeItem::maxGenerations() { return maxGenerations_; }
int TreeItem::treeGenerations() { return deepest_; }
int TreeItem::visitedCount() { return visited_; }
bool TreeItem::expansionEnded() { return endedFlag_; }

bool TreeItem::recursiveExpand(const ExpansionWait& wait) {
    cancelFlag_ = false;
    finishedFlag_ = false;
    endedFlag_ = false;
    std::thread worker([this] { expandThread(); });
    if (wait) wait(*this);
    // A cancelled worker stops at the next node it visits; the levels are
    // not to be touched here while it may still be building one.
    worker.join();
    return finishedFlag_;
}

void TreeItem::expandThread() {
    visited_ = 0;
    deepest_ = 0;
    try {
        expandChildren();
        finishedFlag_ = true;
    } catch (const NamedException& e) {
        if (e.name() != exception_names::AbortExpansion)
            Logger::log("Tree branch expansion failed: {}", e.message());
    } catch (const std::exception& e) {
        Logger::log("Tree branch expansion failed: {}", e.what());
    } catch (...) {
        Logger::log("Tree branch expansion failed");
    }
    endedFlag_ = true;
}

void TreeItem::expandChildren() {
    if (cancelFlag_) raise(exception_names::AbortExpansion, "aborting");
    ++visited_;
    if (generation_ > deepest_) deepest_ = generation_;
    if (Level* level = nextLevel())
        for (auto& child : *level) child->expandChildren();
}

std::optional<std::string> TreeItem::updateStatusField() {
    return Logger::format("{} in {} generations", visited_.load(), deepest_.load());
}

bool TreeItem::stillRunning() { return !endedFlag_; }

void TreeItem::cancelAction() { cancelFlag_ = true; }

}  // namespace kl
