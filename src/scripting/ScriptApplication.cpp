#include "scripting/ScriptApplication.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/AppController.h"
#include "foundation/AsciiText.h"
#include "foundation/MainThread.h"
#include "foundation/Numbers.h"
#include "model/GEDCOMRecord.h"
#include "model/wex.h"
#include "script/ISNoneType.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

std::string formatted(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

bool somethingAt(const fs::path& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

}  // namespace

// ---- Attributes ---------------------------------------------------------------------

std::optional<std::string> ScriptApplication::klis_getAttribute(const std::string& name, ISInterpreter*) {
    int beta = 0;
    const double version = AppController::decodeVersionNumber(appVersionNumber(), &beta);
    if (name == "versionNumber" || name == "version") return formatted("%.1f", version);
    if (name == "opening") return openingError() > 0 ? "false" : "true";
    if (name == "volume") return wex::DbleToString(volume());
    if (name == "betaNumber") return std::to_string(beta);
    if (name == "buildNumber") return std::to_string(appBuildNumber());
    if (name == "mappingAPI") return std::to_string(mappingAPI());
    if (name == "formatLanguage") return formatLanguage();
    if (name == "currentFormat") return currentInterfaceFormat();
    if (name == "scriptMessage") return scriptMessage();
    if (name == "class") return std::string("application");
    if (name == "name") return std::string("Kinlore II");
    if (name == "workspaceFolder") return std::string();
    if (name == "messageVisible") {
        bool visible = false;
        Dispatcher::current().postAndWait([&] { visible = messageVisible(); });
        return visible ? "true" : "false";
    }
    if (name.size() >= 8 && name.starts_with("hasFont")) return hasFont(name.substr(7)) ? "Yes" : "No";
    return std::nullopt;
}

bool ScriptApplication::klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter*) {
    if (name == "messageVisible") {
        const bool visible = asciiLower(value) == "true";
        Dispatcher::current().postAndWait([&] { setMessageVisible(visible); });
        return true;
    }
    if (name == "scriptMessage") {
        setScriptMessage(value);
        return true;
    }
    if (name == "volume") {
        setVolume(static_cast<float>(parseDouble(value).value_or(0)));
        return true;
    }
    return false;
}

std::shared_ptr<Object> ScriptApplication::klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) {
    if (name == "None") return sender ? sender->scriptObject("None") : ISNoneType::none();
    if (name == "screenRect") {
        std::array<double, 4> frame{};
        Dispatcher::current().postAndWait([&] { frame = screenRect(); });
        Array numbers;
        for (double number : frame) numbers.emplace_back(number);
        return sender ? sender->makeList(std::move(numbers)) : nullptr;
    }
    return nullptr;
}

// ---- Plain values ----------------------------------------------------------------------

float ScriptApplication::appVersionNumber() const { return AppController::appVersionNumber; }

int ScriptApplication::appBuildNumber() const { return AppController::bundleVersion; }

std::string ScriptApplication::scriptMessage() const {
    std::lock_guard lock(messageMutex_);
    return scriptMessage_;
}

void ScriptApplication::setScriptMessage(std::string text) {
    std::lock_guard lock(messageMutex_);
    scriptMessage_ = std::move(text);
}

// ---- Services without a desktop -------------------------------------------------------

std::string ScriptApplication::doUserOptionCommand(const Dictionary&, ISInterpreter* target) {
    if (target) target->setReturnValue(Value(""));
    return {};
}

std::string ScriptApplication::argsOpenFile(const Dictionary& arguments, ISInterpreter* target) {
    if (target) target->setReturnValue(arguments.get("multiple") ? Value(Array{}) : Value(""));
    return {};
}

std::string ScriptApplication::argsUserSaveFile(const Dictionary&, ISInterpreter* target) {
    if (target) target->setReturnValue(Value(""));
    return {};
}

Array ScriptApplication::doUserInputCommand(const Dictionary&, ISInterpreter* target) {
    Array answer{Value(""), Value("")};
    if (target) target->setReturnValue(Value(answer));
    return answer;
}

Array ScriptApplication::userChoiceCommand(const Dictionary&, ISInterpreter* target) {
    Array answer{Value(""), Value(Array{}), Value(Array{})};
    if (target) target->setReturnValue(Value(answer));
    return answer;
}

void ScriptApplication::openDocumentFile(const std::string&) { setOpeningError(1); }

// ---- Workers --------------------------------------------------------------------------------

std::string ScriptApplication::uniqueFileName(const std::string& path) {
    if (!somethingAt(path)) return path;
    const fs::path given(path);
    const std::string extension = given.has_extension() ? given.extension().string() : std::string();
    const std::string base = path.substr(0, path.size() - extension.size());
    for (long n = 1;; ++n) {
        std::string candidate = base + " " + std::to_string(n) + extension;
        if (!somethingAt(candidate)) return candidate;
    }
}

bool ScriptApplication::makeFolder(const std::string& path) {
    std::error_code error;
    if (somethingAt(path)) return fs::is_directory(path, error);
    if (path.empty()) return false;
    fs::create_directories(path, error);
    return !error && fs::is_directory(path, error);
}

std::string ScriptApplication::scriptFormatName(const std::string& name, const std::optional<std::string>& style) {
    const std::string kind = style ? asciiLower(*style) : std::string();
    int code = 4;
    if (kind == "upper")
        code = 5;
    else if (kind == "uppersurname")
        code = 6;
    else if (kind == "title")
        code = 7;
    const std::string gedcom = name.find('/') == std::string::npos ? GEDCOMRecord::formatUserName(name) : name;
    return GEDCOMRecord::formatName(gedcom, code).value_or(gedcom);
}

std::optional<std::string> ScriptApplication::printWindow(const void*, bool, const std::optional<Dictionary>&) {
    return std::string("The current front window for this document cannot be printed.");
}

}  // namespace kl
