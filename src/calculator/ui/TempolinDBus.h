#pragma once
// TempolinDBus: the calculator's commands on the session bus, for scripts
// and for Kinlore II. Service "org.kinlore.Tempolin", object
// "/org/kinlore/Tempolin", interface "org.kinlore.Tempolin.Calculator".
// EnterDateText puts a date into the window; the four calculations answer a
// text and leave the window alone. Every error is an answer text, never a
// D-Bus error.
//
// Thread: main thread. The calculator window is not owned.
#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

#include "app/ui/SessionBusObject.h"

namespace kl {

class TPController;

class TempolinDBus : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kinlore.Tempolin.Calculator")
public:
    static constexpr const char* kService = "org.kinlore.Tempolin";
    static constexpr const char* kPath = "/org/kinlore/Tempolin";
    static constexpr const char* kInterface = "org.kinlore.Tempolin.Calculator";

    explicit TempolinDBus(TPController& controller);

    // Registers the object and claims the service name; false when either
    // fails (no bus, or another Tempolin holds the name).
    bool registerOn(QDBusConnection connection);

public slots:
    // "DateTxt": entered into register a; without it register a is cleared.
    void EnterDateText(const QVariantMap& arguments);
    QString TimeSpanCalc(const QVariantMap& arguments);
    QString DateTimeCalc(const QVariantMap& arguments);
    QString DowCalc(const QVariantMap& arguments);
    QString ConvertCalc(const QVariantMap& arguments);

private:
    TPController& controller_;
    SessionBusObject busObject_;
};

}  // namespace kl
