#include "model/ModelAlerts.h"

#include <mutex>

#include "foundation/Logger.h"

namespace kl {

namespace {

std::mutex& alertsMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<ModelAlerts>& installed() {
    static std::shared_ptr<ModelAlerts> alerts = std::make_shared<ModelAlerts>();
    return alerts;
}

}  // namespace

int ModelAlerts::runAlert(Style, const std::string& message, const std::string& informative,
                          const std::vector<std::string>&) {
    Logger::log("Alert: " + message + (informative.empty() ? "" : " - " + informative));
    return 0;
}

std::shared_ptr<ModelAlerts> ModelAlerts::current() {
    std::lock_guard lock(alertsMutex());
    return installed();
}

void ModelAlerts::install(std::shared_ptr<ModelAlerts> alerts) {
    std::lock_guard lock(alertsMutex());
    installed() = alerts ? std::move(alerts) : std::make_shared<ModelAlerts>();
}

}  // namespace kl
