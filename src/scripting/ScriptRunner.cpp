#include "scripting/ScriptRunner.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "app/LibraryFolder.h"
#include "foundation/AsciiText.h"
#include "foundation/PropertyList.h"
#include "foundation/TildePath.h"
#include "foundation/UserDefaults.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr const char* kScriptExtensions[] = {".kplug", ".klscpt", ".scpt", ".applescript", ".py"};

bool isThere(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

bool isAppleScript(const std::string& kind) { return kind == "scpt" || kind == "applescript"; }

// A version written as a number or a text, as a float like the
// application's own.
float versionOf(const Value& value) {
    if (const std::string* text = value.string()) return std::strtof(text->c_str(), nullptr);
    return static_cast<float>(value.toReal());
}

std::string formatG(double number) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", number);
    return buffer;
}

}  // namespace

ScriptRunner::ScriptRunner(const LibraryFolder* library, const UserDefaults& defaults, float appVersion, Ports ports)
    : library_(library), defaults_(defaults), appVersion_(appVersion), ports_(std::move(ports)) {}

ScriptKind ScriptRunner::scriptKind(const fs::path& path, const std::string& title) {
    ScriptKind result{asciiLower(path.extension().string()), title, path};
    if (!result.kind.empty() && result.kind.front() == '.') result.kind.erase(0, 1);
    if (result.kind == "txt") {
        // Scripts kept inside a format are text files named after their
        // real kind: "Report.py.txt", "Tool.klscpt.txt"; plain ".txt" ones
        // are AppleScripts.
        const std::string text = path.string();
        const std::string stem = text.substr(0, text.size() - 4);
        result.kind = "applescript";
        if (text.size() >= 9 && stem.ends_with(".py")) {
            result.kind = "py";
            if (result.title.size() > 3) result.title.resize(result.title.size() - 3);
        } else if (text.size() >= 13 && stem.ends_with(".klscpt")) {
            result.kind = "klscpt";
            if (result.title.size() >= 8) result.title.resize(result.title.size() - 7);
        }
        std::replace(result.title.begin(), result.title.end(), '_', ' ');
    } else if (result.kind == "scpt" && !isThere(path)) {
        result.kind = "applescript";
        result.path.replace_extension(".applescript");
    }
    return result;
}

fs::path ScriptRunner::namedScriptPath(const std::string& name, ScriptLinkType type) const {
    if (type != ScriptLinkType::System && type != ScriptLinkType::User) {
        const std::string folder = expandTilde(defaults_.stringForKey(LibraryFolder::currentFormatKey).value_or(""));
        return fs::path(folder) / (name + ".txt");
    }
    if (!library_) return fs::path(name + ".py");
    if (type == ScriptLinkType::User)
        for (const char* extension : kScriptExtensions)
            if (fs::path path = library_->libraryFile("Scripts/" + name + extension); isThere(path)) return path;
    for (const char* extension : kScriptExtensions)
        if (fs::path path = library_->rootLibraryFile("Scripts/" + name + extension); isThere(path)) return path;
    // Not found anywhere: the run says so under the name.
    return library_->rootLibraryFile("Scripts/" + name + ".py");
}

void ScriptRunner::runScript(const std::string& name, ScriptLinkType type, const std::optional<std::string>& message) {
    fs::path path = namedScriptPath(name, type);
    std::string title = fs::path(name).filename().string();
    if (asciiLower(path.extension().string()) == ".kplug") {
        auto script = decodePluginBundle(path, title);
        if (!script) return;
        path = *script;
    }
    if (ports_.setScriptMessage) ports_.setScriptMessage(message.value_or(""));
    runScriptAtPath(path, title, ScriptRunSource::Format);
}

void ScriptRunner::runScriptAtPath(const fs::path& path, const std::string& title, ScriptRunSource source) {
    const ScriptKind script = scriptKind(path, title);
    auto alert = [&](const std::string& message, const std::string& informative) {
        if (ports_.prompts.criticalAlert) ports_.prompts.criticalAlert(message, informative);
    };
    if (isAppleScript(script.kind)) {
        alert(source == ScriptRunSource::Format
                  ? "The '" + script.title + "' script needed by the current format could not be run"
                  : "The '" + script.title + "' extension could not be run",
              "It is an AppleScript, and AppleScripts cannot run on Linux.");
        return;
    }
    if (script.kind != "py" && script.kind != "klscpt") {
        alert("The file '" + script.title + "' is not a script type recognized by Kinlore II.", "");
        return;
    }
    if (!isThere(script.path)) {
        if (source == ScriptRunSource::Format)
            alert("The scipt named '" + script.title + "' needed by the current format could not be found.",
                  "You will need to install that script and/or fix the current interface format using Kinlore Editor.");
        else
            alert("The script named '" + script.title + "' could not be found.",
                  "Use the 'Refresh Extensions' command to update the list of available options in the Extenions "
                  "menu.");
        return;
    }
    if (script.kind == "klscpt") {
        if (ports_.interpret) ports_.interpret(script.path, script.title);
        return;
    }
    if (!ports_.startProcess) return;
    const fs::path folder = script.path.parent_path();
    std::string modules = folder.string();
    if (library_)
        modules += ":" + library_->libraryFile("Modules").string() + ":" + library_->rootLibraryFile("Modules").string();
    // The child sees only its module path, not the application's environment.
    TaskCommand::Environment environment{{"PYTHONPATH", modules}};
    const std::string python = defaults_.stringForKey(pythonPathKey).value_or("/usr/bin/python3");
    ports_.startProcess(script.title, {python, script.path.string(), bundleIdentifier}, std::move(environment), folder);
}

void ScriptRunner::refuse(const std::string& informative) {
    if (ports_.prompts.beep) ports_.prompts.beep();
    if (ports_.prompts.criticalAlert) ports_.prompts.criticalAlert("The selected extension could not be run.", informative);
}

std::optional<fs::path> ScriptRunner::decodePluginBundle(const fs::path& package, std::string& title) {
    const auto manifest = PropertyList::readDictionaryFile(package / "manifest.plist");
    if (!manifest) {
        refuse("The required manifest information is missing.");
        return std::nullopt;
    }
    if (const Value* command = manifest->get("menu command"); command && command->isString()) title = *command->string();
    if (const Value* minimum = manifest->get("minimum version"); minimum && versionOf(*minimum) > appVersion_) {
        refuse("The '" + title + "' extension requires at least version " + formatG(versionOf(*minimum)) +
               " of Kinlore II.");
        return std::nullopt;
    }
    const Value* mainValue = manifest->get("main");
    const Dictionary* main = mainValue ? mainValue->dictionary() : nullptr;
    if (!main || main->empty()) {
        refuse("The manifest does not specify the main script to be run.");
        return std::nullopt;
    }
    if (main->size() == 1) return package / main->keyAt(0);

    std::map<std::string, std::string> keyOfOption;
    std::vector<std::string> options;
    for (std::size_t i = 0; i < main->size(); ++i) {
        const std::string& key = main->keyAt(i);
        if (key == "prompt" || key == "title") continue;
        const std::string option = main->valueAt(i).toString();
        if (keyOfOption.emplace(option, key).second) options.push_back(option);
    }
    if (options.empty()) {
        refuse("The manifest does not specify the main method information.");
        return std::nullopt;
    }
    if (options.size() == 1) return package / keyOfOption[options.front()];

    std::sort(options.begin(), options.end(),
              [](const std::string& a, const std::string& b) { return asciiLower(a) < asciiLower(b); });
    const Value* prompt = main->get("prompt");
    const Value* dialogTitle = main->get("title");
    Array items(options.begin(), options.end());
    const Dictionary arguments{
        {"title", Value(dialogTitle && dialogTitle->isString() ? *dialogTitle->string() : title + " Options")},
        {"prompt", Value(prompt && prompt->isString() ? *prompt->string()
                                                      : std::string("Select the extension option you would like to use"))},
        {"listItems", Value(std::move(items))},
        {"buttons", Value(Array{Value("OK"), Value("Cancel")})},
        {"multiple", Value(false)},
    };
    if (!ports_.prompts.choose) return std::nullopt;
    const Array answer = ports_.prompts.choose(arguments);
    if (answer.size() < 3 || answer[0].toString() != "OK") return std::nullopt;
    const Array* rows = answer[2].array();
    if (!rows || rows->empty()) return std::nullopt;
    const std::int64_t row = rows->front().toInteger();
    if (row < 1 || row > static_cast<std::int64_t>(options.size())) return std::nullopt;
    return package / keyOfOption[options[static_cast<std::size_t>(row - 1)]];
}

}  // namespace kl
