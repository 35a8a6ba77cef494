#pragma once
// KLExpression: a record path such as "BIRT.DATE.year", "HUSB.NAME.surname"
// or "NOTE.trunc.40", evaluated against a record, a structure or a template
// frame to give one text. Record lists use it for their columns, sort keys
// and search criteria; templates for their "@" references; scripts to read a
// value somewhere in a record.
//
// The path is split into words once, when the expression is made, and each
// word is classified then, so an evaluation only walks the tree. An
// evaluation leaves the node and parent it reached in the expression, where
// the record browser reads them; they point into the tree without owning it
// and are valid only while that tree is unchanged.
//
// Ownership: a value type; callers that share one hold it through
// shared_ptr. The variables it is given (setCustomTags) belong to the caller.
// Thread: the caller's; one expression is never evaluated on two threads at
// once (its last node is written by every evaluation).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kl {

class GEDCOMModel;
class GEDCOMObject;
class GEDCOMRecord;

class KLExpression {
public:
    // What a path word does. Words that are none of these name a tag (or a
    // variable of the template).
    enum class Word : std::uint8_t {
        Child, View, AltView, Year, Span, Memo, Sdn, User, Rec, Tag, Contents, This, Parent, Spouse, Level,
        Err, Number, Id, Ref, Index, Place, Skip, Trunc, Portrait, Reverse, Surname, Firstname, Middlename,
        Soundex, Count, CountAll,
        Last = CountAll
    };
    // The template's variables: the value of a name, nullptr when the name
    // is not a variable. Kept by reference to the caller's dictionary.
    using CustomTags = std::function<const std::string*(std::string_view name)>;

    KLExpression() = default;
    explicit KLExpression(std::string_view text) { setExprTags(text); }

    static std::shared_ptr<KLExpression> expressionFromString(std::string_view text);

    // Cuts the text at every "." and trims each piece: two dots in a row
    // give an empty word, a trailing dot adds nothing, "" gives no words.
    void setExprTags(std::string_view text);
    void setTags(std::vector<std::string> tags);
    void addTag(std::string tag);
    const std::vector<std::string>& tags() const { return tags_; }
    void setCustomTags(CustomTags tags) { customTags_ = std::move(tags); }
    const CustomTags& customTags() const { return customTags_; }

    // The value of the path on `node` (a record, a structure or a template
    // frame), starting with `sourceRecord` as the record in hand; `document`
    // resolves links and places (the source record's store when nullptr).
    // Never fails: whatever the path does not find gives "".
    std::string valueInRecord(const GEDCOMObject& node, const GEDCOMRecord& sourceRecord,
                              GEDCOMModel* document) const;
    GEDCOMObject* lastStructure() const { return lastStructure_; }
    GEDCOMObject* lastParent() const { return lastParent_; }

    static bool isRecordPointer(std::string_view value);
    // The variant that sorts a date path by day number: a last "year" or
    // "user" becomes "sdn", a last "DATE" or "span" gets "sdn" added; any
    // other path is returned as it is.
    KLExpression dateSortExpression() const;
    // whole: the words joined by "."; otherwise all but the last word.
    std::string expressionString(bool whole) const;
    bool numericExpression() const;  // last word "sdn" or "number"
    bool sdnExpression() const;
    bool portraitExpression() const;
    std::size_t countOfTags() const { return tags_.size(); }
    std::string description() const { return "KLExpression: " + expressionString(true); }

    Word wordAt(std::size_t index) const { return words_[index]; }
    static Word wordKind(std::string_view word);
    // The last "."-separated word of a path text.
    static std::string_view lastWord(std::string_view text);

private:
    std::vector<std::string> tags_;
    std::vector<Word> words_;
    CustomTags customTags_;
    // Results of the last evaluation, kept for the caller to read.
    mutable GEDCOMObject* lastStructure_ = nullptr;
    mutable GEDCOMObject* lastParent_ = nullptr;
};

}  // namespace kl
