#include "index/ui/ColumnSheet.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

#include "app/AppController.h"
#include "app/ui/AppAlerts.h"
#include "document/IndexStyle.h"
#include "index/IndexController.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

std::string localized(const std::string& key) { return LibraryServices::current()->localString(key); }
QString qlocalized(const std::string& key) { return QString::fromStdString(localized(key)); }
QString qtext(const std::string& text) { return QString::fromStdString(text); }
std::string text(const QLineEdit* field) { return field->text().toStdString(); }

// The widest column worth typing; the style's reader raises anything
// narrower than its minimum.
constexpr int kWidestColumn = 99999;

}  // namespace

ColumnSheet::ColumnSheet(QWidget* parent) : KLSheet("ColumnEditingPanel", parent) {
    sheetTitle_ = new QLabel(this);
    QFont bold = sheetTitle_->font();
    bold.setBold(true);
    sheetTitle_->setFont(bold);

    columnName_ = new QLineEdit(this);
    columnExpressionTitle_ = new QLabel(qlocalized("Expression:"), this);
    columnExpression_ = new QLineEdit(this);
    columnAltExpressionTitle_ = new QLabel(qlocalized("Alternate Expression:"), this);
    columnAltExpression_ = new QLineEdit(this);
    columnWidth_ = new QLineEdit(this);
    columnWidth_->setValidator(new QIntValidator(0, kWidestColumn, columnWidth_));
    columnJustification_ = new QComboBox(this);
    for (const char* item : {"Left", "Center", "Right"}) columnJustification_->addItem(qlocalized(item));
    samplesMenu_ = new QComboBox(this);
    chartLabelTitle_ = new QLabel(qlocalized("Chart Label:"), this);
    chartLabelOptions_ = new QComboBox(this);
    chartLabelOptions_->addItem(qlocalized("none"));
    for (const char* prefix : {"+", "-", "\xC2\xB1"}) chartLabelOptions_->addItem(QString::fromUtf8(prefix));

    auto* form = new QFormLayout;
    form->addRow(qlocalized("Title:"), columnName_);
    form->addRow(columnExpressionTitle_, columnExpression_);
    form->addRow(columnAltExpressionTitle_, columnAltExpression_);
    form->addRow(qlocalized("Width:"), columnWidth_);
    form->addRow(qlocalized("Alignment:"), columnJustification_);
    form->addRow(qlocalized("Samples:"), samplesMenu_);
    form->addRow(chartLabelTitle_, chartLabelOptions_);

    auto* help = new QPushButton(QStringLiteral("?"), this);
    help->setObjectName(QStringLiteral("help"));
    // The help system reads the page to show from the pressed button.
    help->setProperty("helpAnchor", QString::fromLatin1(kHelpAnchor));
    help->setProperty("helpPrefix", QString::fromLatin1(kHelpPrefix));
    help->setAutoDefault(false);
    cancelButton_ = new QPushButton(qlocalized("Cancel"), this);
    cancelButton_->setAutoDefault(false);
    okButton_ = new QPushButton(qlocalized("OK"), this);
    okButton_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch(1);
    buttons->addWidget(cancelButton_);
    buttons->addWidget(okButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sheetTitle_);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(help, &QPushButton::clicked, this, &KLSheet::contextHelpTopic);
    connect(cancelButton_, &QPushButton::clicked, this, &KLSheet::cancelClick);
    connect(okButton_, &QPushButton::clicked, this, &ColumnSheet::okClick);
    connect(samplesMenu_, &QComboBox::activated, this, qOverload<int>(&ColumnSheet::selectSampleExpression));
    connect(columnExpression_, &QLineEdit::textEdited, this, &ColumnSheet::controlTextDidChange);
    connect(columnAltExpression_, &QLineEdit::textEdited, this, &ColumnSheet::controlTextDidChange);
}

bool ColumnSheet::startSheet(int tag, std::shared_ptr<IndexStyle> style, int highlightedColumn, int32_t tableType,
                             const Dictionary* definedColumns, QWidget* window) {
    auto editing = ColumnEditing::startSheet(tag, std::move(style), highlightedColumn, tableType, definedColumns);
    if (!editing) return false;
    editing_ = std::move(editing);
    awakeFromNib();
    KLSheet::startSheet(window, [this](KLSheet&, const Value& code) {
        columnEditingDidEnd(static_cast<int>(code.toInteger(CancelCode)));
    });
    return true;
}

bool ColumnSheet::startSheet(int tag, const IndexController& controller, QWidget* window) {
    return startSheet(tag, controller.shownStyle(), controller.highlightedColumn(), ColumnEditing::IndexTable,
                      controller.definedColumns(), window);
}

void ColumnSheet::awakeFromNib() {
    samplesMenu_->clear();
    for (const auto& sample : editing_->samples()) {
        samplesMenu_->addItem(qtext(sample.title));
        samplesMenu_->setItemData(samplesMenu_->count() - 1, qtext(sample.expression), Qt::ToolTipRole);
    }
    const bool tree = editing_->isTreeMode();
    columnExpressionTitle_->setVisible(!tree);
    columnExpression_->setVisible(!tree);
    chartLabelTitle_->setVisible(tree);
    chartLabelOptions_->setVisible(tree);
    columnAltExpressionTitle_->setText(tree ? columnExpressionTitle_->text() : qlocalized("Alternate Expression:"));
    showFields(editing_->fields());
    setWindowTitle(sheetTitle_->text());
    columnName_->setFocus();
    columnName_->selectAll();
}

void ColumnSheet::showFields(const ColumnSheetFields& f) {
    sheetTitle_->setText(qlocalized(f.sheetTitle));
    columnName_->setText(qtext(f.name));
    columnExpression_->setText(qtext(f.expression));
    columnAltExpression_->setText(qtext(f.altExpression));
    columnWidth_->setText(qtext(f.width));
    columnJustification_->setCurrentIndex(f.justification);
    chartLabelOptions_->setCurrentIndex(f.chartLabel);
    samplesMenu_->setCurrentIndex(f.sample);
}

ColumnSheetFields ColumnSheet::fields() const {
    ColumnSheetFields f;
    f.name = text(columnName_);
    f.expression = editing_ && editing_->isTreeMode() ? std::string() : text(columnExpression_);
    f.altExpression = text(columnAltExpression_);
    f.width = text(columnWidth_);
    f.justification = columnJustification_->currentIndex();
    f.chartLabel = chartLabelOptions_->currentIndex();
    f.sample = samplesMenu_->currentIndex();
    return f;
}

void ColumnSheet::selectSampleExpression(int item) {
    selectSampleExpression(item, QApplication::keyboardModifiers().testFlag(Qt::AltModifier));
}

void ColumnSheet::selectSampleExpression(int item, bool optionHeld) {
    if (!editing_) return;
    ColumnSheetFields f = fields();
    editing_->selectSampleExpression(f, item, optionHeld);
    columnName_->setText(qtext(f.name));
    columnExpression_->setText(qtext(f.expression));
    columnAltExpression_->setText(qtext(f.altExpression));
    samplesMenu_->setCurrentIndex(f.sample);
}

void ColumnSheet::controlTextDidChange() {
    if (editing_) samplesMenu_->setCurrentIndex(editing_->selectExpressionInMenu(fields()));
}

void ColumnSheet::okClick() {
    if (editing_) {
        if (const auto refusal = editing_->editColumnPanelDone(fields())) {
            AppAlerts::criticalAlert(localized(refusal->message), localized(refusal->informative), this);
            return;
        }
    }
    KLSheet::okClick();
}

void ColumnSheet::columnEditingDidEnd(int code) {
    if (code != OKCode || !editing_) return;
    const int column = editing_->columnEditingDidEnd(fields());
    if (written_) written_(column);
}

// ---- ColumnCommands

namespace {

void confirm(QWidget* window, const std::string& message, const std::string& informative,
             std::function<void()> onOK) {
    AppAlerts::beginAlertSheet(window, AlertButtons::Critical, message, informative,
                               AlertButtons(localized("OK"), localized("Cancel"), std::nullopt),
                               [onOK = std::move(onOK)](int response) {
                                   if (response == AlertButtons::firstButtonResponse && onOK) onOK();
                               });
}

std::string replaceFirst(std::string format, const std::string& value) {
    if (const auto at = format.find("%@"); at != std::string::npos) format.replace(at, 2, value);
    return format;
}

}  // namespace

void ColumnCommands::confirmDeleteColumn(QWidget* window, const std::string& columnTitle,
                                         std::function<void()> onOK) {
    confirm(window, replaceFirst(localized("Are you sure you want to delete the '%@' column?"), columnTitle),
            localized("The column deletion cannot be undone"), std::move(onOK));
}

void ColumnCommands::deleteIndexColumn(QWidget* window, IndexController& controller, int styleColumn) {
    const auto style = controller.shownStyle();
    if (!style || styleColumn < 0 || static_cast<std::size_t>(styleColumn) >= style->numberOfColumns()) return;
    // The window may close while the question is up; then nothing is deleted.
    QPointer<QWidget> alive(window);
    const std::weak_ptr<IndexStyle> asked = style;
    confirmDeleteColumn(window, style->columns()[static_cast<std::size_t>(styleColumn)].label,
                        [alive, window, asked, &controller, styleColumn] {
                            if (window && !alive) return;
                            // Only the column the user was asked about.
                            if (controller.shownStyle() != asked.lock()) return;
                            controller.deleteIndexColumn(styleColumn);
                        });
}

void ColumnCommands::confirmRevertToDefaultColumns(QWidget* window, std::function<void()> onOK) {
    confirm(window, localized("Are you sure you want to revert to the default columns for these records?"),
            localized("Reverting to default columns cannot be undone"), std::move(onOK));
}

void ColumnCommands::revertToDefaultColumns(QWidget* window, IndexController& controller) {
    if (!controller.shownStyle()) return;
    QPointer<QWidget> alive(window);
    confirmRevertToDefaultColumns(window, [alive, window, &controller] {
        if (window && !alive) return;
        Dictionary defaults;
        try {
            defaults = AppController::readBundleDictionary("Index");
        } catch (const std::exception&) {
            // Without the bundled list every type takes the default style.
        }
        controller.revertToDefaultColumns(defaults);
    });
}

}  // namespace kl
