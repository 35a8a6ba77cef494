#include "app/ui/GEDCOMWindowController.h"

namespace kl {

GEDCOMWindowController::GEDCOMWindowController(QWidget* parent) : QMainWindow(parent) {}

GEDCOMWindowController::Record GEDCOMWindowController::selectedRecord() {
    const auto records = selectedRecords();
    if (!records || records->empty()) return nullptr;
    return records->front();
}

}  // namespace kl
