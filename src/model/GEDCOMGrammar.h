#pragma once
// GEDCOMGrammar: checks a record's lines against the grammar dictionary
// that the validation report loads from the "GEDCOMGrammar" resource. Top
// keys are record types (the grammar of their level-1 lines) and tag-set
// names (tags several places share). A rule is a tag-set name, a content
// check text ("XREF:INDI", "BREF:FAM:HUSBWIFE", "MORFORU", "YESONLY",
// "DATE"; the line then has no sub-lines), or a dictionary whose "content"
// entry is the check, whose "tagset" entry adds a set's tags under its own,
// and whose other entries are the sub-lines' grammar.
//
// The check never changes the tree: an unrecognised custom line that is to
// be deleted is handed to the caller, who removes it later (the validation
// report does so on the main thread as one undo step).
//
// Ownership: borrows the grammar, which must outlive it; keeps the merged
// tag-set rules it builds. Thread: one thread at a time (the report's
// worker); it reads records and their store without changing them.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class GEDCOMObject;
class GEDCOMRecord;
class GEDCOMStructure;

class GEDCOMGrammar {
public:
    // Option bits of the custom-tag choice.
    static constexpr int kIgnoreCustom = 1;
    static constexpr int kDeleteCustom = 2;
    // Told of each custom line the option deletes; the check goes on as if
    // it were gone.
    using DeleteCustom = std::function<void(const std::shared_ptr<GEDCOMStructure>& line, GEDCOMObject& parent)>;

    explicit GEDCOMGrammar(const Dictionary& grammar) : grammar_(grammar) {}
    GEDCOMGrammar(const GEDCOMGrammar&) = delete;
    GEDCOMGrammar& operator=(const GEDCOMGrammar&) = delete;

    const Dictionary& grammar() const { return grammar_; }
    // The grammar of a record type's level-1 lines, nullptr when unknown.
    const Value* grammarForType(const std::string& type) const { return grammar_.get(type); }

    // Checks the node's children against `currentGrammar` (nullptr: no
    // child is allowed), appending one message per problem. `tags` is the
    // path of the node; it holds again what it held when the call returns.
    void checkStructures(GEDCOMObject& node, const GEDCOMRecord& record, std::vector<std::string>& messages,
                         std::vector<std::string>& tags, const Value* currentGrammar, int flags,
                         const DeleteCustom& deleteCustom);

    // The content check of one value: the failure message, "" when it
    // passes. `path` is the line's path, `tag` its tag.
    std::string checkContent(std::string_view check, const std::string& path, const std::string& tag,
                             const std::string& value, const GEDCOMRecord& record) const;

private:
    struct Rule {
        std::string check;  // "" for none
        const Value* subGrammar = nullptr;
    };
    Rule resolve(const Value& rule);

    const Dictionary& grammar_;
    // Tag-set rules merged with their own entries, by the rule they came from.
    std::unordered_map<const Value*, std::unique_ptr<Value>> merged_;
};

}  // namespace kl
