#include "charts/ui/RelationshipPanel.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ui/Localized.h"
#include "charts/RelationshipChart.h"
#include "charts/RelationshipSearch.h"
#include "charts/ui/ReportsMenu.h"
#include "charts/ui/TreeChartView.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "document/RecordsListForPanel.h"
#include "index/IndexController.h"
#include "index/IndexStyleLibrary.h"
#include "index/ui/IndexWindow.h"
#include "model/INDIRecord.h"
#include "model/LibraryServices.h"

namespace kl {

namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

Color colorOf(const QColor& color) { return {color.redF(), color.greenF(), color.blueF(), color.alphaF()}; }

}  // namespace

void RelationshipPanel::install() {
    IndexWindow::setRelationshipFinder(
        [](IndexWindow& index) { return findRelationship(index, index.controller().selectedRecord()); });
}

bool RelationshipPanel::findRelationship(IndexWindow& index, const std::shared_ptr<GEDCOMRecord>& key) {
    auto person = std::dynamic_pointer_cast<INDIRecord>(key);
    if (!person) return false;
    GEDCOMModel& model = index.document().gedcomModel();
    const auto people = model.recordsIndex().listForType("INDI");
    const auto list = people ? RecordsListForPanel::listWithList(*people) : RecordsListForPanel::listWithType("INDI", &model);
    std::string message = localized("Find relationship of %@ to").toStdString();
    if (const auto at = message.find("%@"); at != std::string::npos) message.replace(at, 2, person->altViewName());
    const Dictionary options{{"message", Value(message)}, {"mustSelect", Value("YES")}};
    QPointer<IndexWindow> window(&index);
    index.runRecordPicker(list, options, [window, person](const std::shared_ptr<GEDCOMRecord>& picked, const Dictionary&) {
        auto from = std::dynamic_pointer_cast<INDIRecord>(picked);
        if (!window || !from) return;
        // After the picker's sheet has gone, so the two sheets never overlap.
        QTimer::singleShot(0, window, [window, person, from] {
            if (!window) return;
            auto* panel = new RelationshipPanel(person, from, *window);
            panel->beginRelationshipSheet(window);
        });
    });
    return true;
}

RelationshipPanel::RelationshipPanel(std::shared_ptr<INDIRecord> to, std::shared_ptr<INDIRecord> from,
                                     IndexWindow& index)
    : KLSheet(kSheetName, &index), index_(index), toRecord_(std::move(to)), fromRecord_(std::move(from)) {
    setWindowTitle(localized("Find Relationship"));
    search_ = std::make_unique<RelationshipSearch>(index.document().gedcomModel(), toRecord_, fromRecord_);

    auto* layout = new QVBoxLayout(this);
    auto* names = new QGridLayout;
    names->addWidget(new QLabel(localized("Relationship of"), this), 0, 0);
    fromNameText_ = new QLabel(this);
    names->addWidget(fromNameText_, 0, 1);
    names->addWidget(new QLabel(localized("to"), this), 1, 0);
    toNameText_ = new QLabel(this);
    names->addWidget(toNameText_, 1, 1);
    names->setColumnStretch(1, 1);
    layout->addLayout(names);

    relationships_ = new QTableWidget(1, 1, this);
    relationships_->setObjectName("relationships");
    relationships_->setHorizontalHeaderLabels({localized("Relationship")});
    relationships_->horizontalHeader()->setStretchLastSection(true);
    relationships_->verticalHeader()->hide();
    relationships_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    relationships_->setSelectionBehavior(QAbstractItemView::SelectRows);
    relationships_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(relationships_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { rowDoubleClicked(row); });
    layout->addWidget(relationships_, 1);

    auto* buttons = new QHBoxLayout;
    relatedHelpButton_ = new QPushButton("?", this);
    relatedHelpButton_->setObjectName("relatedHelpButton");
    relatedHelpButton_->setProperty("helpAnchor", "Editing/related");
    relatedHelpButton_->setProperty("helpPrefix", "index_");
    connect(relatedHelpButton_, &QPushButton::clicked, this, &KLSheet::contextHelpTopic);
    buttons->addWidget(relatedHelpButton_);
    searchProgress_ = new QProgressBar(this);
    searchProgress_->setRange(0, 0);
    searchProgress_->setTextVisible(false);
    buttons->addWidget(searchProgress_, 1);
    chartButton_ = new QPushButton(localized("Chart"), this);
    chartButton_->setProperty("tag", kChartTag);
    chartButton_->setEnabled(false);
    connect(chartButton_, &QPushButton::clicked, this, [this] { getChart(chartButton_); });
    buttons->addWidget(chartButton_);
    doneButton_ = new QPushButton(localized("Stop"), this);
    doneButton_->setDefault(true);
    connect(doneButton_, &QPushButton::clicked, this, &RelationshipPanel::doneClick);
    buttons->addWidget(doneButton_);
    layout->addLayout(buttons);
    resize(420, 320);

    // windowDidLoad
    toNameText_->setText(qt(toRecord_->altViewName()));
    fromNameText_->setText(qt(fromRecord_->altViewName()));
    search_->start();
    if (!search_->searching()) {
        trackSearchProgress(false);
        return;
    }
    reloadTable();
    timer_ = new QTimer(this);
    timer_->setInterval(250);
    connect(timer_, &QTimer::timeout, this, [this] { trackSearchProgress(true); });
    timer_->start();
}

RelationshipPanel::~RelationshipPanel() = default;

void RelationshipPanel::beginRelationshipSheet(QWidget* window) {
    // relationshipDone: the panel goes when its sheet ends.
    startSheet(window, [](KLSheet& sheet, const Value&) { sheet.deleteLater(); });
}

bool RelationshipPanel::searching() const { return search_->searching(); }

void RelationshipPanel::beep() {
    ++beeps_;
    QApplication::beep();
}

void RelationshipPanel::reloadTable() {
    const auto rows = search_->results();
    const int shown = std::max<int>(1, static_cast<int>(rows.size()));
    const int selected = relationships_->currentRow();
    relationships_->setRowCount(shown);
    for (int row = 0; row < shown; ++row) {
        QString text;
        if (row < static_cast<int>(rows.size()))
            text = qt(rows[static_cast<std::size_t>(row)].name);
        else if (row == 0)
            text = search_->searching() ? localized("(no relationships found yet)")
                                        : localized("No relationships were found");
        auto* item = new QTableWidgetItem(text);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        relationships_->setItem(row, 0, item);
    }
    if (!rows.empty()) relationships_->selectRow(selected >= 0 && selected < shown ? selected : 0);
    chartButton_->setEnabled(!rows.empty());
}

void RelationshipPanel::trackSearchProgress(bool fromTimer) {
    if (search_->searching()) {
        const std::size_t count = search_->resultCount();
        if (count > foundResults_) {
            foundResults_ = count;
            reloadTable();
        }
        return;
    }
    if (fromTimer && timer_) {
        timer_->stop();
        timer_->deleteLater();
        timer_ = nullptr;
    }
    search_->wait();
    doneButton_->setText(localized("Close"));
    searchProgress_->hide();
    foundResults_ = search_->resultCount();
    reloadTable();
}

void RelationshipPanel::doneClick() {
    if (search_->searching()) {
        // The walk ends at its next family; what it found stays.
        search_->stop();
        search_->wait();
        trackSearchProgress(timer_ != nullptr);
        return;
    }
    endWithCode(CancelCode);
}

void RelationshipPanel::rowDoubleClicked(int row) {
    if (row >= 0 && static_cast<std::size_t>(row) < search_->resultCount())
        getChart(chartButton_);
    else
        beep();
}

void RelationshipPanel::getChart(QObject* sender) {
    if (search_->searching()) {
        search_->stop();
        search_->wait();
        trackSearchProgress(timer_ != nullptr);
        if (!sender || sender->property("tag").toInt() == 0) return;
    }
    const auto rows = search_->results();
    const int row = relationships_->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) {
        beep();
        return;
    }
    const ChartColors colors = ChartColors::fromDefaults(index_.userDefaults(), false);
    RelationshipChart::Colors css;
    css.male = RelationshipChart::translateColor(colorOf(colors.maleCell), nullptr, false);
    css.female = RelationshipChart::translateColor(colorOf(colors.femaleCell), nullptr, false);
    const auto style = index_.styleLibrary() ? index_.styleLibrary()->indexStyleForType("Ancest", nullptr) : nullptr;
    GEDCOMModel& model = index_.document().gedcomModel();
    RelationshipChart chart(toRecord_, fromRecord_, style, &model, css);
    const std::string page = chart.chartPage(rows[static_cast<std::size_t>(row)]);
    ReportsMenu* reports = ReportsMenu::of(index_);
    if (!reports) reports = ReportsMenu::addReportsMenu(index_);
    reports->addOpenReport(page, chart.title());
    if (rows.size() <= 1) QTimer::singleShot(0, this, &RelationshipPanel::doneClick);
}

}  // namespace kl
