// The chart boxes' open and edit commands in a relatives window.
#include <QApplication>
#include <QMenu>
#include <QTimer>

#include "app/ui/AppAlerts.h"
#include "app/ui/Localized.h"
#include "charts/ui/RelationshipPanel.h"
#include "charts/ui/RelativesController.h"
#include "charts/ui/TreeChartView.h"
#include "document/GEDCOMDocument.h"
#include "document/RecordsListForPanel.h"
#include "document/ui/DocumentMenus.h"
#include "index/DocumentWindows.h"
#include "index/ui/IndexWindow.h"
#include "index/ui/SelectRecordController.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {

void RelativesController::addBoxCommands(QMenu& menu, TreeItem& item) {
    boxRecords_ = BoxRecords::of(item);
    QAction* first = menu.actions().value(0);
    for (const BoxMenuItem& entry : ChartBoxCommands::menuItems(boxRecords_)) {
        if (entry.title.empty()) {
            menu.insertSeparator(first);
            continue;
        }
        auto* action = new QAction(localized(entry.title.c_str()), &menu);
        action->setData(entry.tag);
        action->setEnabled(entry.tag >= 0);
        menu.insertAction(first, action);
    }
}

namespace {

IndexWindow* indexWindowOf(GEDCOMDocument& document) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* index = qobject_cast<IndexWindow*>(widget); index && &index->document() == &document) return index;
    return nullptr;
}

}  // namespace

bool RelativesController::boxCommand(int tag) {
    if (tag < 0 || tag > ChartBoxCommands::NewFamilyWithNewSpouses) return false;
    const BoxRecords box = boxRecords_;
    GEDCOMModel& model = doc_.gedcomModel();
    const auto open = [this](std::shared_ptr<GEDCOMRecord> record) {
        if (!record) return beep();
        QTimer::singleShot(0, this, [this, record] { windows_.openRecordBrowser(record); });
    };
    switch (tag) {
    case ChartBoxCommands::OpenFamily: open(box.family); return true;
    case ChartBoxCommands::OpenIndividual:
        if (TreeItem* item = chart_ ? chart_->selectedCell() : nullptr)
            openChartItem(*item, false);
        else
            open(box.person);
        return true;
    case ChartBoxCommands::OpenParentsFamily: open(box.person ? box.person->parentsFAM() : nullptr); return true;
    case ChartBoxCommands::ViewRelationship: {
        IndexWindow* index = indexWindowOf(doc_);
        if (!index || !RelationshipPanel::findRelationship(*index, box.person)) beep();
        return true;
    }
    case ChartBoxCommands::NewFamilyWithNewSpouses: {
        if (!box.person) return true;
        QPointer<RelativesController> window(this);
        documentMenus_->showNewFamilySheet([window, box](int code, const Array& settings) {
            if (!window || code != 1) return;
            if (!ChartBoxCommands::newFamilyWithNewSpouses(box, window->doc_.gedcomModel(), settings)) {
                window->beep();
                AppAlerts::criticalAlert(ChartBoxCommands::kNoNewAncestor, "", window);
            }
        });
        return true;
    }
    default: break;
    }
    if (ChartBoxCommands::perform(tag, box, model)) return true;
    auto ask = ChartBoxCommands::selection(tag, box, model);
    if (!ask) return true;
    auto list = RecordsListForPanel::listWithType(ask->options.get("recordType") ? ask->options.get("recordType")->toString()
                                                                                 : std::string("INDI"),
                                                  &model);
    for (const auto& record : ask->candidates) list->addRecord(record);
    if (!boxPicker_) boxPicker_ = new SelectRecordController(this);
    QPointer<RelativesController> window(this);
    boxPicker_->selectRecordFrom(list, ask->options, this,
                                 [window, tag, box](const std::shared_ptr<GEDCOMRecord>& chosen, const Dictionary& info) {
                                     if (window)
                                         ChartBoxCommands::finishSelection(tag, box, window->doc_.gedcomModel(), chosen,
                                                                           info);
                                 });
    return true;
}

}  // namespace kl
