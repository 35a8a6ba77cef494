// Searching and counting the subtree of a node.
#include "model/GEDCOMObject.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/LibraryServices.h"
#include "model/RecordStore.h"
#include "foundation/Utf8.h"

#include <algorithm>
#include <limits>

namespace kl {

namespace {

bool looksLikeRecordID(std::string_view s) {
    return utf8::countCharacters(s) >= 3 && s.front() == '@' && s.back() == '@';
}

}  // namespace

std::shared_ptr<GEDCOMStructure> GEDCOMObject::findStructureWithTag(std::string_view tag) const {
    std::shared_ptr<GEDCOMStructure> found;
    walkHeld([&](const std::shared_ptr<GEDCOMStructure>& n) {
        if (n->gtag() == tag) {
            found = n;
            return WalkStep::Stop;
        }
        return WalkStep::Continue;
    });
    return found;
}

// The searches by level compare the node's own tag field, so a record (which
// keeps its type elsewhere) never matches itself.
std::shared_ptr<GEDCOMObject> GEDCOMObject::findByLevel(std::string_view tag, const std::string_view* contents,
                                                        int level) {
    auto step = [&](const GEDCOMObject& n) {
        if (n.glevel_ > level) return WalkStep::SkipChildren;
        if (n.glevel_ < level) return WalkStep::Continue;
        if (n.ownTag() == tag && (!contents || n.contents() == *contents)) return WalkStep::Stop;
        return WalkStep::SkipChildren;
    };
    switch (step(*this)) {
    case WalkStep::Stop: return weak_from_this().lock();
    case WalkStep::SkipChildren: return nullptr;
    case WalkStep::Continue: break;
    }
    std::shared_ptr<GEDCOMObject> found;
    walkHeld([&](const std::shared_ptr<GEDCOMStructure>& n) {
        const WalkStep next = step(*n);
        if (next == WalkStep::Stop) found = n;
        return next;
    });
    return found;
}

std::shared_ptr<GEDCOMObject> GEDCOMObject::findStructureWithTag(std::string_view tag, int level) {
    return findByLevel(tag, nullptr, level);
}

std::shared_ptr<GEDCOMObject> GEDCOMObject::findStructureWithTag(std::string_view tag, std::string_view contents,
                                                                 int level) {
    return findByLevel(tag, &contents, level);
}

std::string GEDCOMObject::findContentsWithTag(std::string_view tag, int level) {
    auto found = findStructureWithTag(tag, level);
    return found ? found->contents() : std::string();
}

std::shared_ptr<GEDCOMObject> GEDCOMObject::hasLink(std::string_view tag, std::string_view toID) {
    if (glevel_ == std::numeric_limits<int>::max()) return nullptr;
    return findStructureWithTag(tag, toID, glevel_ + 1);
}

std::shared_ptr<GEDCOMStructure> GEDCOMObject::findAfterStructure(const std::vector<std::string>& tags) {
    if (glevel_ != std::numeric_limits<int>::max()) {
        for (const auto& tag : tags)
            if (auto found = findStructureWithTag(tag, glevel_ + 1))
                return std::static_pointer_cast<GEDCOMStructure>(found);
    }
    return lastStructure();
}

std::shared_ptr<GEDCOMStructure> GEDCOMObject::takeChildAt(std::size_t index, bool remove) {
    std::shared_ptr<GEDCOMStructure> child = structures()[index];
    if (remove) {
        auto& list = mutableStructures();
        list.erase(list.begin() + static_cast<long>(index));
    }
    return child;
}

std::shared_ptr<GEDCOMStructure> GEDCOMObject::firstChildWithTag(std::string_view tag) const {
    for (const auto& child : structures())
        if (child->gtag() == tag) return child;
    return nullptr;
}

std::shared_ptr<GEDCOMStructure> GEDCOMObject::findChild(std::string_view tag, bool remove) {
    return findChild(tag, remove, 1);
}

std::shared_ptr<GEDCOMStructure> GEDCOMObject::findChild(std::string_view tag, bool remove, int atIndex) {
    int wanted = std::max(atIndex, 1);
    const StructureList& list = structures();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i]->gtag() == tag && --wanted == 0) return takeChildAt(i, remove);
    return nullptr;
}

std::shared_ptr<GEDCOMStructure> GEDCOMObject::findChildAtIndex(std::size_t index, bool remove) {
    if (index >= structures().size()) return nullptr;
    return takeChildAt(index, remove);
}

GEDCOMObject::StructureList GEDCOMObject::findChildren(std::string_view tag, bool remove) {
    StructureList found;
    for (const auto& child : structures())
        if (child->gtag() == tag) found.push_back(child);
    if (remove && !found.empty()) {
        auto& list = mutableStructures();
        list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& c) { return c->gtag() == tag; }),
                   list.end());
    }
    return found;
}

std::vector<std::shared_ptr<GEDCOMObject>> GEDCOMObject::findAllChildren(std::string_view tag) {
    std::vector<std::shared_ptr<GEDCOMObject>> found;
    if (ownTag() == tag)
        if (auto held = weak_from_this().lock()) found.push_back(std::move(held));
    walkHeld([&](const std::shared_ptr<GEDCOMStructure>& n) {
        if (n->ownTag() == tag) found.push_back(n);
        return WalkStep::Continue;
    });
    return found;
}

std::vector<StructureAndParent> GEDCOMObject::findAllStructuresWithTag(std::string_view tag,
                                                                       const std::optional<std::string>& contents) {
    std::vector<StructureAndParent> found;
    struct Frame {
        GEDCOMObject* node;
        std::size_t next;
        std::shared_ptr<GEDCOMObject> held;  // the receiver's is looked up once, when first needed
    };
    std::vector<Frame> stack{{this, 0, nullptr}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next >= top.node->structures().size()) {
            stack.pop_back();
            continue;
        }
        GEDCOMObject* parent = top.node;
        const std::shared_ptr<GEDCOMStructure> child = parent->structures()[top.next++];
        if (child->glevel() >= 1 && child->gtag() == tag && (!contents || child->contents() == *contents)) {
            if (!top.held && stack.size() == 1) top.held = weak_from_this().lock();
            found.push_back({child, top.held});
        }
        GEDCOMObject* node = const_cast<GEDCOMObject*>(asNode(child.get()));
        if (!node->structures().empty()) stack.push_back({node, 0, child});
    }
    return found;
}

std::shared_ptr<GEDCOMObject> GEDCOMObject::findParentOfStructure(const GEDCOMObject* structure) {
    if (!structure) return nullptr;
    const long long wanted = structure->glevel_;
    std::shared_ptr<GEDCOMObject> found;
    walk([&](GEDCOMObject& n) {
        const long long below = static_cast<long long>(n.glevel_) + 1;
        if (wanted == below) {
            if (n.indexOfStructure(structure) != notFound) {
                found = n.weak_from_this().lock();
                return WalkStep::Stop;
            }
            return WalkStep::SkipChildren;
        }
        return wanted > below ? WalkStep::Continue : WalkStep::SkipChildren;
    });
    return found;
}

std::shared_ptr<GEDCOMObject> GEDCOMObject::parentOfStructure(const GEDCOMObject* structure) {
    if (!structure) return nullptr;
    std::shared_ptr<GEDCOMObject> found;
    walk([&](GEDCOMObject& n) {
        if (n.indexOfStructure(structure) == notFound) return WalkStep::Continue;
        found = n.weak_from_this().lock();
        return WalkStep::Stop;
    });
    return found;
}

std::shared_ptr<GEDCOMObject> GEDCOMObject::findNode(const GEDCOMObject* node) {
    if (!node) return nullptr;
    std::shared_ptr<GEDCOMObject> found;
    walk([&](GEDCOMObject& n) {
        if (&n != node) return WalkStep::Continue;
        found = n.weak_from_this().lock();
        return WalkStep::Stop;
    });
    return found;
}

std::size_t GEDCOMObject::indexOfStructure(const GEDCOMObject* structure) const {
    const StructureList& list = structures();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (asNode(list[i].get()) == structure) return i;
    return notFound;
}

std::shared_ptr<GEDCOMStructure> GEDCOMObject::lastStructure() const {
    const StructureList& list = structures();
    return list.empty() ? nullptr : list.back();
}

std::vector<std::string> GEDCOMObject::linkedIDs(std::string_view tag) const {
    std::vector<std::string> ids;
    for (const auto& child : structures())
        if (child->gtag() == tag && looksLikeRecordID(child->contents())) ids.push_back(child->contents());
    return ids;
}

std::vector<std::shared_ptr<GEDCOMRecord>> GEDCOMObject::linkedRecs(std::string_view tag) const {
    std::vector<std::shared_ptr<GEDCOMRecord>> records;
    const GEDCOMRecord* record = theRecord();
    RecordStore* store = record ? record->model() : nullptr;
    if (!store) return records;
    const std::string type(tag);
    for (const auto& child : structures()) {
        if (child->gtag() != tag || utf8::countCharacters(child->contents()) < 3) continue;
        if (auto linked = store->recordWithID(child->contents(), type)) records.push_back(std::move(linked));
    }
    return records;
}

// ---- counting

std::size_t GEDCOMObject::countChildren(std::string_view tagOrListName) const {
    auto list = LibraryServices::current()->tagList(tagOrListName);
    return static_cast<std::size_t>(std::count_if(structures().begin(), structures().end(), [&](const auto& c) {
        if (!list) return c->gtag() == tagOrListName;
        return std::find(list->begin(), list->end(), c->gtag()) != list->end();
    }));
}

std::size_t GEDCOMObject::countAllChildren(std::string_view tag) const {
    std::size_t count = 0;
    const GEDCOMObject* self = this;
    walk([&](GEDCOMObject& n) {
        if (&n == self || n.gtag() != tag) return WalkStep::Continue;
        ++count;
        return WalkStep::SkipChildren;
    });
    return count;
}

}  // namespace kl
