// Files of other programs write notes, sources and multimedia objects in
// place, and places only as text. After a read each record's structures
// turn them into records of their own, linked by ID and knowing their
// citers, so nothing read from a file looks uncited or is kept twice.
#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <memory>

#include "foundation/Numbers.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/GlobalCoordinate.h"
#include "model/INDIRecord.h"
#include "model/OBJERecord.h"
#include "model/RecordStore.h"
#include "model/TagMatch.h"
#include "foundation/Utf8.h"
#include "model/wex.h"

namespace kl {

namespace {

using StructurePtr = std::shared_ptr<GEDCOMStructure>;
using StructureList = GEDCOMObject::StructureList;

// A record from the store's factory. A record re-reading its own text runs
// with registration off, yet the record it makes must be undone with the
// edit that made it.
RecordPtr makeRecord(RecordStore& store, const std::string& type, const Value& info, int mode) {
    UndoManager* um = store.undoManager();
    int enabled = 0;
    if (mode == 0 && um)
        while (!um->isUndoRegistrationEnabled()) {
            um->enableUndoRegistration();
            ++enabled;
        }
    RecordPtr record = store.createNewRecordOfType(type, info);
    for (; enabled > 0; --enabled) um->disableUndoRegistration();
    return record;
}

const GEDCOMObject* lastChild(const GEDCOMObject& parent) {
    return parent.structures().empty() ? nullptr : parent.structures().back().get();
}

// Moves a structure into `record` below `parent` after `after` (last when
// `after` is nullptr), at the parent's level plus one.
void moveInto(const StructurePtr& line, GEDCOMRecord& record, GEDCOMObject& parent, const GEDCOMObject* after) {
    line->changeLevel(parent.glevel() + 1, &record);
    record.addStructure(line, &parent, after ? after : lastChild(parent), false);
}

StructurePtr newLine(GEDCOMRecord* record, int level, std::string tag, std::string contents) {
    return std::make_shared<GEDCOMStructure>(record, level, std::move(tag), std::move(contents));
}

std::string withoutLineBreaks(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

// The bounds text of a `_GPS` "lat, lon" value, or the note of why it
// could not be read.
std::string gpsBounds(const std::string& value) {
    std::vector<std::string> items;
    for (std::size_t start = 0;;) {
        const std::size_t comma = value.find(',', start);
        items.push_back(value.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (items.size() != 2) return value + " (Not comma-delimited list of two items)";
    std::string error1, error2;
    auto first = GlobalCoordinate::coordinateFromString(items[0], &error1);
    auto second = GlobalCoordinate::coordinateFromString(items[1], &error2);
    std::string note;
    if (!first) note = items[0] + " (" + error1 + ")";
    if (!second)
        note = first ? value + " (" + error2 + ")" : note + ", " + items[1] + " (" + error2 + ")";
    else if (!first)
        note += ", " + items[1];
    if (!note.empty()) return note;
    GlobalCoordinate latitude = *first;
    GlobalCoordinate longitude = *second;
    if (!first->isLatitude() && second->isLatitude()) std::swap(latitude, longitude);
    latitude.setIsLatitude(true);
    return "(" + latitude.compassNumber() + ", " + longitude.compassNumber() + ")";
}

// Adds a `_BOX` holding the bounds to the place unless a box has them.
bool addBox(GEDCOMRecord& place, const std::string& boxName, const std::string& bounds, const GEDCOMObject*& last) {
    if (place.findStructureWithTag("_BNDS", bounds, 2)) return false;
    StructurePtr box = newLine(&place, 1, "_BOX", boxName);
    box->GEDCOMObject::addStructure(newLine(&place, 2, "_BNDS", bounds));
    place.addStructure(box, &place, last ? last : lastChild(place), false);
    last = box.get();
    return true;
}

// A FONE or ROMN of an event's place as a TRAN of the place's name, unless
// the name has that translation already.
bool addPlaceVariant(GEDCOMRecord& place, GEDCOMStructure& name, const GEDCOMStructure& variant) {
    const bool phonetic = variant.gtag() == "FONE";
    StructurePtr tran = newLine(&place, 2, "TRAN", variant.contents());
    std::string lang;
    std::string scheme = phonetic ? "(FONE)" : "(ROMN)";
    if (auto type = variant.firstChildWithTag("TYPE")) {
        const auto converted = INDIRecord::convertFONE(phonetic, type->contents());
        lang = converted[0];
        scheme = converted[1];
    }
    if (!lang.empty()) tran->GEDCOMObject::addStructure(newLine(&place, 3, "LANG", lang));
    tran->GEDCOMObject::addStructure(newLine(&place, 3, "_TLIT", scheme));
    for (const auto& existing : name.structures()) {
        if (existing->gtag() != "TRAN" || existing->contents() != variant.contents()) continue;
        const bool sameScheme = existing->findStructureWithTag("_TLIT", scheme, 3) != nullptr;
        const bool langBlocks = lang.empty() ? existing->firstChildWithTag("LANG") != nullptr
                                             : existing->findStructureWithTag("LANG", lang, 3) != nullptr;
        if (sameScheme || langBlocks) return false;
    }
    place.addStructure(tran, &name, lastChild(name), false);
    return true;
}

void unembedNote(GEDCOMStructure& line, RecordStore& store, GEDCOMRecord& citer, int mode) {
    RecordPtr note = store.recordWithID(line.contents(), "NOTE");
    if (!note) {
        note = makeRecord(store, "NOTE", {}, mode);
        if (!note) return;
        if (auto text = note->firstChildWithTag("CONC"))
            text->changeContents(line.contents());
        else
            note->GEDCOMObject::addStructure(newLine(note.get(), 1, "CONC", line.contents()));
        line.changeContents(note->grecordID());
    }
    auto citations = line.findChildren("SOUR", true);
    if (!citations.empty()) {
        for (const auto& citation : citations) moveInto(citation, *note, *note, nullptr);
        line.removeChildren();
        note->simplifyGEDCOMInMode(mode);
    }
    note->addCustom_REFTag(citer.grecordID(), mode);
}

void unembedSource(GEDCOMStructure& line, RecordStore& store, GEDCOMRecord& citer, int mode) {
    RecordPtr source = store.recordWithID(line.contents(), "SOUR");
    if (!source) {
        Dictionary title;
        title.set("TITL", Value(line.contents()));
        source = store.recordType("SOUR", title);
        if (!source) {
            source = makeRecord(store, "SOUR", {}, mode);
            if (!source) return;
            if (auto titl = source->firstChildWithTag("TITL"))
                titl->changeContents(line.contents());
            else
                source->GEDCOMObject::addStructure(newLine(source.get(), 1, "TITL", line.contents()));
        }
        line.changeContents(source->grecordID());
        // An embedded source's text becomes the citation's DATA > TEXT.
        const GEDCOMObject* after = nullptr;
        for (const auto& text : line.findChildren("TEXT", true)) {
            StructurePtr data = newLine(&citer, line.glevel() + 1, "DATA", "");
            text->changeLevel(line.glevel() + 2, &citer);
            data->GEDCOMObject::addStructure(text);
            citer.addStructure(data, &line, after, false);
            after = data.get();
        }
        source->simplifyGEDCOMInMode(mode);
    }
    source->addCustom_REFTag(citer.grecordID(), mode);
}

bool isStyleSheetKey(const std::string& word) {
    return utf8::countCharacters(word) >= 4 && word.front() == '@' && word.back() == '@';
}

void unembedObject(GEDCOMStructure& line, RecordStore& store, GEDCOMRecord& citer, int mode) {
    if (RecordPtr linked = store.recordWithID(line.contents(), "OBJE")) {
        linked->addCustom_REFTag(citer.grecordID(), mode);
        return;
    }
    RecordPtr record;
    if (auto file = line.firstChildWithTag("FILE"))
        for (const auto& candidate : store.recordsOfType("OBJE")) {
            auto theirs = candidate->firstChildWithTag("FILE");
            if (theirs && theirs->contents() == file->contents()) {
                record = candidate;
                break;
            }
        }
    const bool isNew = !record;
    if (isNew) record = makeRecord(store, "OBJE", {}, mode);
    if (!record) return;
    line.changeContents(record->grecordID());

    StructurePtr file = line.findChild("FILE", true);
    if (!file) file = newLine(record.get(), 1, "FILE", "");
    const GEDCOMObject* last = nullptr;
    if (isNew) {
        StructureList kept;
        bool replaced = false;
        for (const auto& own : record->structures()) {
            if (!replaced && own->gtag() == "FILE") {
                replaced = true;
                continue;
            }
            kept.push_back(own);
        }
        record->setStructures(std::move(kept));
        file->changeLevel(1, record.get());
        record->addStructure(file, record.get(), nullptr, false);
        last = file.get();
    } else {
        last = record->firstChildWithTag("FILE").get();
    }
    auto* object = dynamic_cast<OBJERecord*>(record.get());
    bool firstFurtherFile = !isNew;
    StructureList rest = line.structures();
    line.removeChildren();
    for (const auto& child : rest) {
        const std::string& tag = child->gtag();
        if (tag == "FILE") {
            if (firstFurtherFile && object) {
                firstFurtherFile = false;
                object->setFileFullPath(child->contents());
                continue;
            }
            if (record->findStructureWithTag("FILE", child->contents(), 1)) continue;
            moveInto(child, *record, *record, last);
            last = child.get();
        } else if (tag == "FORM" || tag == "TITL") {
            if (file->findStructureWithTag(tag, child->contents(), 2)) continue;
            child->changeLevel(2, file->theRecord());
            file->insertChild(child, nullptr);
        } else {
            if (record->findStructureWithTag(tag, child->contents(), 1)) continue;
            moveInto(child, *record, *record, last);
            last = child.get();
        }
    }
    if (isNew && mode == 1 && object && object->mmFormat() == OBJERecord::kStyleSheetFormat)
        if (auto title = object->titleStructure()) {
            const std::string word = wex::getLastWord(title->contents());
            if (isStyleSheetKey(word)) {
                store.addCSSDictionaryObject(record->grecordID(), word);
                title->changeContents(wex::deleteLastWord(title->contents()));
            }
        }
    record->addCustom_REFTag(citer.grecordID(), mode);
    record->simplifyGEDCOMInMode(mode);
}

void unembedPlace(GEDCOMStructure& line, RecordStore& store, int mode) {
    if (line.contents().find_first_of("\r\n") != std::string::npos)
        line.changeContents(withoutLineBreaks(line.contents()));
    // A place without a name is no place to file anything under.
    if (wex::nonWhiteString(line.contents()).empty()) return;
    RecordPtr place = store.placeForName(line.contents());
    if (!place) place = makeRecord(store, "_PLC", Value(line.contents()), mode);
    if (!place) return;
    StructurePtr name = place->firstChildWithTag("_PLACE");
    const GEDCOMObject* last = nullptr;
    bool added = false;
    StructureList details = line.structures();
    line.removeChildren();
    for (const auto& child : details) {
        const std::string& tag = child->gtag();
        if (tag == "_GPS") {
            added = addBox(*place, "", gpsBounds(child->contents()), last) || added;
        } else if (tag == "FORM") {
            if (!name || name->findStructureWithTag("FORM", child->contents(), 2)) continue;
            moveInto(child, *place, *name, nullptr);
            added = true;
        } else if (tag == "_LANG" || tag == "LANG") {
            if (!name || name->findStructureWithTag("LANG", child->contents(), 2)) continue;
            child->setGtag("LANG");
            child->changeLevel(2, place.get());
            place->addStructure(child, name.get(), nullptr, false);
            added = true;
        } else if (tag == "FONE" || tag == "ROMN") {
            if (name && addPlaceVariant(*place, *name, *child)) added = true;
        } else if (tag == "MAP") {
            auto lati = child->firstChildWithTag("LATI");
            auto lon = child->firstChildWithTag("LONG");
            const std::string latitude = lati ? GEDCOMStructure::reformatLatLog(lati->contents(), 'N') : "";
            const std::string longitude = lon ? GEDCOMStructure::reformatLatLog(lon->contents(), 'E') : "";
            if (!latitude.empty() && !longitude.empty())
                added = addBox(*place, "Import Coordinates", "(" + latitude + "," + longitude + "),1k", last) || added;
        } else {
            if (place->findStructureWithTag(tag, child->contents(), 1)) continue;
            moveInto(child, *place, *place, last);
            last = child.get();
            added = true;
        }
    }
    if (added) place->simplifyGEDCOMInMode(mode);
}

// The walk's pending lines: a fixed array first, a vector beyond it.
class PendingNodes {
public:
    bool empty() const { return size_ == 0; }
    void push(GEDCOMStructure* node) {
        if (size_ < kInline)
            inline_[size_] = node;
        else
            spill_.push_back(node);
        ++size_;
    }
    GEDCOMStructure* pop() {
        --size_;
        if (size_ < kInline) return inline_[size_];
        GEDCOMStructure* node = spill_.back();
        spill_.pop_back();
        return node;
    }

private:
    static constexpr std::size_t kInline = 64;
    std::array<GEDCOMStructure*, kInline> inline_{};
    std::vector<GEDCOMStructure*> spill_;
    std::size_t size_ = 0;
};

}  // namespace

void GEDCOMStructure::unembedAndLinkNOTEandSOURandOBJ(int mode) {
    // Pre-order without recursion: a file's nesting may be arbitrarily deep.
    // Most records nest a few levels: the stack lives on the C++ stack and
    // moves to the heap only past that.
    PendingNodes stack;
    for (GEDCOMStructure* node = this;;) {
        GEDCOMRecord* record = node->theRecord();
        RecordStore* store = record ? record->model() : nullptr;
        if (const std::string& tag = node->gtag(); store && tag.size() == 4) {
            if (isTag(tag, "NOTE"))
                unembedNote(*node, *store, *record, mode);
            else if (isTag(tag, "SOUR"))
                unembedSource(*node, *store, *record, mode);
            else if (isTag(tag, "OBJE"))
                unembedObject(*node, *store, *record, mode);
            else if (isTag(tag, "PLAC") && node->glevel() == 2 && (record->isType("INDI") || record->isType("FAM")))
                unembedPlace(*node, *store, mode);
        }
        // Lines with nothing at all in them go; a bare tag is a fact.
        auto blank = [](const StructurePtr& child) { return child->empty() && child->gtag().empty(); };
        if (std::any_of(node->structures().begin(), node->structures().end(), blank)) {
            StructureList kept;
            std::remove_copy_if(node->structures().begin(), node->structures().end(), std::back_inserter(kept), blank);
            node->setStructures(std::move(kept));
        }
        const StructureList& children = node->structures();
        for (auto child = children.rbegin(); child != children.rend(); ++child) stack.push(child->get());
        if (stack.empty()) return;
        node = stack.pop();
    }
}

std::string GEDCOMStructure::reformatLatLog(std::string_view text, char dirs) {
    const std::string whole = wex::nonWhiteString(text);
    if (whole.size() < 2) return whole;
    const std::string letters = dirs == 'N' ? "NSns" : "EWew";
    std::string rest = whole;
    char letter = 0;
    if (letters.find(rest.front()) != std::string::npos) {
        letter = static_cast<char>(std::toupper(static_cast<unsigned char>(rest.front())));
        rest = wex::nonWhiteString(rest.substr(1));
    } else if (letters.find(rest.back()) != std::string::npos) {
        letter = static_cast<char>(std::toupper(static_cast<unsigned char>(rest.back())));
        rest = wex::nonWhiteString(rest.substr(0, rest.size() - 1));
    }
    // A number begins with a sign, a digit or a point; "nan" and "inf" are
    // no coordinates.
    const bool numeric = !rest.empty() && (std::isdigit(static_cast<unsigned char>(rest[0])) || rest[0] == '-' ||
                                          rest[0] == '+' || rest[0] == '.');
    const std::optional<double> value =
        numeric ? parseDouble(rest[0] == '+' ? std::string_view(rest).substr(1) : std::string_view(rest))
                : std::nullopt;
    if (value && std::isfinite(*value)) {
        if (!letter) letter = *value < 0 ? (dirs == 'N' ? 'S' : 'W') : (dirs == 'N' ? 'N' : 'E');
        return formatFixed(std::fabs(*value), 6) + " " + letter;
    }
    if (!letter) return whole;
    return rest + " " + letter;
}

}  // namespace kl
