#include "app/ui/GEDCOMWindowController.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

#include "app/ui/DocController.h"

namespace kl {

GEDCOMWindowController::GEDCOMWindowController(QWidget* parent) : QMainWindow(parent) {}

GEDCOMWindowController::Record GEDCOMWindowController::selectedRecord() {
    const auto records = selectedRecords();
    if (!records || records->empty()) return nullptr;
    return records->front();
}

void GEDCOMWindowController::addCloseAndQuitItems(QMenu& file) {
    file.addSeparator();
    // Close and Quit run on the next turn: both delete this window, whose
    // menu is still being handled.
    file.addAction(tr("&Close Window"), QKeySequence::Close, this,
                   [this] { QTimer::singleShot(0, this, [this] { close(); }); });
    QAction* quit = file.addAction(tr("&Quit"), QKeySequence::Quit, this, [] {
        if (DocController* controller = DocController::sharedDocumentController())
            QTimer::singleShot(0, controller, [controller] { emit controller->quitRequested(); });
    });
    quit->setMenuRole(QAction::QuitRole);
}

}  // namespace kl
