#pragma once
// SessionBusObject: one of the suite's objects published on the session bus
// under a service name, for as long as this value lives. The programs'
// command interfaces (Tempolin's calculator, Kinlore II's scripting,
// Kinlore Editor's documents) each keep one.
//
// Thread: main thread. The published object is not owned.
#include <QDBusConnection>
#include <QString>

#include <optional>

class QObject;

namespace kl {

class SessionBusObject {
public:
    SessionBusObject() = default;
    SessionBusObject(const SessionBusObject&) = delete;
    SessionBusObject& operator=(const SessionBusObject&) = delete;
    // Gives the name and the object back to the bus.
    ~SessionBusObject();

    // Registers the object's slots at the path and claims the service
    // name; false when either fails (no bus, or another program holds the
    // name), and then nothing stays registered.
    bool registerOn(QDBusConnection connection, const QString& service, const QString& path, QObject* object);

private:
    std::optional<QDBusConnection> connection_;
    QString service_;
    QString path_;
};

}  // namespace kl
