#include "app/ui/SessionBusObject.h"

namespace kl {

SessionBusObject::~SessionBusObject() {
    if (!connection_) return;
    connection_->unregisterService(service_);
    connection_->unregisterObject(path_);
}

bool SessionBusObject::registerOn(QDBusConnection connection, const QString& service, const QString& path,
                                  QObject* object) {
    if (connection_ || !connection.isConnected()) return false;
    if (!connection.registerObject(path, object, QDBusConnection::ExportAllSlots)) return false;
    if (!connection.registerService(service)) {
        connection.unregisterObject(path);
        return false;
    }
    connection_ = connection;
    service_ = service;
    path_ = path;
    return true;
}

}  // namespace kl
