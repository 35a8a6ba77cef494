#pragma once
// TaskWrapperController: the client of an asynchronous child process run.
// It hears that the child started, its output and error text as they
// arrive (whole UTF-8 characters), and its end with the exit status.
//
// Thread: every call comes on the GUI thread.
#include <string>

namespace kl {

class TaskWrapperController {
public:
    virtual ~TaskWrapperController() = default;

    virtual void appendOutput(const std::string& text) = 0;
    virtual void appendError(const std::string& text) = 0;
    virtual void processStarted() = 0;
    // The exit status; a child ended by a signal gives minus the signal's
    // number when it is known, else -1.
    virtual void processFinished(int status) = 0;
    // The child could not be started: the run is over.
    virtual void processFailedToLaunch(const std::string& reason) = 0;
};

}  // namespace kl
