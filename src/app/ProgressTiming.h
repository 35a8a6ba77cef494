#pragma once
// ProgressTiming: how long each kind of long task waits before its progress
// panel appears, and how often the panel then polls the worker. Work that
// ends within the pause never shows a panel; the counters are read at the
// poll interval instead of being pushed by the worker.
//
// Plain data: any thread.
#include <cstdint>

namespace kl {

class ProgressTiming {
public:
    enum class Task {
        Reading,
        Merging,
        Consolidation,
        ScriptConsolidation,  // a consolidation started by a script
        Saving,
        Exporting,
        DuplicateUUIDMerge,
        Thumbnails,
        Report,
        TreeExpansion,
        SystemInstall,
    };

    // Steps of the wait before a panel: the wait checks the task this many
    // times per second and sleeps a step between checks.
    static constexpr int pauseStepsPerSecond = 30;

    // Seconds between two polls of the panel.
    static double pollInterval(Task task);
    // Seconds the main thread waits before showing the panel.
    static double pauseBefore(Task task);
    // How many times a wait of `seconds` asks whether the task still runs
    // (at most): none for a wait of 0 or less, else whole(seconds x 30) + 1.
    static std::int64_t pauseChecks(double seconds);
};

}  // namespace kl
