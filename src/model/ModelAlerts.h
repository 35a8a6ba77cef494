#pragma once
// ModelAlerts: the questions and warnings that model code must put to the
// user (a source dropped twice, a record type typed in the source editor).
// The application installs its own alert helpers at start; the core default
// answers every question with its first button and logs the message, which
// keeps worker threads and tests from ever blocking on a window.
//
// Thread: alerts are raised on the main thread; install() before any runs.
#include <memory>
#include <string>
#include <vector>

namespace kl {

class ModelAlerts {
public:
    enum class Style { Informational, Critical };

    virtual ~ModelAlerts() = default;

    // Runs a modal alert; answers the index of the chosen button (0 for the
    // first). An empty button list means a single "OK".
    virtual int runAlert(Style style, const std::string& message, const std::string& informative,
                         const std::vector<std::string>& buttons);
    // The system beep for an operation that had nothing to do; the core
    // default is silent.
    virtual void beep() {}

    static std::shared_ptr<ModelAlerts> current();
    // nullptr puts the default back.
    static void install(std::shared_ptr<ModelAlerts> alerts);
};

}  // namespace kl
