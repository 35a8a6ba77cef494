#pragma once
// KinloreScriptingDBus: Kinlore II's scripting interface on the session
// bus, as far as Kinlore Editor needs it for Save and Run. Service
// "org.kinlore.KinloreII", object "/org/kinlore/KinloreII", interface
// "org.kinlore.KinloreII.Scripting". RunScript(path) runs a script file or
// an extension package the way the Extensions menu does, as a run asked
// for from outside; it answers at once and the script runs on, so a
// question the run asks never keeps the caller waiting.
//
// Thread: main thread. The scripts desktop is not owned and outlives it.
#include <QDBusConnection>
#include <QObject>

#include "app/ui/SessionBusObject.h"

namespace kl {

class ScriptsDesktop;

class KinloreScriptingDBus : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kinlore.KinloreII.Scripting")
public:
    static constexpr const char* kService = "org.kinlore.KinloreII";
    static constexpr const char* kPath = "/org/kinlore/KinloreII";
    static constexpr const char* kInterface = "org.kinlore.KinloreII.Scripting";

    explicit KinloreScriptingDBus(ScriptsDesktop& scripts);

    // Registers the object and claims the service name; false when either
    // fails (no bus, or another Kinlore II holds the name).
    bool registerOn(QDBusConnection connection);

public slots:
    void RunScript(const QString& path);

private:
    ScriptsDesktop& scripts_;
    SessionBusObject busObject_;
};

}  // namespace kl
