#include "foundation/Logger.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <utility>

namespace kl {

namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

// Shared so that a sink being replaced on one thread stays alive while
// another thread is still calling it.
std::shared_ptr<Logger::Sink>& sinkSlot() {
    static std::shared_ptr<Logger::Sink> sink;
    return sink;
}

void writeToStderr(std::string_view text) {
    std::string line = Logger::timestamp();
    line += ' ';
    line.append(text);
    line += '\n';
    // One fwrite per line: stdio's own lock keeps lines of threads whole.
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

void Logger::log(std::string_view text) {
    std::shared_ptr<Sink> sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = sinkSlot();
    }
    if (sink)
        (*sink)(std::string(text));
    else
        writeToStderr(text);
}

Logger::Sink Logger::setSink(Sink sink) {
    auto next = sink ? std::make_shared<Sink>(std::move(sink)) : nullptr;
    std::lock_guard lock(sinkMutex());
    auto previous = std::exchange(sinkSlot(), std::move(next));
    return previous ? *previous : Sink();
}

std::string Logger::timestamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[40];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    std::string out(buf);
    out += '.';
    const std::string ms = std::to_string(millis);
    out.append(3 - ms.size(), '0');
    out += ms;
    return out;
}

std::string Logger::substitute(std::string_view pattern, const std::string* texts, std::size_t count) {
    std::string out;
    out.reserve(pattern.size() + 16 * count);
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const bool hole = pattern[i] == '{' && i + 1 < pattern.size() && pattern[i + 1] == '}';
        if (hole && next < count) {
            out += texts[next++];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string Logger::pointerText(const void* p) {
    static const char digits[] = "0123456789abcdef";
    auto v = reinterpret_cast<std::uintptr_t>(p);
    std::string out;
    do {
        out.insert(out.begin(), digits[v & 15]);
        v >>= 4;
    } while (v);
    return "0x" + out;
}

}  // namespace kl
