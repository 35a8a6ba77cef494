#include "dates/DateSettings.h"

#include <mutex>

namespace kl {

namespace {

struct SettingsStore {
    std::mutex writeLock;
    std::mutex readLock;
    std::shared_ptr<const DateSettings> snapshot = std::make_shared<const DateSettings>();
};

SettingsStore& store()
{
    static SettingsStore s;
    return s;
}

} // namespace

std::shared_ptr<const DateSettings> DateSettings::current()
{
    SettingsStore& s = store();
    std::lock_guard lock(s.readLock);
    return s.snapshot;
}

void DateSettings::update(const std::function<void(DateSettings&)>& change)
{
    SettingsStore& s = store();
    std::lock_guard writer(s.writeLock);
    auto next = std::make_shared<DateSettings>(*current());
    change(*next);
    std::lock_guard lock(s.readLock);
    s.snapshot = std::move(next);
}

} // namespace kl
