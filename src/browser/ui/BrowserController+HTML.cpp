// The large text pane of a record window: the scroller beside the pane of
// cells, its place in the window's split, the HTML source and content
// commands of the Records menu, record links and style sheets chosen for
// the pane's text, and the alert of a page file that could not be written.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QScrollArea>
#include <QSplitter>

#include <algorithm>
#include <cmath>

#include "app/ui/AppAlerts.h"
#include "browser/ui/BrowserController.h"
#include "cells/EditPaneCell.h"
#include "cells/ui/PaneScroller.h"
#include "cells/ui/WebPaneView.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordIdsDrag.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "document/RecordsListForPanel.h"
#include "foundation/MainThread.h"
#include "index/DocumentWindows.h"
#include "index/ui/SelectRecordController.h"
#include "model/GEDCOMRecord.h"

namespace kl {

void BrowserController::setUpTextPane() {
    textPane_ = new PaneScroller;
    textPane_->setModel([this]() -> const GEDCOMModel* { return &doc_.gedcomModel(); });
    textPane_->setRecordOpener([this](const RecordPtr& record) { windows_.openRecordBrowser(record, paneID_); });
    HTMLTextView::Host host;
    host.chooseRecord = [this](const std::string& type, const std::string& message,
                               std::function<void(const RecordPtr&)> answer) {
        chooseRecordForPane(type, message, std::move(answer));
    };
    host.selectCSS = [this] { selectCSS(); };
    host.viewHTMLContent = [this] { viewHTMLContent(); };
    host.droppedRecords = [this](const QMimeData& data) -> std::optional<std::vector<RecordPtr>> {
        const auto drag = decodeRecordIdsDrag(data.data(kRecordIdsMimeType).toStdString());
        if (!drag || drag->documentKey != documentKeyFor(&doc_)) return std::nullopt;
        std::vector<RecordPtr> records;
        for (const auto& id : drag->ids)
            if (auto record = doc_.gedcomModel().recordWithID(id)) records.push_back(record);
        return records;
    };
    textPane_->setTextHost(std::move(host));
    // Hidden in the split while a pane has no large text.
    split_->addWidget(textPane_);
    textPane_->hide();
}

void BrowserController::placeTextPane(bool firstLoad) {
    const auto& cell = builder_.splitCell();
    if (!cell) {
        textPane_->hide();
        return;
    }
    split_->setOrientation(cell->isVerticalSplit() ? Qt::Horizontal : Qt::Vertical);
    const int wanted = cell->isTopOrLeftSplit() ? 0 : 1;
    if (split_->indexOf(textPane_) != wanted) split_->insertWidget(wanted, textPane_);
    const bool shown = textPane_->isVisibleTo(this);
    textPane_->show();
    if (firstLoad || !shown) {
        // The pane takes its share of the window; the cells keep the rest.
        const double share = std::clamp(cell->fraction(), 0.1, 0.95);
        const int whole = cell->isVerticalSplit() ? split_->width() : split_->height();
        const int pane = int(std::lround(whole * share));
        QList<int> sizes{whole - pane, pane};
        if (wanted == 0) std::swap(sizes[0], sizes[1]);
        split_->setSizes(sizes);
    }
}

// ---- the Records menu

void BrowserController::addHTMLItems() {
    QAction* source = recordsMenu_->addAction(tr("View HTML Content"));
    source->setData(kHTMLSourceTag);
    connect(source, &QAction::triggered, this, [this] { editHTMLSource(); });
    QAction* content = recordsMenu_->addAction(tr("View HTML Content"));
    content->setData(kHTMLContentTag);
    connect(content, &QAction::triggered, this, [this] { viewHTMLContent(); });
    connect(recordsMenu_, &QMenu::aboutToShow, this, [this] { validateHTMLItems(); });
}

std::optional<std::string> BrowserController::htmlSourceTitle() const {
    if (!builder_.splitCell() || !textPane_->hasHTMLText()) return std::nullopt;
    if (textPane_->viewType() == PaneShowsText) return "View HTML Content";
    return record_ && record_->isType("_RPT") ? "View HTML Source" : "Edit HTML Source";
}

bool BrowserController::canViewHTMLContent() const {
    return builder_.splitCell() && textPane_->hasHTMLText() && !(record_ && record_->isType("_RPT"));
}

void BrowserController::validateHTMLItems() {
    for (QAction* action : recordsMenu_->actions()) {
        const int tag = action->data().toInt();
        if (tag == kHTMLSourceTag) {
            const auto title = htmlSourceTitle();
            action->setEnabled(title.has_value());
            if (title) action->setText(tr(title->c_str()));
        }
        if (tag == kHTMLContentTag) action->setEnabled(canViewHTMLContent());
    }
}

void BrowserController::editHTMLSource() {
    if (!htmlSourceTitle()) {
        beep();
        return;
    }
    htmlSourceMode_ = textPane_->viewType() == PaneShowsPage ? PaneShowsText : PaneShowsPage;
    background_.setCurrentHtmlSourceMode(htmlSourceMode_);
    if (endActiveCell(0) != EditRefused) reloadRecord(nullptr);
}

void BrowserController::viewHTMLContent() {
    htmlSourceMode_ = PaneShowsPage;
    background_.setCurrentHtmlSourceMode(htmlSourceMode_);
    if (endActiveCell(0) != EditRefused) reloadRecord(nullptr);
}

// ---- what the pane's text asks of the window

void BrowserController::chooseRecordForPane(const std::string& type, const std::string& message,
                                            std::function<void(const RecordPtr&)> answer) {
    const auto list = doc_.gedcomModel().recordsIndex().listForType(type);
    if (!list || list->count() == 0) {
        beep();
        return;
    }
    Dictionary options{{"message", Value(message)}, {"mustSelect", Value(std::string("YES"))}};
    getRecordPicker()->selectRecordFrom(RecordsListForPanel::listWithList(*list), options, this,
                                        [answer = std::move(answer)](const RecordPtr& record, const Dictionary&) {
                                            if (record) answer(record);
                                        });
}

void BrowserController::selectCSS() {
    const auto list = doc_.gedcomModel().recordsIndex().listForType("OBJE");
    const auto sheets = list ? list->recordsWithTag("FORM", "css", false) : RecordsList::Records{};
    if (sheets.empty()) {
        AppAlerts::criticalAlert("No cascading style sheets (CSS) could be found in this file.",
                                 std::string("Before attaching, create a muiltimedia object and link it to a CSS file."),
                                 this);
        return;
    }
    Array items;
    for (const auto& sheet : sheets) items.emplace_back(std::static_pointer_cast<Object>(sheet));
    Dictionary options{{"message", Value(std::string("Select global cascading style sheet"))},
                       {"mustSelect", Value(std::string("YES"))},
                       {"recordType", Value(std::string("OBJE"))}};
    auto panel = GEDCOMModel::getListFromArray(items, false, &options, &doc_.gedcomModel());
    getRecordPicker()->selectRecordFrom(panel, options, this,
                                        [this](const RecordPtr& record, const Dictionary&) { selectCSSNow(record); });
}

void BrowserController::selectCSSNow(const RecordPtr& sheet) {
    const auto& cell = builder_.splitCell();
    if (!sheet || !cell) {
        beep();
        return;
    }
    if (!cell->attachCSS(sheet->grecordID())) return;
    cell->endStructureEditing(true);
    reloadRecord(nullptr);
}

void BrowserController::failedToSaveHTML(const std::string& error) {
    Dispatcher::current().postDeferred(this, [this, error] {
        AppAlerts::criticalAlert("A temporary file needed to display HTML content failed to write.", error, this);
    });
}

}  // namespace kl
