#pragma once
// GEDCOMObject: one node of the in-memory GEDCOM tree (a line and its
// sub-lines). Records and structures derive from it.
//
// Ownership: a node owns its children through shared_ptr, so an undo action,
// a pasteboard or a worker that still holds a removed structure keeps it
// alive. Nodes are always made with std::make_shared (or allocate_shared). A
// node knows neither its parent nor (here) its record; structures keep a
// plain back reference to their record.
//
// Only a record keeps a weak reference to itself (GEDCOMRecord derives from
// enable_shared_from_this): a structure is one line of a file and sixteen
// bytes more on each is a sixth of a large tree. A structure's
// weak_from_this() / shared_from_this() therefore find the shared_ptr that
// holds it in its record's tree: they cost a walk of that record, and answer
// nothing (shared_from_this() throws std::bad_weak_ptr, as the standard one
// does for an unowned object) for a structure that is in no record's tree,
// such as a removed line kept by an undo action or a copy not yet placed.
// Code that walks a tree takes children's pointers from the child lists.
//
// Size: a large file makes a node per line, so the node carries only what
// nearly every line uses (its tag as an interned number, see TagTable) and
// one vtable pointer (the scripting interface is itself the Object base). Its
// child list sits in a branch block that only nodes with children (about a
// third) have; the rarely used fields (a script's hand-back value, a quick
// comment, a tag too long to intern, damage bits above the 16 common ones,
// the building cursor) hang off that block in a side block made on first
// use. Nodes built from a file and their branch blocks come from NodePool.
//
// Every walk over a subtree (building, searching, counting, writing,
// destruction) uses an explicit stack, so arbitrarily deep nesting cannot
// overflow the call stack, and runs in time linear in the subtree.
//
// Thread: changed on the main thread, or on a worker that has the tree to
// itself (a large file's records are built on several reader threads, each
// record on one); getters may run on a script thread while the main thread
// is idle. The last owner frees a node on its own thread: the records of a
// closed database go on the reclaimer's thread (foundation/Reclaimer), so a
// node's destruction never needs the main thread.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Value.h"
#include "model/ISScripting.h"
#include "model/ScriptReply.h"
#include "model/TagTable.h"

namespace kl {

class DetachLinkList;
class GEDCOMObject;
class GEDCOMRecord;
class GEDCOMStructure;
class RecordScriptHost;
class UndoManager;

// Damage found while a node was read.
enum CorruptBit : std::uint32_t {
    CorruptMissingLevel = 1,
    CorruptInvalidTag = 2,
    CorruptMisorderedLevels = 4,
    CorruptDuplicateID = 8,
    CorruptInvalidID = 16,
    CorruptExtraRecord = 32,
    CorruptRecordLevelMask = 56,
};

// One node's text for the coloured source view: the GUI paints `text` in the
// warning colour when `marked`.
struct AttributedRun {
    std::string text;
    bool marked = false;
    bool operator==(const AttributedRun&) const = default;
};

struct StructureAndParent {
    std::shared_ptr<GEDCOMStructure> structure;
    std::shared_ptr<GEDCOMObject> parent;
};

// Where a script finds a node: a structure by its index among its parent's
// children ("klStructures"), a record by its ID among its document's records
// of the key's kind (the container is then left empty: the record's document).
struct ScriptSpecifier {
    std::shared_ptr<GEDCOMObject> container;
    std::string key;
    std::size_t index = 0;
    std::string uniqueID;
};

class GEDCOMObject : public ISScripting {
public:
    using StructureList = std::vector<std::shared_ptr<GEDCOMStructure>>;
    static constexpr std::size_t notFound = static_cast<std::size_t>(-1);

    ~GEDCOMObject() override;
    GEDCOMObject(const GEDCOMObject&) = delete;
    GEDCOMObject& operator=(const GEDCOMObject&) = delete;

    // The owning shared_ptr, as std::enable_shared_from_this answers it (see
    // the ownership note above for a structure's cost and limits).
    std::weak_ptr<GEDCOMObject> weak_from_this();
    std::weak_ptr<const GEDCOMObject> weak_from_this() const;
    std::shared_ptr<GEDCOMObject> shared_from_this() { return std::shared_ptr<GEDCOMObject>(weak_from_this()); }
    std::shared_ptr<const GEDCOMObject> shared_from_this() const {
        return std::shared_ptr<const GEDCOMObject>(weak_from_this());
    }

    // ---- fields
    int glevel() const { return glevel_; }
    void setGlevel(int level);
    virtual const std::string& gtag() const { return ownTag(); }
    void setGtag(std::string tag);
    virtual const std::string& contents() const { return contents_; }
    const StructureList& structures() const { return branch_ ? branch_->structures : noStructures(); }
    void setStructures(StructureList list);
    std::uint32_t corrupt() const { return branch_ && branch_->extras ? corruptWithExtras() : corruptLow_; }
    void setCorrupt(std::uint32_t bits);
    void setCorruptBit(std::uint32_t bits) { setCorrupt(corrupt() | bits); }
    bool isCorrupt(std::uint32_t mask) const { return (corrupt() & mask) != 0; }
    const Value& returnValue() const;
    void setReturnValue(Value v);

    // A record is its own record; a structure answers the record that holds it.
    virtual GEDCOMRecord* theRecord() { return nullptr; }
    virtual const GEDCOMRecord* theRecord() const { return nullptr; }
    virtual void setTheRecord(GEDCOMRecord*) {}
    virtual std::optional<std::string> quickComment() const { return std::nullopt; }
    virtual void registerRecordNotifications() {}
    // The undo manager of the node's record, nullptr without one.
    virtual UndoManager* undoManager() const;

    // ---- building (no undo, no notification)
    // Places one parsed line below this node: at the first node of the
    // last-child chain whose level is one less, else below the deepest node
    // of that chain with the misordered-levels bit.
    std::shared_ptr<GEDCOMStructure> addLevel(int level, std::string tag, std::string contents);
    void addStructureAtLevel(std::shared_ptr<GEDCOMStructure> structure);
    void addStructure(std::shared_ptr<GEDCOMStructure> structure);
    // Inserts right after `afterStructure` when it is a child, first when it
    // is nullptr, last when it is not a child.
    void insertChild(std::shared_ptr<GEDCOMStructure> structure, const GEDCOMObject* afterStructure);
    void removeChild(std::string_view tag, bool all);
    void removeChildren();

    // ---- changing with undo and notification
    void moveStructure(const std::shared_ptr<GEDCOMStructure>& child, const GEDCOMObject* beforeStructure);
    void clearUndoActions(UndoManager* undoManager) const;
    void notifyOfRemoval() const;

    // ---- searching (results that may be the receiver itself need it to be
    // owned by a shared_ptr, as every node is)
    std::shared_ptr<GEDCOMStructure> findStructureWithTag(std::string_view tag) const;
    std::shared_ptr<GEDCOMObject> findStructureWithTag(std::string_view tag, int level);
    std::shared_ptr<GEDCOMObject> findStructureWithTag(std::string_view tag, std::string_view contents, int level);
    std::string findContentsWithTag(std::string_view tag, int level);
    std::shared_ptr<GEDCOMObject> hasLink(std::string_view tag, std::string_view toID);
    std::shared_ptr<GEDCOMStructure> findAfterStructure(const std::vector<std::string>& tags);
    std::shared_ptr<GEDCOMStructure> findChild(std::string_view tag, bool remove);
    // The first direct child with the tag, without taking it out.
    std::shared_ptr<GEDCOMStructure> firstChildWithTag(std::string_view tag) const;
    std::shared_ptr<GEDCOMStructure> findChild(std::string_view tag, bool remove, int atIndex);
    std::shared_ptr<GEDCOMStructure> findChildAtIndex(std::size_t index, bool remove);
    StructureList findChildren(std::string_view tag, bool remove);
    std::vector<std::shared_ptr<GEDCOMObject>> findAllChildren(std::string_view tag);
    std::vector<StructureAndParent> findAllStructuresWithTag(std::string_view tag,
                                                             const std::optional<std::string>& contents);
    std::shared_ptr<GEDCOMObject> findParentOfStructure(const GEDCOMObject* structure);
    std::shared_ptr<GEDCOMObject> parentOfStructure(const GEDCOMObject* structure);
    std::size_t indexOfStructure(const GEDCOMObject* structure) const;
    virtual std::shared_ptr<GEDCOMStructure> lastStructure() const;
    bool empty() const { return contents().empty() && structures().empty(); }
    std::vector<std::string> linkedIDs(std::string_view tag) const;
    std::vector<std::string> sourceIDs() const { return linkedIDs("SOUR"); }
    std::vector<std::string> notesIDs() const { return linkedIDs("NOTE"); }
    std::vector<std::string> multimediaIDs() const { return linkedIDs("OBJE"); }
    std::vector<std::string> researchIDs() const { return linkedIDs("_LOG"); }
    std::vector<std::shared_ptr<GEDCOMRecord>> linkedRecs(std::string_view tag) const;

    // ---- counting
    std::size_t countChildren(std::string_view tagOrListName) const;
    std::size_t countAllChildren(std::string_view tag) const;

    // Whether `node` is this node or lies below it (by identity).
    std::shared_ptr<GEDCOMObject> findNode(const GEDCOMObject* node);

    // Pre-order walk of the subtree, the receiver first, children in order,
    // without recursion. `visit(node)` answers what to do next.
    enum class WalkStep { Continue, SkipChildren, Stop };
    template <class Visit>
    void walk(Visit&& visit) const;
    // The same walk below the receiver (without it), handing each node's
    // owning pointer from its parent's list: `visit(child)` with a
    // `const std::shared_ptr<GEDCOMStructure>&`.
    template <class Visit>
    void walkHeld(Visit&& visit) const;

    // ---- output
    // The node's own line or lines, with line endings.
    std::string structureLine() const;
    // Appends the node's own lines to `out`; what every writer builds on.
    virtual void appendStructureLine(std::string& out) const;
    void appendGEDCOM(std::string& out) const;
    // Stops before writing `until`; false when it was reached.
    bool appendGEDCOMUntil(std::string& out, const GEDCOMObject* until) const;
    virtual std::string gedcomString() const;
    virtual void appendGEDCOMArray(Array& rows) const;
    Array gedcomArray() const;
    // One row of gedcomArray: [level, first text, second text].
    static Array gedcomRow(int level, const std::string& first, const std::string& second);
    void appendAttributedGEDCOM(std::vector<AttributedRun>& runs) const;
    std::vector<AttributedRun> attributedGedcomString() const;
    // Whether the source view marks this node's line.
    bool isMarkedInSource() const;
    void logStructures(const std::optional<std::string>& prefix) const;
    virtual std::string description() const;

    // ---- links
    virtual void addLinksToList(DetachLinkList& list, const std::optional<std::string>& inEvent);
    virtual void addEventLinks(DetachLinkList& list, const std::shared_ptr<GEDCOMStructure>& inEvent);
    std::optional<std::array<std::string, 2>> getLinkName(const GEDCOMObject& link, const std::string& type,
                                                          const std::optional<std::string>& altName,
                                                          bool onlyBad) const;

    // ---- scripting (GEDCOMObject+Scripting.cpp). Getters run on the
    // script's thread and only read; the child-list operations, property
    // setters and commands run on the main thread.
    std::optional<std::string> klis_getAttribute(const std::string& name, ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;
    std::optional<Value> pasteboardPropertyList() const override { return Value(gedcomArray()); }
    std::string klis_evaluateExpression(const std::string& expression) const;
    // [new structure, position]: a number inserts at that index (the
    // largest number at the end), a structure inserts after it.
    void klis_insertObjectInKlStructures(const Array& arguments);
    // [structure] or [structure, structure to move it before].
    void klis_moveObjectInKlStructures(const Array& arguments);
    // Removes the receiver from its record; hands "" or "error" back.
    void klis_removeObjectFromKlStructures(ISInterpreter* server);
    // The KlStructures element; each answers the refusal text, or nullopt.
    const StructureList& klStructures() const { return structures(); }
    std::optional<std::string> insertInKlStructures(const std::shared_ptr<GEDCOMStructure>& structure);
    std::optional<std::string> insertObjectInKlStructuresAtIndex(const std::shared_ptr<GEDCOMStructure>& structure,
                                                                 std::size_t index);
    std::optional<std::string> insertObjectInKlStructuresAfterStructure(
        const std::shared_ptr<GEDCOMStructure>& structure, const GEDCOMObject* after);
    void removeObjectFromKlStructuresAtIndex(std::size_t index);
    std::optional<std::string> replaceObjectInKlStructuresAtIndex(std::size_t index,
                                                                  const std::shared_ptr<GEDCOMStructure>& structure);
    // Script properties of any node.
    int readLevel() const { return glevel(); }
    Value readLevelInt() const { return Value(glevel()); }
    virtual std::optional<ScriptSpecifier> objectSpecifier();
    // Commands every node handles: "scriptValueInRecord",
    // "scriptFindStructures", "scriptHTMLSafeText" and the application's
    // commands passed on unchanged.
    ScriptReply scriptValueInRecord(const Dictionary& arguments) const;
    ScriptReply scriptFindStructures(const Dictionary& arguments);
    virtual ScriptReply handleScriptCommand(const std::string& command, const Dictionary& arguments);
    static bool isApplicationCommand(std::string_view command);
    // "structure" for structures, the class name ("INDIRecord") otherwise.
    virtual std::string scriptClassName() const;
    // The host of the node's record's store, nullptr without one.
    RecordScriptHost* scriptHost() const;

    // ---- process-wide line ending of written text ("\n" unless an export
    // sets CR, CR LF or LF CR); safe to read from any thread.
    static std::string_view lineEnding();
    static void setLineEnding(std::string_view ending);

protected:
    GEDCOMObject(int level, std::string tag, std::string contents);

    // The keys every node answers, for the kinds to fall back on.
    std::optional<std::string> nodeAttribute(const std::string& name) const;
    std::shared_ptr<Object> nodeObjectAttribute(const std::string& name, ISInterpreter* sender) const;
    // The script's none value (nullptr without a sender).
    static std::shared_ptr<Object> noneValue(ISInterpreter* sender);
    static std::shared_ptr<Object> listValue(ISInterpreter* sender, Array items);
    // The placeholder refusal, else fixes the structure's level and record
    // below this node (undoably).
    std::optional<std::string> adoptNewStructure(const std::shared_ptr<GEDCOMStructure>& structure);

    // The quick comment a structure keeps in the side block; nullptr for none.
    const std::string* storedQuickComment() const;
    void storeQuickComment(std::optional<std::string> comment);

    StructureList& mutableStructures();
    void changeContentsField(std::string contents);
    // Every change of a node's line or child list goes through here: it
    // drops the cached text of the node's record, so that a fast save
    // never writes text that no longer matches the tree.
    void treeChanged();
    // Any change of a child list or level outside building invalidates the
    // fast path that building keeps for deep trees.
    static void noteTreeEdit() { editEpoch_.fetch_add(1, std::memory_order_relaxed); }

private:
    struct BuildCursor;
    struct Extras;
    struct ExtrasDeleter {
        void operator()(Extras* extras) const noexcept;
    };
    // The child list and the side block, made when the first is needed and
    // kept until the node goes, so a reference to the list stays valid.
    struct Branch {
        StructureList structures;
        std::unique_ptr<Extras, ExtrasDeleter> extras;
    };
    struct BranchDeleter {
        void operator()(Branch* branch) const noexcept;
    };
    static const StructureList& noStructures();
    Branch& branch();
    // The child list for building: no tree-change bookkeeping.
    StructureList& ownStructures() { return branch().structures; }
    const Extras* extrasIfAny() const { return branch_ ? branch_->extras.get() : nullptr; }
    static const GEDCOMObject* asNode(const GEDCOMStructure* s);
    // The tag field itself; a record keeps its type elsewhere.
    const std::string& ownTag() const {
        return tagId_ != kOwnTag ? TagTable::text(tagId_) : ownedTag();
    }
    const std::string& ownedTag() const;
    std::uint32_t corruptWithExtras() const;
    Extras& extras();
    std::shared_ptr<GEDCOMStructure> placeAtLevel(std::shared_ptr<GEDCOMStructure> s, bool markMisplaced);
    std::shared_ptr<GEDCOMObject> findByLevel(std::string_view tag, const std::string_view* contents, int level);
    std::shared_ptr<GEDCOMStructure> takeChildAt(std::size_t index, bool remove);

    static constexpr TagTable::Id kOwnTag = TagTable::kNotInterned;

    std::string contents_;
    std::unique_ptr<Branch, BranchDeleter> branch_;
    int glevel_ = 0;
    TagTable::Id tagId_ = kOwnTag;
    std::uint16_t corruptLow_ = 0;  // the higher bits, when any, are in the side block

    static std::atomic<std::uint64_t> editEpoch_;
};

template <class Visit>
void GEDCOMObject::walk(Visit&& visit) const {
    if (visit(const_cast<GEDCOMObject&>(*this)) != WalkStep::Continue) return;
    walkHeld([&visit](const std::shared_ptr<GEDCOMStructure>& held) -> WalkStep {
        return visit(const_cast<GEDCOMObject&>(*asNode(held.get())));
    });
}

template <class Visit>
void GEDCOMObject::walkHeld(Visit&& visit) const {
    struct Frame {
        const GEDCOMObject* node;
        std::size_t next;
    };
    std::vector<Frame> stack{{this, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        const StructureList& children = top.node->structures();
        if (top.next >= children.size()) {
            stack.pop_back();
            continue;
        }
        const std::shared_ptr<GEDCOMStructure>& held = children[top.next++];
        const GEDCOMObject* child = asNode(held.get());
        WalkStep step = visit(held);
        if (step == WalkStep::Stop) return;
        if (step == WalkStep::Continue && child->branch_ && !child->branch_->structures.empty())
            stack.push_back({child, 0});
    }
}

}  // namespace kl
