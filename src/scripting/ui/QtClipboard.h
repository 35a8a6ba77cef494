#pragma once
// QtClipboard: the general pasteboard of scripts on QClipboard. Scripts
// call it from their own thread; QClipboard belongs to the GUI thread, so
// each call is handed over there and waited for.
//
// Ownership: shared with the script controller. Thread: any.
#include "scripting/ClipboardPort.h"

namespace kl {

class QtClipboard : public ClipboardPort {
public:
    void setString(const std::string& text) override;
    void setData(const std::string& mimeType, const std::string& bytes) override;
    std::optional<std::string> string() const override;
    std::optional<std::string> data(const std::string& mimeType) const override;
};

}  // namespace kl
