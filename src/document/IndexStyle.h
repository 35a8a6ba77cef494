#pragma once
// IndexStyle: the column style of a record list or a relatives outline: per
// column a title, the record-path expression whose value fills the cells, an
// alternate expression that breaks ties when sorting, alignment, editability
// and width. Kept in its stored form (an array of column dictionaries) with
// the sort keys the lists compare; turning a style into table columns is the
// index window's (TableSetupPlan).
//
// Ownership: shared (shared_ptr) by the library's cache or the document's
// album styles and the lists and windows that show it.
// Thread: main thread.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;
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
    enum Justify : int32_t { JustifyLeft = 0, JustifyRight = 1, JustifyCenter = 2 };
    static constexpr int32_t kMinimumStoredWidth = 10;

    explicit IndexStyle(std::string recordType = "Unknown") : recordType_(std::move(recordType)) {}

    // ---- making and storing
    static std::shared_ptr<IndexStyle> indexStyleWith(const Array& stored, const std::string& type);
    static std::shared_ptr<IndexStyle> defaultStyleForType(const std::string& type);
    static std::shared_ptr<IndexStyle> defaultStyleForUserAlbum(const std::string& albumType);
    // Two sort keys are the same when they have equal texts in order.
    static bool thisSort(const std::vector<std::string>& a, const std::vector<std::string>& isSameSortAs);
    // A new style from this one's stored form.
    std::shared_ptr<IndexStyle> makeCopy() const;
    Array styleArray() const;
    Dictionary styleForColumn(int column) const;
    std::string description() const;

    // ---- editing
    void addColumn(const Dictionary& column);
    // Indices outside the columns are ignored.
    void deleteColumn(int column);
    // Removes the portrait column when there is one, else adds it at `index`.
    void addRemovePortraitCol(int index);
    void moveColumn(int from, int toColumn);
    // Only the keys present are applied; the portrait mark is left alone.
    void setProperties(const Dictionary& properties, int column);
    // False (nothing changed) when the width is the stored one.
    bool setWidth(double width, int column);
    void setRecordType(std::string type) { recordType_ = std::move(type); }
    // The table builder marks the portrait column it found.
    void setPortraitColumn(int column) { portraitColumn_ = column; }

    // ---- queries
    const std::string& recordType() const { return recordType_; }
    std::size_t numberOfColumns() const { return columns_.size(); }
    std::vector<std::string> label() const;
    const std::vector<Column>& columns() const { return columns_; }
    int32_t widthForColumn(int column) const;
    int32_t justifyForColumn(int column) const;
    bool hasPortraitColumn() const { return portraitColumn_ >= 0; }
    int portraitColumn() const { return portraitColumn_; }
    int expressionColumn(const std::string& expression) const;
    // The expression a column sorts by; date paths sort by serial day number.
    std::shared_ptr<KLExpression> expressionForSort(int column) const;
    // nullptr when the column's alternate expression has no path words.
    std::shared_ptr<KLExpression> altExpressionForSort(int column) const;
    // The key a list remembers its sort by: one or two expression texts.
    std::vector<std::string> sortArrayForIndex(int column) const;
    // The first column a list can sort on, -1 when none.
    int firstSortColumn() const;
    // One line of cell text; "" for a column the style lacks. A portrait
    // column answers the ID of the multimedia record holding the image.
    std::string dataForRecord(const GEDCOMRecord& record, int column, GEDCOMModel* model) const;

    static bool isPortraitExpression(const std::string& expression);
    static std::string justificationWord(int32_t justify);

private:
    bool valid(int column) const { return column >= 0 && static_cast<std::size_t>(column) < columns_.size(); }
    void applyProperty(Column& c, const std::string& key, const Value& value);
    void findPortraitColumn();

    std::string recordType_;
    std::vector<Column> columns_;
    int portraitColumn_ = -1;
};

}  // namespace kl
