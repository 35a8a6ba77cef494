#pragma once
// FunctionProgress: a KLProgress made of functions, for tasks that answer
// the panel's questions without being a KLProgress themselves (the
// library's System install offers fractionDone() and stillRunning()). A
// missing function answers as a task that shows no count, cannot be
// cancelled and is done.
//
// Ownership: holds only the functions; whatever they capture must outlive
// the panel that polls it.
// Thread: polled on the main thread.
#include <functional>
#include <optional>
#include <string>

#include "document/KLProgress.h"

namespace kl {

class FunctionProgress : public KLProgress {
public:
    std::function<double()> fraction;
    std::function<bool()> running;
    std::function<std::optional<std::string>()> status;
    std::function<void()> cancel;
    std::function<void()> didLoad;

    void progressDidLoad() override {
        if (didLoad) didLoad();
    }
    double fractionDone() override { return fraction ? fraction() : 0.0; }
    std::optional<std::string> updateStatusField() override { return status ? status() : std::nullopt; }
    bool stillRunning() override { return running && running(); }
    void cancelAction() override {
        if (cancel) cancel();
    }
};

}  // namespace kl
