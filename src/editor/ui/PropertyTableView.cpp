#include "editor/ui/PropertyTableView.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QHeaderView>
#include <QStyledItemDelegate>

#include "app/ui/AppAlerts.h"

namespace kl {

namespace {

QColor toQColor(const Color& c) { return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue), float(c.alpha)); }

const Value* cellValue(const PropertyTable& table, std::size_t row, const std::string& column) {
    if (row >= table.rows().size()) return nullptr;
    const auto found = table.rows()[row]->find(column);
    return found == table.rows()[row]->end() ? nullptr : &found->second;
}

// The pop-up of the variable types.
class TypeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* box = new QComboBox(parent);
        box->addItems({"Number", "String", "Group"});
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QComboBox*>(editor)->setCurrentText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
    }
};

}  // namespace

class PropertyTableModel : public QAbstractTableModel {
public:
    PropertyTableModel(PropertyTable& table, QWidget* window) : table_(table), window_(window) {}

    const std::string& column(int index) const { return table_.columns().at(static_cast<std::size_t>(index)); }
    void reload() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(table_.rows().size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(table_.columns().size());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return QString::fromStdString(column(section));
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const auto row = static_cast<std::size_t>(index.row());
        const std::string& name = column(index.column());
        const Value* value = cellValue(table_, row, name);
        if (!value) return {};
        if (const auto color = value->objectAs<ColorCell>()) {
            if (role == Qt::BackgroundRole) return toQColor(color->color);
            return {};
        }
        if (table_.kind() == PropertyTable::Kind::Fonts && name == "underline") {
            if (role == Qt::CheckStateRole) return value->toInteger() != 0 ? Qt::Checked : Qt::Unchecked;
            return {};
        }
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return QString::fromStdString(table_.displayText(row, name));
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        const std::string& name = column(index.column());
        if (table_.kind() == PropertyTable::Kind::Fonts && name == "underline") return flags | Qt::ItemIsUserCheckable;
        if (table_.canEditInPlace(static_cast<std::size_t>(index.row()), name)) flags |= Qt::ItemIsEditable;
        return flags;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        const auto row = static_cast<std::size_t>(index.row());
        const std::string& name = column(index.column());
        if (role == Qt::CheckStateRole) {
            table_.setObjectValue(row, name, Value(value.toInt() == Qt::Checked ? 1 : 0));
            return true;
        }
        if (role != Qt::EditRole) return false;
        if (const auto refusal = table_.setObjectValue(row, name, Value(value.toString().toStdString()))) {
            if (!refusal->silent())
                AppAlerts::simpleOKAlert(refusal->message, refusal->information, window_, AlertButtons::Informational);
            return false;
        }
        return true;
    }

private:
    PropertyTable& table_;
    QWidget* window_;
};

PropertyTableView::PropertyTableView(PropertyTable::Kind kind, UndoManager& undo, std::function<void()> changed,
                                     QWidget* parent)
    : QTableView(parent) {
    // The table tells of each change after the rows moved: show them again
    // before the owner hears of it.
    table_ = std::make_unique<PropertyTable>(kind, undo, [this, changed] {
        reload();
        if (changed) changed();
    });
    model_ = new PropertyTableModel(*table_, this);
    model_->setParent(this);
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(true);
    verticalHeader()->hide();
    if (kind == PropertyTable::Kind::Variables) setItemDelegateForColumn(2, new TypeDelegate(this));
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { clickColumn(model_->column(section)); });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        clickCell(static_cast<std::size_t>(index.row()), model_->column(index.column()));
    });
    prompts_.chooseColor = [this](const Color& present) -> std::optional<Color> {
        const QColor chosen = QColorDialog::getColor(toQColor(present), this);
        if (!chosen.isValid()) return std::nullopt;
        return Color{chosen.redF(), chosen.greenF(), chosen.blueF(), chosen.alphaF()};
    };
    prompts_.chooseFont = [this](const Font& present) -> std::optional<Font> {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, QFont(QString::fromStdString(present.family), int(present.size)), this);
        if (!ok) return std::nullopt;
        return Font{chosen.family().toStdString(), chosen.pointSizeF(),
                    (chosen.italic() ? Font::Italic : 0) | (chosen.bold() ? Font::Bold : 0)};
    };
}

PropertyTableView::~PropertyTableView() = default;

void PropertyTableView::installDictionary(const Value& content, const std::string& name, bool plugin) {
    table_->getTemplateInfo(name, plugin);
    table_->installDictionary(content);
    model_->reload();
}

void PropertyTableView::reload() {
    const auto selected = selectedRow();
    const PropertyTable::RowPtr row = selected && *selected < table_->rows().size() ? table_->rows()[*selected] : nullptr;
    model_->reload();
    if (row)
        if (const auto index = table_->indexOf(row)) selectRow(*index);
}

std::optional<std::size_t> PropertyTableView::selectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) return std::nullopt;
    return static_cast<std::size_t>(rows.first().row());
}

void PropertyTableView::selectRow(std::size_t row) { QTableView::selectRow(static_cast<int>(row)); }

void PropertyTableView::addDeleteRow(bool add) {
    const auto at = table_->addDeleteRow(add, selectedRow());
    model_->reload();
    if (at) {
        selectRow(*at);
        edit(model_->index(static_cast<int>(*at), 0));
    }
}

void PropertyTableView::clickCell(std::size_t row, const std::string& column) {
    if (row >= table_->rows().size()) {
        QApplication::beep();
        return;
    }
    const PropertyTable::RowPtr record = table_->rows()[row];
    const Value* value = cellValue(*table_, row, column);
    if (value)
        if (const auto color = value->objectAs<ColorCell>()) {
            if (prompts_.chooseColor)
                if (const auto chosen = prompts_.chooseColor(color->color)) table_->setColor(record, *chosen, column);
            return;
        }
    if (value)
        if (const auto font = value->objectAs<FontCell>()) {
            if (prompts_.chooseFont)
                if (const auto chosen = prompts_.chooseFont(font->font)) table_->setFont(record, *chosen);
            return;
        }
    if (table_->kind() == PropertyTable::Kind::Properties && column == "key" &&
        !table_->canEditInPlace(row, column) && prompts_.openOtherFile) {
        prompts_.openOtherFile(table_->displayText(row, column));
        return;
    }
    if (table_->kind() == PropertyTable::Kind::Variables && column == "variable" && !table_->canEditInPlace(row, column))
        QApplication::beep();
}

void PropertyTableView::clickColumn(const std::string& column) {
    if (!table_->clickColumn(column)) {
        QApplication::beep();
        return;
    }
    reload();
    const auto& columns = table_->columns();
    const int section = static_cast<int>(std::find(columns.begin(), columns.end(), column) - columns.begin());
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(section, table_->sortOrder() < 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

}  // namespace kl
