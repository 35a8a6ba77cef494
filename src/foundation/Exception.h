#pragma once
// Named failures ("KLFileReadError", "KLFileCancel", ...) raised inside work
// and caught at the entry of the thread or command that runs it.
#include <stdexcept>
#include <string>

namespace kl {

class NamedException : public std::runtime_error {
public:
    NamedException(std::string name, std::string message)
        : std::runtime_error(message), name_(std::move(name)), message_(std::move(message)) {}
    const std::string& name() const { return name_; }
    const std::string& message() const { return message_; }

private:
    std::string name_;
    std::string message_;
};

namespace exception_names {
inline constexpr const char* FileReadError = "KLFileReadError";
inline constexpr const char* FileWriteError = "KLFileWriteError";
inline constexpr const char* FileCancel = "KLFileCancel";
inline constexpr const char* CustomEditError = "KLCustomEditError";
inline constexpr const char* ReportCancel = "KLReportCancel";
inline constexpr const char* AbortExpansion = "KLAbortExpansion";
inline constexpr const char* BadAttribute = "KLBadAttribute";
inline constexpr const char* ArrayShellSortError = "WXArrayShellSortError";
}  // namespace exception_names

[[noreturn]] inline void raise(std::string name, std::string message) {
    throw NamedException(std::move(name), std::move(message));
}

}  // namespace kl
