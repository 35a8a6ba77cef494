#include "document/PathEvaluation.h"

#include <cctype>
#include <memory>

#include "document/RecordPathFacts.h"
#include "document/TemplateFrame.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/RecordStore.h"

namespace kl {

using Word = KLExpression::Word;

const PathEvaluation::HandlerTable& PathEvaluation::handlers() {
    static const HandlerTable table = [] {
        HandlerTable t{};
        auto set = [&t](Word w, Handler h) { t[static_cast<std::size_t>(w)] = h; };
        set(Word::Child, &PathEvaluation::child);
        set(Word::View, &PathEvaluation::view);
        set(Word::AltView, &PathEvaluation::altView);
        set(Word::Year, &PathEvaluation::year);
        set(Word::Span, &PathEvaluation::span);
        set(Word::Memo, &PathEvaluation::memo);
        set(Word::Sdn, &PathEvaluation::sdn);
        set(Word::User, &PathEvaluation::user);
        set(Word::Rec, &PathEvaluation::rec);
        set(Word::Tag, &PathEvaluation::tag);
        set(Word::Contents, &PathEvaluation::contents);
        set(Word::This, &PathEvaluation::thisRecord);
        set(Word::Parent, &PathEvaluation::parentWord);
        set(Word::Spouse, &PathEvaluation::spouse);
        set(Word::Level, &PathEvaluation::level);
        set(Word::Err, &PathEvaluation::err);
        set(Word::Number, &PathEvaluation::number);
        set(Word::Id, &PathEvaluation::id);
        set(Word::Ref, &PathEvaluation::ref);
        set(Word::Index, &PathEvaluation::index);
        set(Word::Place, &PathEvaluation::place);
        set(Word::Skip, &PathEvaluation::skip);
        set(Word::Trunc, &PathEvaluation::trunc);
        set(Word::Portrait, &PathEvaluation::portrait);
        set(Word::Reverse, &PathEvaluation::reverse);
        set(Word::Surname, &PathEvaluation::surname);
        set(Word::Firstname, &PathEvaluation::firstname);
        set(Word::Middlename, &PathEvaluation::middlename);
        set(Word::Soundex, &PathEvaluation::soundex);
        set(Word::Count, &PathEvaluation::countWord);
        set(Word::CountAll, &PathEvaluation::countAll);
        return t;
    }();
    return table;
}

PathEvaluation::PathEvaluation(const KLExpression& expression, GEDCOMObject& start, GEDCOMRecord& source,
                               RecordStore* store)
    : expression_(expression), start_(&start), source_(&source), store_(store), node_(&start), record_(&source) {}

std::string PathEvaluation::run() {
    for (at_ = 0; at_ < count(); ++at_) {
        if (KLExpression::isRecordPointer(value_)) {
            // "s" keeps the ID as text: the word after it is applied to the
            // ID itself, and a last "s" answers the ID. "i" indexes the link
            // structure that holds the ID.
            if (kind(at_) == Word::Skip) {
                if (++at_ == count()) break;
            } else if (kind(at_) != Word::Index) {
                followLink();
            }
        }
        if ((this->*handlers()[static_cast<std::size_t>(kind(at_))])() == Step::Done) break;
    }
    return std::move(value_);
}

// ---- walking

long PathEvaluation::integerOf(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long n = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (n > 100000000L) break;  // far beyond any index or length
        n = n * 10 + (text[i] - '0');
    }
    return negative ? -n : n;
}

const std::string* PathEvaluation::variable(std::string_view name) const {
    const auto& tags = expression_.customTags();
    return tags ? tags(name) : nullptr;
}

std::string_view PathEvaluation::argumentAt(std::size_t i) const {
    const std::string& w = expression_.tags()[i];
    const std::string* v = variable(w);
    return v ? std::string_view(*v) : std::string_view(w);
}

std::string_view PathEvaluation::takeArgument() { return argumentAt(++at_); }

// A link whose ID names no record is not followed: the path goes on below
// the link structure itself.
void PathEvaluation::followLink() {
    if (!store_) return;
    auto linked = store_->recordWithID(value_, "");
    if (!linked) return;
    node_ = linked.get();
    record_ = linked.get();
    parent_ = nullptr;
}

PathEvaluation::Step PathEvaluation::finish(std::string result) {
    value_ = std::move(result);
    return Step::Done;
}

PathEvaluation::Step PathEvaluation::setValue(std::string value) {
    value_ = std::move(value);
    return Step::Next;
}

// ---- tree words

PathEvaluation::Step PathEvaluation::child() {
    if (const std::string* v = variable(word())) return setValue(*v);
    if (!node_) return empty();
    parent_ = node_;
    node_ = RecordPathFacts::child(*parent_, word());
    if (!node_) return empty();
    return setValue(node_->contents());
}

namespace {

const GEDCOMRecord* asRecord(const GEDCOMObject* node) {
    const GEDCOMRecord* r = node->theRecord();
    return r == node ? r : nullptr;
}

}  // namespace

PathEvaluation::Step PathEvaluation::view() {
    if (!node_) return empty();
    if (const GEDCOMRecord* r = asRecord(node_)) return setValue(r->viewName());
    return setValue(static_cast<const GEDCOMStructure*>(node_)->viewName());
}

PathEvaluation::Step PathEvaluation::altView() {
    if (!node_) return empty();
    if (const GEDCOMRecord* r = asRecord(node_)) return setValue(r->altViewName());
    return setValue(static_cast<const GEDCOMStructure*>(node_)->altViewName());
}

// Without a comment the path ends on the place where one would go: the
// node becomes the parent, so the browser can attach a new comment there.
PathEvaluation::Step PathEvaluation::memo() {
    if (node_)
        if (auto comment = node_->quickComment()) return finish(std::move(*comment));
    parent_ = node_;
    node_ = nullptr;
    return empty();
}

PathEvaluation::Step PathEvaluation::rec() { return setValue(record_->recordType()); }

PathEvaluation::Step PathEvaluation::tag() { return node_ ? setValue(node_->gtag()) : empty(); }

PathEvaluation::Step PathEvaluation::contents() { return node_ ? setValue(node_->contents()) : empty(); }

PathEvaluation::Step PathEvaluation::thisRecord() { return setValue(record_->contents()); }

// A frame stands for its structure, so "parent" starts from that
// structure's place in the source record; a frame for a grouped child window
// climbs to the structure the group belongs to.
PathEvaluation::Step PathEvaluation::parentWord() {
    GEDCOMObject* finder = record_;
    const auto* frame = node_ == start_ ? dynamic_cast<const TemplateFrame*>(start_) : nullptr;
    if (frame) {
        finder = source_;
        auto shown = frame->frameStructure();
        auto* grouped = shown ? dynamic_cast<const GEDCOMRecord*>(shown.get()) : nullptr;
        if (grouped) {
            node_ = grouped->parentStructure().get();
        } else {
            node_ = shown ? finder->findParentOfStructure(shown.get()).get() : nullptr;
        }
    } else {
        node_ = node_ ? record_->findParentOfStructure(node_).get() : nullptr;
    }
    if (!node_) {
        parent_ = nullptr;
        return empty();
    }
    parent_ = finder->findParentOfStructure(node_).get();
    return setValue(node_->contents());
}

PathEvaluation::Step PathEvaluation::spouse() {
    long n = 1;
    if (at_ + 2 < count() && kind(at_ + 1) == Word::Index) {
        n = integerOf(argumentAt(at_ + 2));
        at_ += 2;
    }
    parent_ = record_;
    std::string spouseID;
    node_ = nullptr;
    if (dynamic_cast<const INDIRecord*>(record_))
        node_ = RecordPathFacts::spouse(*record_, static_cast<std::size_t>(n < 1 ? 1 : n), store_, spouseID);
    if (!node_) return empty();
    return setValue(std::move(spouseID));
}

PathEvaluation::Step PathEvaluation::level() { return node_ ? setValue(std::to_string(node_->glevel())) : empty(); }

PathEvaluation::Step PathEvaluation::err() {
    if (!node_) return empty();
    if (const GEDCOMRecord* r = asRecord(node_)) return setValue(r->describeCorruption());
    // Structures carry the same marks; a record holding them names them.
    auto probe = std::make_shared<GEDCOMRecord>();
    probe->setCorrupt(node_->corrupt());
    return setValue(probe->describeCorruption());
}

PathEvaluation::Step PathEvaluation::number() { return Step::Done; }

PathEvaluation::Step PathEvaluation::id() { return finish(record_->grecordID()); }

PathEvaluation::Step PathEvaluation::ref() {
    if (parent_) return empty();
    const auto& refs = record_->crossRefIDs();
    if (refs.empty()) return empty();
    return setValue(refs.front());
}

// "i" followed by N: the N-th sibling of the node with its tag, or after
// "_REF" the N-th record that links here.
PathEvaluation::Step PathEvaluation::index() {
    if (!hasNext()) return Step::Done;
    const std::size_t indexWord = at_;
    const long n = integerOf(takeArgument());
    if (parent_ && node_) {
        node_ = RecordPathFacts::child(*parent_, node_->gtag(), n);
        return node_ ? setValue(node_->contents()) : empty();
    }
    if (indexWord > 0 && kind(indexWord - 1) == Word::Ref) {
        const auto& refs = record_->crossRefIDs();
        const std::size_t wanted = static_cast<std::size_t>(n < 1 ? 1 : n);
        return wanted <= refs.size() ? setValue(refs[wanted - 1]) : empty();
    }
    return Step::Done;
}

PathEvaluation::Step PathEvaluation::place() {
    if (!store_) return Step::Next;
    if (auto placeID = store_->placeRecordIDForName(value_)) value_ = std::move(*placeID);
    return Step::Next;
}

PathEvaluation::Step PathEvaluation::skip() { return Step::Next; }

// Images are the window's business: the path answers the multimedia record
// that holds the portrait, and the caller loads its image.
PathEvaluation::Step PathEvaluation::portrait() {
    auto object = record_->portraitImage();
    return finish(object ? object->grecordID() : std::string());
}

PathEvaluation::Step PathEvaluation::countWord() { return countOf(false); }

PathEvaluation::Step PathEvaluation::countAll() { return countOf(true); }

PathEvaluation::Step PathEvaluation::countOf(bool all) {
    if (!hasNext()) return finish("0");
    const std::string_view tagName = takeArgument();
    if (tagName == "_REF") return finish(parent_ ? "0" : std::to_string(record_->crossRefIDs().size()));
    if (!node_) return finish("0");
    return finish(std::to_string(all ? node_->countAllChildren(tagName) : node_->countChildren(tagName)));
}

}  // namespace kl
