#include "editor/ui/KinloreEditorDBus.h"

#include "editor/ui/FormatWindow.h"
#include "editor/ui/KXDocController.h"

namespace kl {

KinloreEditorDBus::KinloreEditorDBus(KXDocController& controller) : controller_(controller) {}

bool KinloreEditorDBus::registerOn(QDBusConnection connection) {
    return busObject_.registerOn(connection, kService, kPath, this);
}

void KinloreEditorDBus::ShowTemplate(const QString& named, const QString& typed) {
    FormatDocument* document = controller_.frontDocument();
    FormatWindow* window = document ? controller_.windowForDocument(*document) : nullptr;
    if (!window) {
        if (calledFromDBus()) sendErrorReply(kNoSuchObjectError, QStringLiteral("No format document is open."));
        return;
    }
    const auto failure = window->showTemplateScriptCommand(named.toStdString(), typed.toStdString());
    if (failure && calledFromDBus()) sendErrorReply(kNoSuchObjectError, QString::fromStdString(failure->text));
    if (!failure) {
        window->raise();
        window->activateWindow();
    }
}

}  // namespace kl
