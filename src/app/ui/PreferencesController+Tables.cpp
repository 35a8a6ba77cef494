// The font and colour tables of the preferences window, their panels and
// colour drops, and the outline of the current format's layout variables.
#include <QApplication>
#include <QColorDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "app/ui/AppDrawing.h"
#include "app/ui/ColorButtonCell.h"
#include "app/ui/PreferencesController.h"

namespace kl {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

constexpr int kFontRows = LibraryFolder::systemFontRows;

// A table that takes colours dropped on its rows. The drop lands on the
// dark variant when it falls right of the middle of the last column, where
// the swatch's dark half is drawn.
class ColorDropTable : public QTableWidget {
public:
    using DropHandler = std::function<bool(int row, bool dark, const QColor& color, bool perform)>;

    ColorDropTable(int columns, DropHandler handler, QWidget* parent)
        : QTableWidget(0, columns, parent), handler_(std::move(handler)) {
        setAcceptDrops(true);
        viewport()->setAcceptDrops(true);
        setDragDropMode(QAbstractItemView::DropOnly);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasColor())
            event->acceptProposedAction();
        else
            event->ignore();
    }
    void dragMoveEvent(QDragMoveEvent* event) override {
        if (accepts(event->position().toPoint(), event->mimeData(), false))
            event->acceptProposedAction();
        else
            event->ignore();
    }
    void dropEvent(QDropEvent* event) override {
        accepts(event->position().toPoint(), event->mimeData(), true);
        // The drop is applied by hand; the item view must not move items.
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }

private:
    bool accepts(const QPoint& at, const QMimeData* data, bool perform) {
        if (!data->hasColor()) return false;
        const int row = rowAt(at.y());
        if (row < 0) return false;
        const int last = columnCount() - 1;
        const int split = columnViewportPosition(last) + columnWidth(last) / 2;
        return handler_(row, at.x() >= split, qvariant_cast<QColor>(data->colorData()), perform);
    }

    DropHandler handler_;
};

QTableWidgetItem* textItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QTableWidgetItem* swatchItem(const std::vector<Color>& colors) {
    auto* item = textItem(QString());
    QVariantList list;
    for (const Color& color : colors) list << AppDrawing::qtColor(color);
    item->setData(ColorButtonCell::colorsRole, list);
    return item;
}

QString fontDescription(const Font& font) {
    return QStringLiteral("%1, %2 pt").arg(qt(font.family)).arg(font.size, 0, 'g');
}

void setRowItems(QTableWidget* table, int row, std::initializer_list<QTableWidgetItem*> items) {
    int column = 0;
    for (QTableWidgetItem* item : items) table->setItem(row, column++, item);
}

}  // namespace

// ---- Fonts

QWidget* PreferencesController::buildFontsTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    fontTable_ = new ColorDropTable(
        4,
        [this](int row, bool dark, const QColor& color, bool perform) {
            return row >= kFontRows && (!perform || dropColor(fontTable_, row, dark, color));
        },
        tab);
    fontTable_->setHorizontalHeaderLabels({tr("Font"), tr("Face"), tr("Underline"), tr("Text Colours")});
    fontTable_->horizontalHeader()->setSectionResizeMode(FontNameColumn, QHeaderView::ResizeToContents);
    fontTable_->horizontalHeader()->setSectionResizeMode(FontFaceColumn, QHeaderView::Stretch);
    fontTable_->verticalHeader()->hide();
    fontTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    fontTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    fontTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fontTable_->setItemDelegateForColumn(FontColorsColumn,
                                         new ColorButtonCell([this](bool light) { setLightSide(light); }, fontTable_));
    connect(fontTable_, &QTableWidget::cellDoubleClicked, this, &PreferencesController::editFontRow);
    connect(fontTable_, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == FontColorsColumn) editFontRow(row, column);
    });
    connect(fontTable_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!reloading_ && item->column() == FontUnderlineColumn)
            changeUnderline(item->row(), item->checkState() == Qt::Checked);
    });
    connect(fontTable_, &QTableWidget::itemSelectionChanged, this, &PreferencesController::fontSelectionChanged);
    layout->addWidget(fontTable_);
    layout->addWidget(new QLabel(tr("Double-click a font to choose its face; click the left (light) or right (dark) "
                                    "half of a swatch to choose its colour, or drop a colour on it.")));
    return tab;
}

void PreferencesController::reloadFontTable() {
    LibraryFolder* library = AppController::sharedLibrary();
    const int rows = library ? kFontRows + library->editingPrefs().numberOfFontLines() : 0;
    reloading_ = true;
    fontTable_->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        auto* underline = new QTableWidgetItem;
        const int value = library->fontUnderlineForRow(row);
        // The program's own fonts have no underline: a disabled, empty box.
        underline->setFlags(value < 0 ? Qt::ItemIsUserCheckable
                                      : Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        underline->setCheckState(value > 0 ? Qt::Checked : Qt::Unchecked);
        setRowItems(fontTable_, row,
                    {textItem(qt(library->localFontName(row))), textItem(fontDescription(library->fontForRow(row))),
                     underline, swatchItem(library->fontColorsForRow(row))});
    }
    reloading_ = false;
}

void PreferencesController::editFontRow(int row, int column) {
    LibraryFolder* library = AppController::sharedLibrary();
    if (!library || row < 0) return;
    if (column != FontColorsColumn) {
        QFontDialog* panel = showFontPanel();
        pointingPanels_ = true;
        panel->setCurrentFont(AppDrawing::qtFont(library->fontForRow(row)));
        pointingPanels_ = false;
        return;
    }
    if (row < kFontRows) return beep();
    showColorPanel(false);
    showInColorPanel(AppDrawing::qtColor(Preferences::fontColorForPanel(*library, row, lightSide_)));
}

void PreferencesController::fontSelectionChanged() {
    LibraryFolder* library = AppController::sharedLibrary();
    const int row = selectedRow(fontTable_);
    if (!library || row < 0) return;
    pointingPanels_ = true;
    if (fontPanel_) fontPanel_->setCurrentFont(AppDrawing::qtFont(library->fontForRow(row)));
    pointingPanels_ = false;
    if (row >= kFontRows && colorPanel_)
        showInColorPanel(AppDrawing::qtColor(Preferences::fontColorForPanel(*library, row, lightSide_)));
}

void PreferencesController::changeFont(const QFont& font) {
    if (pointingPanels_) return;
    LibraryFolder* library = AppController::sharedLibrary();
    const int row = selectedRow(fontTable_);
    if (!library || !currentTabIndexIs(FontsTab) || row < 0) return beep();
    if (!Preferences::changeFont(*library, row, AppDrawing::font(font))) return beep();
    reloadFontTable();
}

void PreferencesController::changeUnderline(int row, bool on) {
    LibraryFolder* library = AppController::sharedLibrary();
    if (!library || !Preferences::changeUnderline(*library, row, on)) beep();
    reloadFontTable();
}

// ---- Colours

QWidget* PreferencesController::buildColorsTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    colorTable_ = new ColorDropTable(
        2,
        [this](int row, bool dark, const QColor& color, bool perform) {
            return !perform || dropColor(colorTable_, row, dark, color);
        },
        tab);
    colorTable_->setHorizontalHeaderLabels({tr("Colour"), tr("Light and Dark")});
    colorTable_->horizontalHeader()->setSectionResizeMode(ColorNameColumn, QHeaderView::Stretch);
    colorTable_->verticalHeader()->hide();
    colorTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    colorTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    colorTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    colorTable_->setItemDelegateForColumn(ColorSwatchColumn,
                                          new ColorButtonCell([this](bool light) { setLightSide(light); }, colorTable_));
    connect(colorTable_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { editColorRow(row); });
    connect(colorTable_, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == ColorSwatchColumn) editColorRow(row);
    });
    connect(colorTable_, &QTableWidget::itemSelectionChanged, this, &PreferencesController::colorSelectionChanged);
    layout->addWidget(colorTable_);
    layout->addWidget(new QLabel(tr("Click the left (light) or right (dark) half of a swatch to choose its colour, "
                                    "or drop a colour on it.")));
    return tab;
}

void PreferencesController::reloadColorTable() {
    LibraryFolder* library = AppController::sharedLibrary();
    const int rows = library ? LibraryFolder::systemColorRows + library->editingPrefs().numberOfColorLines() : 0;
    colorTable_->setRowCount(rows);
    for (int row = 0; row < rows; ++row)
        setRowItems(colorTable_, row,
                    {textItem(qt(library->localColorName(row))), swatchItem(library->colorsForRow(row))});
}

void PreferencesController::editColorRow(int row) {
    LibraryFolder* library = AppController::sharedLibrary();
    if (!library || row < 0) return;
    showColorPanel(true);
    showInColorPanel(AppDrawing::qtColor(Preferences::colorForPanel(*library, row, lightSide_)));
}

void PreferencesController::colorSelectionChanged() {
    LibraryFolder* library = AppController::sharedLibrary();
    const int row = selectedRow(colorTable_);
    if (library && row >= 0 && colorPanel_)
        showInColorPanel(AppDrawing::qtColor(Preferences::colorForPanel(*library, row, lightSide_)));
}

void PreferencesController::changeColor(const QColor& color) {
    if (pointingPanels_) return;
    LibraryFolder* library = AppController::sharedLibrary();
    if (!library) return beep();
    if (currentTabIndexIs(FontsTab)) {
        const int row = selectedRow(fontTable_);
        if (row < 0 || !Preferences::changeFontColor(*library, row, lightSide_, AppDrawing::color(color))) return beep();
        reloadFontTable();
    } else if (currentTabIndexIs(ColorsTab)) {
        const int row = selectedRow(colorTable_);
        if (row < 0 || !Preferences::changeColor(*library, row, lightSide_, AppDrawing::color(color))) return beep();
        reloadColorTable();
    } else {
        beep();
    }
}

bool PreferencesController::dropColor(QTableWidget* table, int row, bool dark, const QColor& color) {
    LibraryFolder* library = AppController::sharedLibrary();
    if (!library) return false;
    bool applied = false;
    if (table == fontTable_) {
        applied = Preferences::changeFontColor(*library, row, !dark, AppDrawing::color(color));
        reloadFontTable();
    } else if (table == colorTable_) {
        applied = Preferences::changeColor(*library, row, !dark, AppDrawing::color(color));
        reloadColorTable();
    }
    return applied;
}

// ---- Panels

QFontDialog* PreferencesController::showFontPanel() {
    if (!fontPanel_) {
        fontPanel_ = new QFontDialog(this);
        fontPanel_->setWindowFlag(Qt::Tool);
        fontPanel_->setOption(QFontDialog::NoButtons);
        fontPanel_->setModal(false);
        connect(fontPanel_, &QFontDialog::currentFontChanged, this, &PreferencesController::changeFont);
    }
    fontPanel_->show();
    fontPanel_->raise();
    return fontPanel_;
}

QColorDialog* PreferencesController::showColorPanel(bool withAlpha) {
    if (!colorPanel_) {
        colorPanel_ = new QColorDialog(this);
        colorPanel_->setWindowFlag(Qt::Tool);
        colorPanel_->setOption(QColorDialog::NoButtons);
        colorPanel_->setModal(false);
        connect(colorPanel_, &QColorDialog::currentColorChanged, this, &PreferencesController::changeColor);
    }
    colorPanel_->setOption(QColorDialog::ShowAlphaChannel, withAlpha);
    colorPanel_->show();
    colorPanel_->raise();
    return colorPanel_;
}

void PreferencesController::showInColorPanel(const QColor& color) {
    pointingPanels_ = true;
    colorPanel_->setCurrentColor(color);
    pointingPanels_ = false;
}

// ---- Layout variables of the format

QWidget* PreferencesController::buildVariablesTab() {
    auto* tab = new QWidget;
    auto* layout = new QVBoxLayout(tab);
    editingProperties_ = new QTreeWidget(tab);
    editingProperties_->setColumnCount(2);
    editingProperties_->setHeaderLabels({tr("Setting"), tr("Value")});
    editingProperties_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    editingProperties_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                        QAbstractItemView::SelectedClicked);
    connect(editingProperties_, &QTreeWidget::itemChanged, this, &PreferencesController::variableEdited);
    layout->addWidget(editingProperties_);
    layout->addWidget(new QLabel(tr("Double-click a value to change it; record windows are laid out again at once.")));
    return tab;
}

void PreferencesController::reloadVariables() {
    LibraryFolder* library = AppController::sharedLibrary();
    reloading_ = true;
    editingProperties_->clear();
    if (library) {
        const EditingPrefs& prefs = library->editingPrefs();
        const QColor groupBackground = library->inDarkMode() ? QColor::fromRgbF(0.25f, 0.25f, 0.25f)
                                                             : QColor::fromRgbF(0.85f, 0.85f, 0.85f);
        int index = 0;
        for (const auto& group : prefs.formatVariables()) {
            auto* groupItem = new QTreeWidgetItem(editingProperties_, {qt(library->localString(group->listName())), ""});
            groupItem->setFlags(Qt::ItemIsEnabled);
            for (int column = 0; column < 2; ++column) groupItem->setBackground(column, groupBackground);
            for (const Array& entry : group->variables()) {
                const QString label = entry.size() > 0 && entry[0].string() ? qt(library->localString(*entry[0].string()))
                                                                             : QString();
                const QString value = entry.size() > 3 ? qt(EditingPrefs::variableText(entry[3])) : QString();
                auto* item = new QTreeWidgetItem(groupItem, {label, value});
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            }
            // The margin and default-size groups stay folded.
            groupItem->setExpanded(index++ >= 2);
        }
    }
    reloading_ = false;
}

void PreferencesController::variableEdited(QTreeWidgetItem* item, int column) {
    LibraryFolder* library = AppController::sharedLibrary();
    QTreeWidgetItem* group = item->parent();
    if (reloading_ || !library || column != 1 || !group) return;
    library->editingPrefs().editVariable(std::size_t(editingProperties_->indexOfTopLevelItem(group)),
                                         std::size_t(group->indexOfChild(item)), item->text(1).toStdString());
}

// ---- Shared

void PreferencesController::changeFormat() {
    reloadFontTable();
    reloadColorTable();
    reloadVariables();
    loadLanguages();
}

int PreferencesController::selectedRow(QTableWidget* table) const {
    const QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void PreferencesController::beep() {
    ++beeps_;
    QApplication::beep();
}

}  // namespace kl
