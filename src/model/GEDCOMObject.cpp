#include "model/GEDCOMObject.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelNotifications.h"
#include "model/NodeAllocator.h"

namespace kl {

std::atomic<std::uint64_t> GEDCOMObject::editEpoch_{0};

namespace {

// Beyond this many steps down the last-child chain, building keeps the chain
// so that each further line is placed in constant time.
constexpr std::size_t kDeepChain = 32;

std::atomic<int> lineEndingIndex{0};
constexpr std::string_view kLineEndings[] = {"\n", "\r", "\r\n", "\n\r"};

}  // namespace

// The last-child chain of the node that receives parsed lines, with the
// chain positions of each level, valid while no tree was edited otherwise.
struct GEDCOMObject::BuildCursor {
    std::uint64_t epoch = 0;
    std::vector<GEDCOMObject*> chain;
    std::unordered_map<long long, std::vector<std::size_t>> positionsOfLevel;

    void push(GEDCOMObject* node) {
        positionsOfLevel[node->glevel_].push_back(chain.size());
        chain.push_back(node);
    }
    void truncate(std::size_t size) {
        while (chain.size() > size) {
            positionsOfLevel[chain.back()->glevel_].pop_back();
            chain.pop_back();
        }
    }
    // First chain position holding the level, or notFound.
    std::size_t firstOfLevel(long long level) const {
        auto it = positionsOfLevel.find(level);
        if (it == positionsOfLevel.end() || it->second.empty()) return notFound;
        return it->second.front();
    }
};

// What few nodes need, made on first use.
struct GEDCOMObject::Extras {
    Value returnValue;
    std::optional<std::string> quickComment;
    std::string ownedTag;
    std::uint32_t corruptHigh = 0;  // damage bits 16 to 31, shifted down
    std::unique_ptr<BuildCursor> cursor;
};

GEDCOMObject::GEDCOMObject(int level, std::string tag, std::string contents)
    : contents_(std::move(contents)), glevel_(level), tagId_(TagTable::idFor(tag)) {
    if (tagId_ == kOwnTag) extras().ownedTag = std::move(tag);
}

// Freeing a deep subtree one node at a time: letting each shared_ptr free its
// children would recurse once per level. Nodes that only this subtree holds
// are freed in the order they were made in (file order, each before its own
// children): the pool hands freed blocks out last-in first-out, so the next
// tree read is then built on consecutive addresses instead of scattered ones.
GEDCOMObject::~GEDCOMObject() {
    if (!branch_ || branch_->structures.empty()) return;
    struct Frame {
        StructureList list;
        std::size_t next;
    };
    std::vector<Frame> stack;
    stack.push_back({std::move(branch_->structures), 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.list.size()) {
            stack.pop_back();
            continue;
        }
        std::shared_ptr<GEDCOMStructure> child = std::move(top.list[top.next++]);
        GEDCOMObject* node = const_cast<GEDCOMObject*>(asNode(child.get()));
        StructureList grandchildren;
        // Only a child nobody else holds gives up its children here; one
        // still held elsewhere keeps its subtree.
        if (child.use_count() == 1 && node->branch_) grandchildren = std::move(node->branch_->structures);
        child.reset();
        if (!grandchildren.empty()) stack.push_back({std::move(grandchildren), 0});
    }
}

const GEDCOMObject* GEDCOMObject::asNode(const GEDCOMStructure* s) { return s; }

std::weak_ptr<GEDCOMObject> GEDCOMObject::weak_from_this() {
    GEDCOMRecord* record = theRecord();
    if (!record) return {};
    if (record == this) return record->weakRecord();
    // The list that holds this structure, searched from the record down;
    // nothing here may ask a node for its own pointer.
    std::vector<const GEDCOMObject*> pending{record};
    while (!pending.empty()) {
        const GEDCOMObject* node = pending.back();
        pending.pop_back();
        for (const std::shared_ptr<GEDCOMStructure>& child : node->structures()) {
            if (asNode(child.get()) == this) return child;
            if (child->branch_ && !child->branch_->structures.empty()) pending.push_back(asNode(child.get()));
        }
    }
    return {};
}

std::weak_ptr<const GEDCOMObject> GEDCOMObject::weak_from_this() const {
    return const_cast<GEDCOMObject*>(this)->weak_from_this();
}

// Never destroyed: a node may be read by a static destructor at exit.
const GEDCOMObject::StructureList& GEDCOMObject::noStructures() {
    static const StructureList* const none = new StructureList;
    return *none;
}

void GEDCOMObject::BranchDeleter::operator()(Branch* branch) const noexcept {
    branch->~Branch();
    NodeAllocator<Branch>().deallocate(branch, 1);
}

void GEDCOMObject::ExtrasDeleter::operator()(Extras* extras) const noexcept { delete extras; }

GEDCOMObject::Branch& GEDCOMObject::branch() {
    if (!branch_) {
        Branch* block = NodeAllocator<Branch>().allocate(1);
        branch_.reset(new (block) Branch());
    }
    return *branch_;
}

GEDCOMObject::Extras& GEDCOMObject::extras() {
    Branch& b = branch();
    if (!b.extras) b.extras.reset(new Extras());
    return *b.extras;
}

const std::string& GEDCOMObject::ownedTag() const {
    static const std::string none;
    const Extras* e = extrasIfAny();
    return e ? e->ownedTag : none;
}

std::uint32_t GEDCOMObject::corruptWithExtras() const { return corruptLow_ | (extrasIfAny()->corruptHigh << 16); }

void GEDCOMObject::setCorrupt(std::uint32_t bits) {
    corruptLow_ = static_cast<std::uint16_t>(bits & 0xFFFF);
    if ((bits >> 16) != 0 || extrasIfAny()) extras().corruptHigh = bits >> 16;
}

const Value& GEDCOMObject::returnValue() const {
    static const Value none;
    const Extras* e = extrasIfAny();
    return e ? e->returnValue : none;
}

void GEDCOMObject::setReturnValue(Value v) {
    if (v.isNull() && !extrasIfAny()) return;
    extras().returnValue = std::move(v);
}

const std::string* GEDCOMObject::storedQuickComment() const {
    const Extras* e = extrasIfAny();
    return e && e->quickComment ? &*e->quickComment : nullptr;
}

void GEDCOMObject::storeQuickComment(std::optional<std::string> comment) {
    if (!comment && !extrasIfAny()) return;
    extras().quickComment = std::move(comment);
}

void GEDCOMObject::setGlevel(int level) {
    glevel_ = level;
    treeChanged();
}

void GEDCOMObject::setGtag(std::string tag) {
    tagId_ = TagTable::idFor(tag);
    if (tagId_ == kOwnTag)
        extras().ownedTag = std::move(tag);
    else if (extrasIfAny())
        extras().ownedTag.clear();
    treeChanged();
}

void GEDCOMObject::changeContentsField(std::string contents) {
    contents_ = std::move(contents);
    treeChanged();
}

void GEDCOMObject::setStructures(StructureList list) {
    if (!list.empty() || branch_) ownStructures() = std::move(list);
    treeChanged();
}

GEDCOMObject::StructureList& GEDCOMObject::mutableStructures() {
    treeChanged();
    return ownStructures();
}

void GEDCOMObject::treeChanged() {
    noteTreeEdit();
    if (const GEDCOMRecord* record = theRecord()) record->clearGEDCOMCacheNoUndo();
}

UndoManager* GEDCOMObject::undoManager() const {
    const GEDCOMRecord* record = theRecord();
    return record ? record->undoManager() : nullptr;
}

std::string_view GEDCOMObject::lineEnding() {
    return kLineEndings[lineEndingIndex.load(std::memory_order_relaxed)];
}

void GEDCOMObject::setLineEnding(std::string_view ending) {
    int index = 0;
    for (int i = 0; i < 4; ++i)
        if (kLineEndings[i] == ending) index = i;
    lineEndingIndex.store(index, std::memory_order_relaxed);
}

// ---- building

std::shared_ptr<GEDCOMStructure> GEDCOMObject::addLevel(int level, std::string tag, std::string contents) {
    auto s = std::allocate_shared<GEDCOMStructure>(NodeAllocator<GEDCOMStructure>(), theRecord(), level,
                                                   std::move(tag), std::move(contents));
    return placeAtLevel(std::move(s), true);
}

void GEDCOMObject::addStructureAtLevel(std::shared_ptr<GEDCOMStructure> structure) {
    if (structure) placeAtLevel(std::move(structure), false);
}

std::shared_ptr<GEDCOMStructure> GEDCOMObject::placeAtLevel(std::shared_ptr<GEDCOMStructure> s,
                                                            bool markMisplaced) {
    const long long level = s->glevel();
    const std::uint64_t epoch = editEpoch_.load(std::memory_order_relaxed);
    std::unique_ptr<BuildCursor>* cursorSlot = extrasIfAny() ? &extras().cursor : nullptr;
    if (cursorSlot && *cursorSlot && (*cursorSlot)->epoch != epoch) cursorSlot->reset();
    BuildCursor* cursor = cursorSlot ? cursorSlot->get() : nullptr;

    GEDCOMObject* parent = nullptr;
    bool misplaced = false;
    if (cursor) {
        std::size_t at = cursor->firstOfLevel(level - 1);
        if (at == notFound) {
            parent = cursor->chain.back();
            misplaced = true;
        } else {
            cursor->truncate(at + 1);
            parent = cursor->chain[at];
        }
    } else {
        auto lastChild = [](GEDCOMObject* n) {
            return const_cast<GEDCOMObject*>(asNode(n->structures().back().get()));
        };
        GEDCOMObject* node = this;
        std::size_t steps = 0;
        while (static_cast<long long>(node->glevel_) + 1 != level) {
            if (node->structures().empty()) {
                misplaced = true;
                break;
            }
            node = lastChild(node);
            ++steps;
        }
        parent = node;
        if (steps > kDeepChain) {
            extras().cursor = std::make_unique<BuildCursor>();
            cursor = extras().cursor.get();
            for (GEDCOMObject* n = this;; n = lastChild(n)) {
                cursor->push(n);
                if (n == parent) break;
            }
        }
    }
    if (misplaced && markMisplaced) s->setCorruptBit(CorruptMisorderedLevels);
    // Past four children, lists grow by half rather than double: a record
    // of five or six lines then wastes no slots, and a tree has one list
    // per record and event.
    StructureList& list = parent->ownStructures();
    if (list.size() == list.capacity() && list.size() >= 4) list.reserve(list.size() + list.size() / 2);
    list.push_back(s);
    if (cursor) {
        cursor->push(s.get());
        cursor->epoch = epoch;
    }
    return s;
}

void GEDCOMObject::addStructure(std::shared_ptr<GEDCOMStructure> structure) {
    if (!structure) return;
    mutableStructures().push_back(std::move(structure));
}

void GEDCOMObject::insertChild(std::shared_ptr<GEDCOMStructure> structure, const GEDCOMObject* afterStructure) {
    if (!structure) return;
    auto& list = mutableStructures();
    if (!afterStructure) {
        list.insert(list.begin(), std::move(structure));
        return;
    }
    std::size_t at = indexOfStructure(afterStructure);
    if (at == notFound)
        list.push_back(std::move(structure));
    else
        list.insert(list.begin() + static_cast<long>(at) + 1, std::move(structure));
}

void GEDCOMObject::removeChild(std::string_view tag, bool all) {
    auto& list = mutableStructures();
    for (auto it = list.begin(); it != list.end();) {
        if ((*it)->gtag() != tag) {
            ++it;
            continue;
        }
        it = list.erase(it);
        if (!all) return;
    }
}

void GEDCOMObject::removeChildren() { mutableStructures().clear(); }

// ---- changing with undo and notification

void GEDCOMObject::moveStructure(const std::shared_ptr<GEDCOMStructure>& child, const GEDCOMObject* beforeStructure) {
    // Moving a structure that is not ours would leave it in two lists, and
    // moving it before itself means leaving it where it is.
    const std::size_t from = indexOfStructure(child.get());
    if (from == notFound || beforeStructure == child.get()) return;

    if (UndoManager* um = undoManager(); um && um->isUndoRegistrationEnabled()) {
        const StructureList& list = structures();
        std::shared_ptr<GEDCOMStructure> next = from + 1 < list.size() ? list[from + 1] : nullptr;
        auto self = weak_from_this().lock();
        GEDCOMObject* raw = this;
        um->registerUndo(this, [raw, self, child, next] { raw->moveStructure(child, next.get()); });
    }
    auto& list = mutableStructures();
    list.erase(list.begin() + static_cast<long>(from));
    if (!beforeStructure) {
        list.push_back(child);
    } else {
        std::size_t at = indexOfStructure(beforeStructure);
        list.insert(at == notFound ? list.begin() : list.begin() + static_cast<long>(at), child);
    }
    NotificationCenter::defaultCenter().post(notification_names::RecordStructuresChanged,
                                             static_cast<const GEDCOMObject*>(theRecord()));
}

void GEDCOMObject::clearUndoActions(UndoManager* undoManager) const {
    if (!undoManager) return;
    std::unordered_set<const void*> nodes;
    walk([&nodes](GEDCOMObject& n) {
        nodes.insert(&n);
        return WalkStep::Continue;
    });
    undoManager->removeAllActionsMatching([&nodes](const void* target) { return nodes.count(target) != 0; });
}

void GEDCOMObject::notifyOfRemoval() const {
    auto& center = NotificationCenter::defaultCenter();
    walk([&center](GEDCOMObject& n) {
        center.post(notification_names::RecordStructureWillRemove, &n);
        return WalkStep::Continue;
    });
}

}  // namespace kl
