#include "app/ProgressTiming.h"

#include <cmath>

namespace kl {

namespace {

struct TaskTiming {
    ProgressTiming::Task task;
    double pause;
    double interval;
};

constexpr double kThird = 1.0 / 3.0;

constexpr TaskTiming kTimings[] = {
    {ProgressTiming::Task::Reading, 1.0, kThird},
    {ProgressTiming::Task::Merging, 1.0, kThird},
    {ProgressTiming::Task::Consolidation, 1.0, kThird},
    {ProgressTiming::Task::ScriptConsolidation, 2.0, kThird},
    {ProgressTiming::Task::Saving, 1.0, 0.25},
    {ProgressTiming::Task::Exporting, 1.0, 0.25},
    {ProgressTiming::Task::DuplicateUUIDMerge, 0.0, 0.25},
    {ProgressTiming::Task::Thumbnails, 0.0, 0.25},
    {ProgressTiming::Task::Report, 1.0, 0.25},
    {ProgressTiming::Task::TreeExpansion, 1.0, 0.125},
    {ProgressTiming::Task::SystemInstall, 0.5, 0.1},
};

const TaskTiming& timing(ProgressTiming::Task task) {
    for (const auto& entry : kTimings)
        if (entry.task == task) return entry;
    return kTimings[0];
}

}  // namespace

double ProgressTiming::pollInterval(Task task) { return timing(task).interval; }

double ProgressTiming::pauseBefore(Task task) { return timing(task).pause; }

std::int64_t ProgressTiming::pauseChecks(double seconds) {
    // Also refuses NaN; a huge wait is capped rather than overflowing.
    if (!(seconds > 0)) return 0;
    const double steps = std::floor(seconds * pauseStepsPerSecond);
    if (steps >= 1e15) return static_cast<std::int64_t>(1e15);
    return static_cast<std::int64_t>(steps) + 1;
}

}  // namespace kl
