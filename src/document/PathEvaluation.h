#pragma once
// PathEvaluation: one evaluation of a KLExpression. It holds the four values
// a path walks with (the text so far, the node, its parent and the record in
// hand), follows record links between words, and applies each word through
// a table of small handlers indexed by the word's kind.
//
// Ownership: lives on the stack of KLExpression::valueInRecord; every
// pointer it holds belongs to the tree or the store.
// Thread: the caller's.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "document/KLExpression.h"

namespace kl {

class GEDCOMObject;
class GEDCOMRecord;
class RecordStore;

class PathEvaluation {
public:
    PathEvaluation(const KLExpression& expression, GEDCOMObject& start, GEDCOMRecord& source, RecordStore* store);

    std::string run();
    GEDCOMObject* node() const { return node_; }
    GEDCOMObject* parent() const { return parent_; }

private:
    enum class Step { Next, Done };
    using Handler = Step (PathEvaluation::*)();
    using HandlerTable = std::array<Handler, static_cast<std::size_t>(KLExpression::Word::Last) + 1>;
    static const HandlerTable& handlers();

    // ---- walking
    std::size_t count() const { return expression_.countOfTags(); }
    const std::string& word() const { return expression_.tags()[at_]; }
    KLExpression::Word kind(std::size_t i) const { return expression_.wordAt(i); }
    bool hasNext() const { return at_ + 1 < count(); }
    // The word at i, or the template variable it names.
    std::string_view argumentAt(std::size_t i) const;
    // Consumes the next word as an argument.
    std::string_view takeArgument();
    const std::string* variable(std::string_view name) const;
    void followLink();
    // The leading integer of a word, as a number word reads it (0 when none).
    static long integerOf(std::string_view text);
    Step finish(std::string result);
    Step empty() { return finish({}); }
    Step setValue(std::string value);

    // ---- tree words (PathEvaluation.cpp)
    Step child();
    Step view();
    Step altView();
    Step memo();
    Step rec();
    Step tag();
    Step contents();
    Step thisRecord();
    Step parentWord();
    Step spouse();
    Step level();
    Step err();
    Step number();
    Step id();
    Step ref();
    Step index();
    Step place();
    Step skip();
    Step portrait();
    Step countWord();
    Step countAll();
    Step countOf(bool all);

    // ---- text words (PathEvaluation+Text.cpp)
    Step year();
    Step span();
    Step sdn();
    Step user();
    Step trunc();
    Step reverse();
    Step surname();
    Step firstname();
    Step middlename();
    Step soundex();

    const KLExpression& expression_;
    GEDCOMObject* start_;
    GEDCOMRecord* source_;
    RecordStore* store_;
    std::size_t at_ = 0;
    std::string value_;
    GEDCOMObject* node_;
    GEDCOMObject* parent_ = nullptr;
    GEDCOMRecord* record_;
};

}  // namespace kl
