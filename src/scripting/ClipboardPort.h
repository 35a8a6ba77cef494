#pragma once
// ClipboardPort: the general pasteboard as scripts use it, plain text and
// the system's own typed data (script objects as XML property lists under
// KLISObjectPBoardType). The Qt application fills it with QClipboard; tests
// use a fake. Called from the script thread: an implementation that needs
// the main thread hands the call over and waits.
#include <optional>
#include <string>

namespace kl {

// Lists and dictionaries of scripts on the pasteboard.
inline constexpr const char* KLISObjectPBoardType = "application/x-kinlore-isobject";

class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;

    // Empties the pasteboard, then puts one kind of content on it.
    virtual void setString(const std::string& text) = 0;
    virtual void setData(const std::string& mimeType, const std::string& bytes) = 0;

    // nullopt when the pasteboard holds no content of that kind.
    virtual std::optional<std::string> string() const = 0;
    virtual std::optional<std::string> data(const std::string& mimeType) const = 0;
};

}  // namespace kl
