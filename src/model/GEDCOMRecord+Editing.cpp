// The one road by which structures enter and leave a record, the change
// stamp, the creation stamp, the UUID line and the tidying after reading.
#include <algorithm>
#include <array>
#include <iterator>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <random>
#include <utility>

#include "dates/DateBridge.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/NodeAllocator.h"
#include "model/RecordStore.h"
#include "model/TagMatch.h"

namespace kl {

namespace {

std::mutex uuidMutex;
// Whether a maker is set: without one, the UUIDs a read inserts take no lock.
std::atomic<bool> hasUUIDMaker{false};
GEDCOMRecord::UUIDMaker& uuidMaker() {
    static GEDCOMRecord::UUIDMaker maker;
    return maker;
}

// Eight upper-case hexadecimal digits of `value`, most significant first,
// worked out for all eight at once: each nibble is spread to a byte of its
// own, and those of ten and over are moved on to the letters.
void writeHex8(std::uint32_t value, char* out) {
    std::uint64_t x = value;
    x = (x | (x << 16)) & 0x0000FFFF0000FFFFull;
    x = (x | (x << 8)) & 0x00FF00FF00FF00FFull;
    x = (x | (x << 4)) & 0x0F0F0F0F0F0F0F0Full;
    const std::uint64_t letters = ((x + 0x0606060606060606ull) >> 4) & 0x0101010101010101ull;
    x += 0x3030303030303030ull + letters * 7;
    for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(x >> (56 - 8 * i));
}

// A generator for this thread. The system's source of randomness is asked
// once per process: a read tidies on dozens of short-lived threads, and
// asking it for each of them cost several per cent of a read on a busy
// machine. Each thread's generator starts from that seed and a number of
// its own, so no two threads draw the same values.
std::mt19937_64 newEngine() {
    static const std::array<std::uint32_t, 8> kProcessSeed = [] {
        std::random_device device;
        std::array<std::uint32_t, 8> words{};
        for (auto& word : words) word = device();
        return words;
    }();
    static std::atomic<std::uint32_t> streams{0};
    const std::uint32_t stream = streams.fetch_add(1, std::memory_order_relaxed);
    std::seed_seq seed{kProcessSeed[0], kProcessSeed[1], kProcessSeed[2], kProcessSeed[3], kProcessSeed[4],
                       kProcessSeed[5], kProcessSeed[6], kProcessSeed[7], stream};
    return std::mt19937_64(seed);
}

// A random (version 4) UUID in upper case. A read inserts one per record on
// its tidying threads, without a system call for any of them.
std::string randomUUID() {
    thread_local std::mt19937_64 engine = newEngine();
    const std::uint64_t high = (engine() & ~std::uint64_t{0xF000}) | 0x4000;
    const std::uint64_t low = (engine() & ~(std::uint64_t{3} << 62)) | (std::uint64_t{2} << 62);
    // "8-4-4-4-12": the digits are made in one run and cut into groups.
    char digits[32];
    writeHex8(static_cast<std::uint32_t>(high >> 32), digits);
    writeHex8(static_cast<std::uint32_t>(high), digits + 8);
    writeHex8(static_cast<std::uint32_t>(low >> 32), digits + 16);
    writeHex8(static_cast<std::uint32_t>(low), digits + 24);
    char text[36];
    std::memcpy(text, digits, 8);
    text[8] = '-';
    std::memcpy(text + 9, digits + 8, 4);
    text[13] = '-';
    std::memcpy(text + 14, digits + 12, 4);
    text[18] = '-';
    std::memcpy(text + 19, digits + 16, 4);
    text[23] = '-';
    std::memcpy(text + 24, digits + 20, 12);
    return std::string(text, sizeof text);
}

}  // namespace

void GEDCOMRecord::setUUIDMaker(UUIDMaker maker) {
    std::lock_guard lock(uuidMutex);
    uuidMaker() = std::move(maker);
    hasUUIDMaker.store(static_cast<bool>(uuidMaker()), std::memory_order_release);
}

std::string GEDCOMRecord::newUUID() {
    if (!hasUUIDMaker.load(std::memory_order_acquire)) return randomUUID();
    std::lock_guard lock(uuidMutex);
    return uuidMaker() ? uuidMaker()() : randomUUID();
}

// ---- structure editing

void GEDCOMRecord::addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                                const GEDCOMObject* afterStructure, bool scroll) {
    if (!structure) return;
    Dictionary userInfo{{"structure", Value(structure)},
                        {"theRecord", Value(holdRecord())},
                        {"scrollToView", Value(scroll)}};
    if (inParent != this) {
        for (const auto& child : StructureList(structures()))
            if (child->addStructure(structure, inParent, afterStructure, userInfo)) return;
        return;
    }
    UndoManager* um = undoManager();
    if (um && um->isUndoRegistrationEnabled())
        um->registerUndo(this, [this, keep = holdRecord(), structure] { removeStructure(structure, this, nullptr); });
    insertChild(structure, afterStructure);
    postStructuresChanged(std::move(userInfo));
}

void GEDCOMRecord::addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                                const GEDCOMObject* afterStructure) {
    if (!structure) return;
    if (inParent == this) {
        insertChild(structure, afterStructure);
        return;
    }
    for (const auto& child : structures())
        if (child->addStructure(structure, inParent, afterStructure)) return;
}

void GEDCOMRecord::removeStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                                   std::shared_ptr<Object> fromBrowser) {
    if (!structure || !inParent) return;
    // Views let go of the structure only when it really leaves the tree.
    auto parent = findNode(inParent);
    if (!parent || parent->indexOfStructure(structure.get()) == notFound) return;
    structure->notifyOfRemoval();
    Dictionary userInfo{{"structure", Value(structure)},
                        {"removing", fromBrowser ? Value(std::move(fromBrowser)) : Value("")}};
    if (inParent != this) {
        for (const auto& child : StructureList(structures()))
            if (child->removeStructure(structure, inParent, userInfo)) return;
        return;
    }
    const std::size_t at = indexOfStructure(structure.get());
    std::shared_ptr<GEDCOMStructure> previous = at > 0 ? structures()[at - 1] : nullptr;
    if (UndoManager* um = undoManager()) {
        um->registerUndo(this, [this, keep = holdRecord(), structure, previous] {
            addStructure(structure, this, previous.get(), false);
        });
    }
    findChildAtIndex(at, true);
    postStructuresChanged(std::move(userInfo));
}

void GEDCOMRecord::replaceStructuresAtIndexes(const std::vector<std::size_t>& indexes,
                                              const std::vector<std::shared_ptr<GEDCOMStructure>>& replacements) {
    std::vector<std::size_t> used;
    StructureList previous;
    const std::size_t count = std::min(indexes.size(), replacements.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (indexes[i] >= structures().size() || !replacements[i]) continue;
        used.push_back(indexes[i]);
        previous.push_back(structures()[indexes[i]]);
    }
    if (used.empty()) return;
    if (UndoManager* um = undoManager())
        um->registerUndo(this, [this, keep = holdRecord(), used, previous] { replaceStructuresAtIndexes(used, previous); });
    auto& list = mutableStructures();
    std::size_t k = 0;
    for (std::size_t i = 0; i < count; ++i)
        if (indexes[i] < list.size() && replacements[i] && k < used.size() && used[k] == indexes[i]) {
            list[indexes[i]] = replacements[i];
            ++k;
        }
    setChangeDate();
    postStructuresChanged();
}

std::shared_ptr<GEDCOMStructure> GEDCOMRecord::addNoLevel(std::string rawText) {
    auto line = newLine(-1, "", std::move(rawText));
    line->setCorruptBit(CorruptMissingLevel);
    GEDCOMObject::addStructure(line);
    setCorruptBit(CorruptMissingLevel);
    return line;
}

void GEDCOMRecord::simplifyGEDCOMInMode(int mode) {
    // What a damaged record holds stays exactly as read, for the source
    // editor to show and the user to mend.
    if (corrupt() != 0) return;
    // What a read prepared is not done again, and only by the first tidying
    // after it: later ones may have lines added by other records.
    const std::uint8_t prepared = std::exchange(readPrepared_, 0);
    if ((prepared & kLinesTidied) == 0) tidyOwnLines();
    if ((prepared & kNothingToLink) == 0) {
        // Unembedding may add records but never lines to this list; the
        // copy keeps the walk safe should a record embed itself.
        const StructureList children = structures();
        for (const auto& child : children) unembedAndLinkChild(child, mode);
    }
    if ((prepared & kUUIDHandled) == 0) insertUUID();
}

namespace {

// Whether `found` holds for a line below `top`, visited in order. A read
// asks this of every record, most of them a few levels deep: those levels
// need no heap, and only a deeper branch goes on through walk.
template <class Found>
bool anyLineBelow(const GEDCOMObject& top, Found&& found) {
    struct Frame {
        const GEDCOMObject::StructureList* lines;
        std::size_t next;
    };
    constexpr std::size_t kInlineDepth = 16;
    std::array<Frame, kInlineDepth> frames;
    std::size_t depth = 0;
    frames[depth++] = {&top.structures(), 0};
    while (depth > 0) {
        Frame& frame = frames[depth - 1];
        if (frame.next == frame.lines->size()) {
            --depth;
            continue;
        }
        const GEDCOMStructure& line = *(*frame.lines)[frame.next++];
        if (found(line)) return true;
        const GEDCOMObject::StructureList& below = line.structures();
        if (below.empty()) continue;
        if (depth < kInlineDepth) {
            frames[depth++] = {&below, 0};
            continue;
        }
        bool deeper = false;
        line.walk([&](const GEDCOMObject& node) {
            if (&node == &line || !found(node)) return GEDCOMObject::WalkStep::Continue;
            deeper = true;
            return GEDCOMObject::WalkStep::Stop;
        });
        if (deeper) return true;
    }
    return false;
}

// Whether folding changes anything below `line`: it takes in a run of
// continuation lines or a memo only where one is the first line below
// another.
bool hasFoldableLines(const GEDCOMObject& line) {
    auto startsFold = [](const GEDCOMObject& node) {
        const auto& below = node.structures();
        if (below.empty()) return false;
        const std::string& tag = below.front()->gtag();
        return isTag(tag, "CONT") || isTag(tag, "CONC") || tag == "_MEMO";
    };
    return startsFold(line) || anyLineBelow(line, startsFold);
}

}  // namespace

void GEDCOMRecord::tidyOwnLines() {
    // The fold keeps a stack on the heap for every line with lines below
    // it; most lines of a read have nothing to fold.
    for (const auto& child : structures())
        if (hasFoldableLines(*child)) child->appendCONTandCONC();
    // A bare tagged line is a fact of its own ("1 MARR", a "1 _PRIVATE"
    // flag): only lines with nothing at all in them go. Most records lose
    // none, and then the list is not copied.
    auto blank = [](const std::shared_ptr<GEDCOMStructure>& child) { return child->empty() && child->gtag().empty(); };
    if (std::any_of(structures().begin(), structures().end(), blank)) {
        StructureList kept;
        std::remove_copy_if(structures().begin(), structures().end(), std::back_inserter(kept), blank);
        setStructures(std::move(kept));
    }
}

namespace {

// Whether the unembedding walk would change anything below the record: a
// line it turns into a link or a place, or a blank line it drops.
bool needsLinking(const GEDCOMRecord& record) {
    return anyLineBelow(record, [](const GEDCOMObject& node) {
        const std::string& tag = node.gtag();
        return isTag(tag, "NOTE") || isTag(tag, "SOUR") || isTag(tag, "OBJE") || isTag(tag, "PLAC") ||
               (tag.empty() && node.contents().empty());
    });
}

}  // namespace

bool GEDCOMRecord::prepareAfterRead() {
    // A damaged record is not tidied at all; an empty one is left whole to
    // the store's pass (an empty note stays without a UUID there).
    if (corrupt() != 0 || structures().empty()) return false;
    // Tidied already, while the read went on.
    if (readPrepared_ != 0) return false;
    tidyOwnLines();
    readPrepared_ = kLinesTidied;
    // Unembedding adds lines to the notes, objects and places it links to:
    // for those kinds the walk and the UUID line, which ends a record, wait
    // for the store's pass.
    if (isType("NOTE") || isType("OBJE") || isType("_PLC")) return false;
    if (!needsLinking(*this)) readPrepared_ |= kNothingToLink;
    // A UUID maker set by a caller is called in the store's order.
    if (!insertingUUIDs() || hasUUIDMaker.load(std::memory_order_acquire)) return false;
    readPrepared_ |= kUUIDHandled;
    if (findChild("_KLID", false)) return false;
    // The line ends the record: it is appended as it stands, without the
    // search for a parent at its level that building a read record needs.
    GEDCOMObject::addStructure(std::allocate_shared<GEDCOMStructure>(NodeAllocator<GEDCOMStructure>(), this, 1,
                                                                     std::string("_KLID"), randomUUID()));
    return true;
}

void GEDCOMRecord::unembedAndLinkChild(const std::shared_ptr<GEDCOMStructure>& child, int mode) {
    child->unembedAndLinkNOTEandSOURandOBJ(mode);
}

// ---- change date

void GEDCOMRecord::setChangeDate() {
    clearGEDCOMCache();
    if (!trackingChangeDates()) return;
    std::string time;
    const std::string date = todayDateString(&time);
    stampChangeDate(date, time);
}

void GEDCOMRecord::stampChangeDate(const std::string& date, const std::string& time) {
    auto dateWithTime = [this, &date, &time] {
        auto dateLine = newLine(2, "DATE", date);
        dateLine->GEDCOMObject::addStructure(newLine(3, "TIME", time));
        return dateLine;
    };
    auto chan = findChild("CHAN", false);
    if (!chan) {
        chan = newLine(1, "CHAN", "");
        chan->GEDCOMObject::addStructure(dateWithTime());
        addStructure(chan, this, lastStructure().get(), false);
        return;
    }
    auto dateLine = chan->findChild("DATE", false);
    if (!dateLine) {
        addStructure(dateWithTime(), chan.get(), chan->lastStructure().get(), false);
        return;
    }
    dateLine->setContents(date);
    if (auto timeLine = dateLine->findChild("TIME", false))
        timeLine->setContents(time);
    else
        addStructure(newLine(3, "TIME", time), dateLine.get(), dateLine->lastStructure().get(), false);
}

std::optional<std::string> GEDCOMRecord::changeDate() {
    auto chan = findChild("CHAN", false);
    auto dateLine = chan ? chan->findChild("DATE", false) : nullptr;
    if (!dateLine) return std::nullopt;
    return dateLine->contents();
}

std::string GEDCOMRecord::createdText() {
    if (!addingCreationDates()) return {};
    std::string time;
    const std::string date = todayDateString(&time);
    return "1 REFN " + date + " " + time + "\n2 TYPE Creation Date";
}

std::string GEDCOMRecord::textForNewRecord(bool) { return createdText(); }

void GEDCOMRecord::insertNewUserText(const std::string&) {}

// ---- UUID

bool GEDCOMRecord::insertUUID() {
    if (!insertingUUIDs()) return false;
    if (findChild("_KLID", false)) return false;
    UndoManager* um = undoManager();
    if (um && !um->isUndoRegistrationEnabled()) {
        // A read tidying its records: nothing shows them yet and nothing
        // can undo, so the line is added as read lines are, without news.
        addLevel(1, "_KLID", newUUID());
        clearGEDCOMCacheNoUndo();
    } else {
        addStructure(newLine(1, "_KLID", newUUID()), this, lastStructure().get(), false);
    }
    if (model()) model()->setInsertedSomeUUIDs(true);
    return true;
}

std::string GEDCOMRecord::recordUUID() {
    auto line = findChild("_KLID", false);
    return line ? line->contents() : std::string();
}

void GEDCOMRecord::setRecordUUID(const std::string& uuid) {
    UndoManager* um = undoManager();
    if (um) um->disableUndoRegistration();
    if (auto line = findChild("_KLID", false)) {
        if (uuid.empty())
            findChild("_KLID", true);
        else if (line->contents() != uuid)
            line->setContents(uuid);
    } else if (!uuid.empty()) {
        GEDCOMObject::addStructure(newLine(1, "_KLID", uuid));
    }
    if (um) um->enableUndoRegistration();
}

}  // namespace kl
