#pragma once
// The main of the benchmarks that drive widgets, and the windows they keep
// open from one benchmark to the next. A window must go while the
// QApplication still exists: one held in a function-local static would be
// destroyed after it and crash the run on exit.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace bench {

inline std::vector<std::function<void()>>& closers() {
    static std::vector<std::function<void()>> list;
    return list;
}

// One T made on first use and kept for every later benchmark of the run.
template <class T>
T& keptOpen() {
    static std::unique_ptr<T> held;
    if (!held) {
        held = std::make_unique<T>();
        closers().push_back([] { held.reset(); });
    }
    return *held;
}

inline int runQtBenchmarks(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (auto it = closers().rbegin(); it != closers().rend(); ++it) (*it)();
    closers().clear();
    return 0;
}

}  // namespace bench
