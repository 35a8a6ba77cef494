#include "app/ui/WindowFileMenu.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

#include "app/ui/DocController.h"
#include "app/ui/StandardKeys.h"

namespace kl::WindowFileMenu {

void addCloseAndQuit(QMenu& file, QWidget& window) {
    if (!file.actions().isEmpty()) file.addSeparator();
    QWidget* target = &window;
    file.addAction(QObject::tr("&Close Window"), QKeySequence::Close, target,
                   [target] { QTimer::singleShot(0, target, [target] { target->close(); }); });
    QAction* quit = file.addAction(QObject::tr("&Quit"), quitKeys(), target, [] {
        if (DocController* controller = DocController::sharedDocumentController())
            QTimer::singleShot(0, controller, [controller] { emit controller->quitRequested(); });
    });
    quit->setMenuRole(QAction::QuitRole);
}

}  // namespace kl::WindowFileMenu
