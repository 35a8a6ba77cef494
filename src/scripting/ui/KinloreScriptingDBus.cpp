#include "scripting/ui/KinloreScriptingDBus.h"

#include <QPointer>
#include <QTimer>

#include <filesystem>
#include <string>

#include "foundation/AsciiText.h"
#include "scripting/ScriptRunner.h"
#include "scripting/ui/ScriptsDesktop.h"

namespace kl {

KinloreScriptingDBus::KinloreScriptingDBus(ScriptsDesktop& scripts) : scripts_(scripts) {}

bool KinloreScriptingDBus::registerOn(QDBusConnection connection) {
    return busObject_.registerOn(connection, kService, kPath, this);
}

void KinloreScriptingDBus::RunScript(const QString& given) {
    const std::filesystem::path path(given.toStdString());
    // The reply goes out first; an extension may ask which of its scripts
    // to run, and the script itself runs as long as it likes.
    QTimer::singleShot(0, this, [this, path] {
        std::string title = path.stem().string();
        std::filesystem::path script = path;
        if (asciiLower(path.extension().string()) == ".kplug") {
            auto decoded = scripts_.runner().decodePluginBundle(path, title);
            if (!decoded) return;
            script = *decoded;
        }
        scripts_.runner().runScriptAtPath(script, title, ScriptRunSource::AppleEvent);
    });
}

}  // namespace kl
