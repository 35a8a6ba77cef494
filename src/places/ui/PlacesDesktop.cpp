#include "places/ui/PlacesDesktop.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>

#include "app/ui/DocController.h"
#include "charts/ui/ReportsMenu.h"
#include "index/IndexController.h"
#include "index/ui/IndexWindow.h"
#include "model/PlaceRecord.h"
#include "places/Map_BOXCell.h"
#include "places/PlaceEventsReport.h"
#include "places/ui/DerevAzeduze.h"
#include "places/ui/MapCellView.h"

namespace kl {

void PlacesDesktop::install(DocController& controller, UserDefaults& defaults) {
    DerevAzeduze::install(defaults);
    MapCellView::install();
    Map_BOXCell::setSettingsSource([&defaults] { return Map_BOXCell::settingsFromDefaults(defaults); });
    DocController::WindowFactory made = controller.windowFactory();
    if (!made) return;
    controller.setWindowFactory([made](GEDCOMDocument& document, DocController& documents) {
        std::unique_ptr<QMainWindow> window = made(document, documents);
        if (auto* index = dynamic_cast<IndexWindow*>(window.get())) addToIndexWindow(*index);
        return window;
    });
}

void PlacesDesktop::addToIndexWindow(IndexWindow& window) {
    ReportsMenu* reports = ReportsMenu::of(window);
    if (!reports) return;
    QMenu* menu = reports->menu();
    QAction* item = menu->addAction(QObject::tr("Place Events Report"));
    item->setData(kPlaceEventsReportTag);
    QObject::connect(item, &QAction::triggered, &window, [&window] { placeEventsReport(window); });
    QObject::connect(menu, &QMenu::aboutToShow, item, [item, &window] {
        item->setEnabled(window.validateMenuTag(kPlaceEventsReportTag).enabled);
    });
    item->setEnabled(window.validateMenuTag(kPlaceEventsReportTag).enabled);
}

void PlacesDesktop::placeEventsReport(IndexWindow& window) {
    ReportsMenu* reports = ReportsMenu::of(window);
    auto place = std::dynamic_pointer_cast<PlaceRecord>(window.controller().selectedRecord());
    if (!reports || !place) {
        QApplication::beep();
        return;
    }
    auto report = std::make_shared<PlaceEventsReport>(window.document(), *reports);
    report->setRecord(place);
    report->beginReport();
}

}  // namespace kl
