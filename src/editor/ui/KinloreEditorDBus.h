#pragma once
// KinloreEditorDBus: the scripting command Kinlore II sends Kinlore Editor
// on the session bus after it has opened a format in it: ShowTemplate
// (named, typed) selects and shows one template of the front document.
// Service "org.kinlore.KinloreEditor", object "/org/kinlore/KinloreEditor",
// interface "org.kinlore.KinloreEditor.Documents". A list or template that
// does not exist is answered with the D-Bus error
// "org.kinlore.KinloreEditor.Error1708" and its text, and changes nothing.
//
// Thread: main thread. The document controller is not owned and outlives it.
#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>

#include "app/ui/SessionBusObject.h"

namespace kl {

class KXDocController;

class KinloreEditorDBus : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kinlore.KinloreEditor.Documents")
public:
    static constexpr const char* kService = "org.kinlore.KinloreEditor";
    static constexpr const char* kPath = "/org/kinlore/KinloreEditor";
    static constexpr const char* kInterface = "org.kinlore.KinloreEditor.Documents";
    static constexpr const char* kNoSuchObjectError = "org.kinlore.KinloreEditor.Error1708";

    explicit KinloreEditorDBus(KXDocController& controller);

    // Registers the object and claims the service name; false when either
    // fails (no bus, or another editor holds the name).
    bool registerOn(QDBusConnection connection);

public slots:
    void ShowTemplate(const QString& named, const QString& typed);

private:
    KXDocController& controller_;
    SessionBusObject busObject_;
};

}  // namespace kl
