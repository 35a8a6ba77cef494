#pragma once
// IndexStyle: the column style of a record list: per column a title, the
// record-path expression whose value fills the cells, an alternate
// expression that breaks ties when sorting, alignment, editability and
// width. Kept here in its stored form (an array of column dictionaries) with
// the sort keys the lists need; drawing belongs to the index window.
//
// Ownership: shared by the lists and windows that show it.
// Thread: main thread.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class KLExpression;

class IndexStyle {
public:
    struct Column {
        std::string label;
        std::string expression;
        std::string altExpression;  // empty when the column has none
        int32_t justify = 0;        // 0 left, 1 right, 2 centre
        bool editable = false;
        int32_t width = 100;
    };

    explicit IndexStyle(std::string recordType = "Unknown") : recordType_(std::move(recordType)) {}

    static std::shared_ptr<IndexStyle> indexStyleWith(const Array& stored, const std::string& type);
    static std::shared_ptr<IndexStyle> defaultStyleForType(const std::string& type);
    static std::shared_ptr<IndexStyle> defaultStyleForUserAlbum(const std::string& albumType);
    // Two sort keys are the same when they have equal texts in order.
    static bool thisSort(const std::vector<std::string>& a, const std::vector<std::string>& isSameSortAs);

    Array styleArray() const;
    Dictionary styleForColumn(int column) const;
    void addColumn(const Dictionary& column);

    // The expression a column sorts by; date paths sort by serial day number.
    std::shared_ptr<KLExpression> expressionForSort(int column) const;
    // nullptr when the column has no alternate expression.
    std::shared_ptr<KLExpression> altExpressionForSort(int column) const;
    int expressionColumn(const std::string& expression) const;

    const std::string& recordType() const { return recordType_; }
    std::size_t numberOfColumns() const { return columns_.size(); }
    std::vector<std::string> label() const;
    int portraitColumn() const { return portraitColumn_; }
    const std::vector<Column>& columns() const { return columns_; }

private:
    std::string recordType_;
    std::vector<Column> columns_;
    int portraitColumn_ = -1;
};

}  // namespace kl
