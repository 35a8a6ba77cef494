#include "dates/DateClock.h"

#include <ctime>
#include <memory>
#include <mutex>

namespace kl {

namespace {

DateClock::LocalTime systemNow()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::mutex& sourceLock()
{
    static std::mutex lock;
    return lock;
}

std::shared_ptr<const DateClock::Source>& currentSource()
{
    static std::shared_ptr<const DateClock::Source> source;
    return source;
}

} // namespace

DateClock::LocalTime DateClock::now()
{
    std::shared_ptr<const Source> source;
    {
        std::lock_guard lock(sourceLock());
        source = currentSource();
    }
    return source ? (*source)() : systemNow();
}

void DateClock::setSource(Source source)
{
    auto next = source ? std::make_shared<const Source>(std::move(source)) : nullptr;
    std::lock_guard lock(sourceLock());
    currentSource() = std::move(next);
}

} // namespace kl
