#pragma once
// The general pasteboard for tests: one content at a time, as the real one.
#include <optional>
#include <string>

#include "scripting/ClipboardPort.h"

namespace kl::test {

class FakeClipboard : public ClipboardPort {
public:
    void setString(const std::string& text) override {
        type = "text/plain";
        bytes = text;
    }
    void setData(const std::string& mimeType, const std::string& data) override {
        type = mimeType;
        bytes = data;
    }
    std::optional<std::string> string() const override {
        return type == "text/plain" ? std::optional<std::string>(bytes) : std::nullopt;
    }
    std::optional<std::string> data(const std::string& mimeType) const override {
        return type == mimeType ? std::optional<std::string>(bytes) : std::nullopt;
    }

    std::string type;
    std::string bytes;
};

}  // namespace kl::test
