#include "calculator/ui/TempolinDBus.h"

#include "calculator/TPScripting.h"
#include "calculator/ui/TPController.h"

namespace kl {

namespace {

TPScripting::Arguments arguments(const QVariantMap& map) {
    TPScripting::Arguments out;
    for (auto it = map.begin(); it != map.end(); ++it) out[it.key().toStdString()] = it.value().toString().toStdString();
    return out;
}

}  // namespace

TempolinDBus::TempolinDBus(TPController& controller) : controller_(controller) {}

bool TempolinDBus::registerOn(QDBusConnection connection) {
    return busObject_.registerOn(connection, kService, kPath, this);
}

void TempolinDBus::EnterDateText(const QVariantMap& map) {
    const auto text = map.find("DateTxt");
    if (text == map.end())
        controller_.ClearRegA();
    else
        controller_.EnterRegA(text.value().toString());
}

QString TempolinDBus::TimeSpanCalc(const QVariantMap& map) {
    return QString::fromStdString(TPScripting(controller_.model().engine()).timeSpanCalc(arguments(map)));
}

QString TempolinDBus::DateTimeCalc(const QVariantMap& map) {
    return QString::fromStdString(TPScripting(controller_.model().engine()).dateTimeCalc(arguments(map)));
}

QString TempolinDBus::DowCalc(const QVariantMap& map) {
    return QString::fromStdString(TPScripting(controller_.model().engine()).dowCalc(arguments(map)));
}

QString TempolinDBus::ConvertCalc(const QVariantMap& map) {
    return QString::fromStdString(TPScripting(controller_.model().engine()).convertCalc(arguments(map)));
}

}  // namespace kl
