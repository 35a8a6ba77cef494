#pragma once
// KLExpression: a record-path expression ("NAME.SURN", "BIRT.DATE.sdn")
// evaluated against a record. The store's lists sort and match by it; the
// script language supplies the real evaluator by installing a factory, so
// this library does not depend on it. Without a factory a plain tag-path
// reader stands in: "view", "id" and "rec" give the record's name, ID and
// type, other words walk down by tag, and a last word "number" or "sdn"
// turns the text found into an integer (a date's serial day number for "sdn").
//
// Ownership: shared; lists keep only the texts and make expressions per sort.
// Thread: evaluation must be safe on any thread that reads the tree.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kl {

class GEDCOMModel;
class GEDCOMObject;
class GEDCOMRecord;

class KLExpression {
public:
    using Factory = std::function<std::shared_ptr<KLExpression>(const std::string& text)>;

    virtual ~KLExpression() = default;

    static std::shared_ptr<KLExpression> expressionFromString(const std::string& text);
    // Installs the evaluator of the script language; an empty factory
    // brings back the tag-path reader.
    static void setFactory(Factory factory);

    // The value for the node as text, empty when the path finds nothing.
    virtual std::string valueInRecord(const GEDCOMObject& node, const GEDCOMRecord& sourceRecord,
                                      GEDCOMModel* document) const = 0;
    // The words joined by "."; `whole` false may leave out a trailing
    // formatting word.
    virtual std::string expressionString(bool whole) const = 0;

    // Values of these are compared as integers (0 counting as blank).
    virtual bool numericExpression() const;
    virtual bool sdnExpression() const;

    static std::string_view lastWord(std::string_view text);
};

}  // namespace kl
