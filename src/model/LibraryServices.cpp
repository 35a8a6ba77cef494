#include "model/LibraryServices.h"

#include <mutex>

namespace kl {

namespace {

std::mutex& servicesMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<const LibraryServices>& installed() {
    static std::shared_ptr<const LibraryServices> s = std::make_shared<LibraryServices>();
    return s;
}

}  // namespace

std::shared_ptr<const LibraryServices::TagList> LibraryServices::tagList(std::string_view) const {
    return nullptr;
}

std::string LibraryServices::localString(std::string_view key) const { return std::string(key); }

std::optional<std::string> LibraryServices::eventName(std::string_view, std::string_view) const { return std::nullopt; }

std::shared_ptr<const LibraryServices> LibraryServices::current() {
    std::lock_guard lock(servicesMutex());
    return installed();
}

std::string LibraryServices::localized(std::string_view key) {
    auto services = current();
    return services ? services->localString(key) : std::string(key);
}

void LibraryServices::setCurrent(std::shared_ptr<const LibraryServices> services) {
    if (!services) services = std::make_shared<LibraryServices>();
    std::lock_guard lock(servicesMutex());
    installed() = std::move(services);
}

}  // namespace kl
