#include "app/ui/PageLayoutSheet.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPageSize>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/ui/PrintMarginsView.h"
#include "document/DocumentCommands.h"
#include "document/GEDCOMDocument.h"

namespace kl {

namespace {

constexpr const char* kPaperName = "PaperName";
constexpr const char* kOrientation = "Orientation";

const QPageSize::PageSizeId kPapers[] = {QPageSize::Letter, QPageSize::Legal,   QPageSize::Tabloid,
                                         QPageSize::A3,     QPageSize::A4,      QPageSize::A5,
                                         QPageSize::B5,     QPageSize::Executive};

QPageSize paperOf(const Dictionary& printInfo) {
    const Value* name = printInfo.get(kPaperName);
    if (name && name->string())
        for (const QPageSize::PageSizeId id : kPapers)
            if (QPageSize::key(id).compare(QString::fromStdString(*name->string()), Qt::CaseInsensitive) == 0)
                return QPageSize(id);
    return QPageSize(QPageSize::Letter);
}

bool landscapeOf(const Dictionary& printInfo) {
    const Value* orientation = printInfo.get(kOrientation);
    return orientation && orientation->isNumber() && orientation->toInteger() == 1;
}

double marginOf(const Dictionary& printInfo, const char* key) {
    const Value* value = printInfo.get(key);
    return value && value->isNumber() ? std::max(0.0, value->toReal(0)) : 0.0;
}

}  // namespace

QPageLayout PageLayoutSheet::pageLayout(const Dictionary& printInfo) {
    const QMarginsF margins(marginOf(printInfo, "LeftMargin"), marginOf(printInfo, "TopMargin"),
                            marginOf(printInfo, "RightMargin"), marginOf(printInfo, "BottomMargin"));
    QPageLayout layout(paperOf(printInfo), landscapeOf(printInfo) ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(), QPageLayout::Point);
    // Margins the paper cannot hold are given up rather than refused.
    layout.setMode(QPageLayout::StandardMode);
    if (!layout.setMargins(margins)) layout.setMargins(QMarginsF());
    return layout;
}

PageLayoutSheet::PageLayoutSheet(const Dictionary& printInfo, bool withMargins, QWidget* parent)
    : KLSheet("PageLayout", parent), printInfo_(printInfo) {
    setWindowTitle(tr("Page Setup"));
    paper_ = new QComboBox(this);
    const QPageSize current = paperOf(printInfo);
    for (const QPageSize::PageSizeId id : kPapers) {
        paper_->addItem(QPageSize::name(id), QPageSize::key(id));
        if (QPageSize(id).isEquivalentTo(current)) paper_->setCurrentIndex(paper_->count() - 1);
    }
    auto* portrait = new QRadioButton(tr("Portrait"), this);
    auto* landscape = new QRadioButton(tr("Landscape"), this);
    orientation_ = new QButtonGroup(this);
    orientation_->addButton(portrait, 0);
    orientation_->addButton(landscape, 1);
    (landscapeOf(printInfo) ? landscape : portrait)->setChecked(true);
    auto* orientationRow = new QHBoxLayout;
    orientationRow->addWidget(portrait);
    orientationRow->addWidget(landscape);

    auto* form = new QFormLayout;
    form->addRow(tr("Paper size:"), paper_);
    form->addRow(tr("Orientation:"), orientationRow);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    if (withMargins) {
        margins_ = new PrintMarginsView(this);
        margins_->fillMarginsCtrl(printInfo);
        layout->addWidget(margins_);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &KLSheet::okClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &KLSheet::cancelClick);
    layout->addWidget(buttons);
}

PageLayoutSheet* PageLayoutSheet::runPageLayout(GEDCOMDocument& document, QWidget* window, int context) {
    const Dictionary& settings =
        context == 2 ? document.chartInfo() : context == 1 ? document.browserInfo() : document.printInfo();
    auto* sheet = new PageLayoutSheet(settings, context != 2, window);
    GEDCOMDocument* doc = &document;
    sheet->startSheet(window, [doc, context](KLSheet& done, const Value& code) {
        auto& layout = static_cast<PageLayoutSheet&>(done);
        const int returned = static_cast<int>(code.toInteger(KLSheet::CancelCode));
        Dictionary edited = layout.printInfo();
        if (DocumentCommands::pageLayoutDidEnd(returned, context) && layout.marginsView())
            layout.marginsView()->readMarginsView(edited);
        if (returned != KLSheet::CancelCode) {
            if (context == 2)
                doc->setChartInfo(std::move(edited));
            else if (context == 1)
                doc->setBrowserInfo(std::move(edited));
            else
                doc->setPrintInfo(std::move(edited));
        }
        done.deleteLater();
    });
    return sheet;
}

void PageLayoutSheet::setLandscape(bool landscape) { orientation_->button(landscape ? 1 : 0)->setChecked(true); }

Dictionary PageLayoutSheet::printInfo() const {
    Dictionary info = printInfo_;
    info.set(kPaperName, paper_->currentData().toString().toStdString());
    info.set(kOrientation, static_cast<std::int64_t>(orientation_->checkedId() == 1 ? 1 : 0));
    return info;
}

}  // namespace kl
