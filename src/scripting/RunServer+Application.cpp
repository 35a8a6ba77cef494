// Plain commands that talk to the user and the rest of the system: the
// version and document check, the dialogs, progress, opening addresses and
// files, a new database, the Extensions menu and child processes. Every
// dialog and desktop service runs on the main thread while the script
// waits; the answer comes back through the interpreter's return value.
#include <filesystem>

#include "foundation/AsciiText.h"
#include "foundation/MainThread.h"
#include "foundation/Numbers.h"
#include "foundation/TildePath.h"
#include "script/ISDictType.h"
#include "script/ISListType.h"
#include "scripting/RunServer.h"
#include "scripting/ScriptApplication.h"
#include "scripting/ScriptNames.h"
#include "scripting/TaskCommand.h"

namespace kl {

namespace {

bool isYes(const std::string& text) {
    const std::string word = asciiLower(text);
    return word == "true" || word == "yes";
}

std::string textOf(const Value& value) { return value.isString() ? *value.string() : value.toString(); }

}  // namespace

ScriptApplication& RunServer::application() {
    if (auto app = std::dynamic_pointer_cast<ScriptApplication>(ports_.application)) return *app;
    static ScriptApplication none;
    return none;
}

Value RunServer::askOnMainThread(const std::function<void(ScriptApplication&)>& ask) {
    ScriptApplication& app = application();
    returnValue_ = Value();
    Dispatcher::current().postAndWait([&] { ask(app); });
    return returnValue_;
}

// ---- Version and document check --------------------------------------------------------------

void RunServer::doPrechecks() {
    auto name = getString();
    if (!name) return;
    ScriptApplication& app = application();
    auto refuse = [&](const std::string& title, const std::string& message) {
        const Dictionary arguments{{"title", Value(title)},
                                   {"message", Value(message)},
                                   {"buttons", Value(Array{Value("OK")})}};
        askOnMainThread([&](ScriptApplication& a) { a.doUserOptionCommand(arguments, this); });
        // Ends the run quietly: the user has been told why.
        control_ = Killed;
    };
    if (more()) {
        double version = 0;
        if (!findDouble(version)) {
            outputError("CheckVersionAndDocument command requires a valid version number", &origCmd_);
            return;
        }
        version = std::max(version, 3.0);
        long build = 1;
        if (more()) getIntarg(build);
        const double running = app.appVersionNumber();
        bool fails = false;
        if (std::abs(version - running) < 0.0001) {
            if (version < 3.05 && build == 1) build = 2;
            fails = build >= 2 && build > app.appBuildNumber();
        } else if (version > running) {
            fails = true;
            build = 1;
        }
        if (fails) {
            refuse("The script '" + *name + "' requires Kinlore II, version " + formatGeneral(version, 6) + ", build " +
                       std::to_string(build) + " or newer",
                   "Please upgrade and try again");
            return;
        }
    }
    std::size_t documents = 0;
    Dispatcher::current().postAndWait([&] { documents = app.openDocumentCount(); });
    if (documents == 0)
        refuse("The script '" + *name + "' requires a document to be open", "Please open a document and try again.");
}

// ---- Dialogs ------------------------------------------------------------------------------------

void RunServer::doUseroption() {
    auto name = variableArgument("First parameter to UserOption must evaluate to a variable name starting in '#'");
    if (!name) return;
    Dictionary arguments;
    arguments.set("title", Value(more() ? *getString() : std::string()));
    arguments.set("message", Value(more() ? *getString() : std::string()));
    Array buttons;
    while (more() && buttons.size() < 3) {
        std::string title = *getString();
        if (!title.empty()) buttons.emplace_back(std::move(title));
    }
    if (!buttons.empty()) arguments.set("buttons", Value(std::move(buttons)));
    const Value answer = askOnMainThread([&](ScriptApplication& app) { app.doUserOptionCommand(arguments, this); });
    variables_.insert_or_assign(*name, textOf(answer));
}

void RunServer::doUserinput() {
    auto name = variableArgument("First parameter to UserInput must evaluate to a variable name starting in '#'.");
    if (!name) return;
    Dictionary arguments;
    for (const char* key : {"title", "prompt", "initialText"}) arguments.set(key, Value(more() ? *getString() : ""));
    Array buttons;
    while (more() && buttons.size() < 3) buttons.emplace_back(*getString());
    if (!buttons.empty()) arguments.set("buttons", Value(std::move(buttons)));
    const Value answer = askOnMainThread([&](ScriptApplication& app) { app.doUserInputCommand(arguments, this); });
    const Array* parts = answer.array();
    variables_.insert_or_assign(*name + "[0]", "2");
    variables_.insert_or_assign(*name + "[1]", parts && parts->size() > 0 ? textOf((*parts)[0]) : "");
    variables_.insert_or_assign(*name + "[2]", parts && parts->size() > 1 ? textOf((*parts)[1]) : "");
}

void RunServer::doUserchoice() {
    auto name = variableArgument("First parameter to UserChoice must evaluate to a variable name starting in '#'.");
    if (!name) return;
    auto prompt = getString();
    if (!prompt) return;
    auto listName = getString();
    if (!listName) return;
    auto list = scriptListOf(findExistingObject(*listName));
    if (!list) {
        outputError("Third parameter in UserChoice command must be a list object.", &origCmd_);
        return;
    }
    Array items;
    for (const Value& item : *list->list()) items.emplace_back(textOf(item));
    Dictionary arguments{{"prompt", Value(*prompt)}, {"listItems", Value(std::move(items))}};
    arguments.set("title", Value(more() ? *getString() : std::string()));
    arguments.set("multiple", Value(more() && asciiLower(*getString()) == "true"));
    Array buttons;
    while (more() && buttons.size() < 3) buttons.emplace_back(*getString());
    if (!buttons.empty()) arguments.set("buttons", Value(std::move(buttons)));
    const Value answer = askOnMainThread([&](ScriptApplication& app) { app.userChoiceCommand(arguments, this); });

    const Array* parts = answer.array();
    const Array* chosen = parts && parts->size() > 1 ? (*parts)[1].array() : nullptr;
    const Array* rows = parts && parts->size() > 2 ? (*parts)[2].array() : nullptr;
    const std::size_t k = chosen ? chosen->size() : 0;
    const std::size_t n = rows ? rows->size() : 0;
    variables_.insert_or_assign(*name + "[0]", std::to_string(k + n + 1));
    variables_.insert_or_assign(*name + "[1]", parts && !parts->empty() ? textOf((*parts)[0]) : "");
    for (std::size_t i = 0; i < k; ++i) variables_.insert_or_assign(*name + "[" + std::to_string(i + 2) + "]", textOf((*chosen)[i]));
    for (std::size_t i = 0; i < n; ++i)
        variables_.insert_or_assign(*name + "[" + std::to_string(k + 2 + i) + "]",
                                    std::to_string((*rows)[i].toInteger()));
}

void RunServer::doUseropenfile() { userOpen(true); }

void RunServer::doUseropenfolder() { userOpen(false); }

void RunServer::userOpen(bool forFiles) {
    auto name = variableArgument(
        "First parameter to UserOpenFile or UserOpenFolder must evaluate to a variable name starting in '#'.");
    if (!name) return;
    Dictionary arguments;
    if (forFiles) {
        arguments.set("ForFile", Value("files"));
        readExtensions(arguments);
    }
    for (const char* key : {"prompt", "start", "title"}) {
        if (!more()) break;
        std::string text = *getString();
        if (!text.empty()) arguments.set(key, Value(std::move(text)));
    }
    const bool multiple = more() && isYes(*getString());
    if (multiple) arguments.set("multiple", Value("true"));
    const Value answer = askOnMainThread([&](ScriptApplication& app) { app.argsOpenFile(arguments, this); });
    if (!multiple) {
        variables_.insert_or_assign(*name, textOf(answer));
        return;
    }
    std::vector<std::string> paths;
    if (const Array* chosen = answer.array())
        for (const Value& path : *chosen) paths.push_back(textOf(path));
    storeListVariable(*name, paths);
    variables_.insert_or_assign(*name, paths.empty() ? std::string() : paths.front());
}

void RunServer::doUsersavefile() {
    auto name = variableArgument("First parameter to UserSaveFile must evaluate to a variable name starting in '#'");
    if (!name) return;
    Dictionary arguments;
    readExtensions(arguments);
    for (const char* key : {"prompt", "start", "title"}) {
        if (!more()) break;
        std::string text = *getString();
        if (!text.empty()) arguments.set(key, Value(std::move(text)));
    }
    const Value answer = askOnMainThread([&](ScriptApplication& app) { app.argsUserSaveFile(arguments, this); });
    variables_.insert_or_assign(*name, textOf(answer));
}

void RunServer::readExtensions(Dictionary& arguments) {
    if (!more()) return;
    const Array* items = listItemsOf(findExistingObject(*getString()));
    if (!items || items->empty()) return;
    Array extensions;
    for (const Value& item : *items) extensions.emplace_back(textOf(item));
    arguments.set("extensions", Value(std::move(extensions)));
}

// ---- Desktop services -----------------------------------------------------------------------------

void RunServer::doCreatedocument() {
    askOnMainThread([](ScriptApplication& app) { app.createDocument(); });
}

void RunServer::doOpenurl() {
    const std::string address = more() ? *getString() : std::string();
    if (address.empty()) {
        outputError("The URL is missing from an OpenURL command", &origCmd_);
        return;
    }
    askOnMainThread([&](ScriptApplication& app) { app.urlOpenURL(address); });
}

void RunServer::doOpenfile() {
    const std::string path = more() ? *getString() : std::string();
    if (path.empty()) {
        outputError("The file name is missing from an OpenFile command", &origCmd_);
        return;
    }
    application().setOpeningError(-1);
    // Not waited for: scripts follow the outcome through klapp's "opening".
    auto app = std::dynamic_pointer_cast<ScriptApplication>(ports_.application);
    if (!app) return;
    Dispatcher::current().post([app, path] { app->openDocumentFile(path); });
}

void RunServer::doRevealinfinder() {
    const std::string given = more() ? *getString() : std::string();
    if (given.empty()) {
        outputError("The file name is missing from an RevealInFinder command", &origCmd_);
        return;
    }
    const std::string path = expandTilde(given);
    bool shown = false;
    askOnMainThread([&](ScriptApplication& app) {
        shown = app.openPath(path) || app.openPath(path) ||
                app.openPath(std::filesystem::path(path).parent_path().string());
    });
    if (!shown) outputError("The Finder cannot open the your selected file, folder, or its parent folder", &origCmd_);
}

void RunServer::doRefreshscripts() {
    askOnMainThread([](ScriptApplication& app) { app.buildScriptsMenu(); });
}

void RunServer::doNotifyprogress() {
    std::optional<double> fraction;
    double number = 0;
    if (!more()) {
        tooFew();
        return;
    }
    if (findDouble(number)) fraction = number;
    std::optional<std::string> message;
    if (more()) message = *getString();
    askOnMainThread([&](ScriptApplication& app) { app.scriptFractionDone(fraction, message); });
}

// ---- Child processes -------------------------------------------------------------------------------

void RunServer::doSubprocess() {
    auto name = variableArgument("First parameter to SubProcess must evaluate to a variable name starting in '#'.");
    if (!name) return;
    auto listName = getString();
    if (!listName) return;
    auto list = scriptListOf(findExistingObject(*listName));
    if (!list) {
        outputError("Second parameter in Subprocess command must be a list object of arguments.", &origCmd_);
        return;
    }
    std::optional<std::filesystem::path> folder;
    if (more()) {
        const std::string given = *getString();
        if (!given.empty()) folder = std::filesystem::path(expandTilde(given));
    }
    std::optional<TaskCommand::Environment> environment;
    if (more()) {
        auto dict = findExistingObject(*getString()).objectAs<ISDictType>();
        if (!dict) {
            outputError("Fourth parameter in Subprocess command must be a dictionary object of environment variables.",
                        &origCmd_);
            return;
        }
        environment.emplace();
        const Dictionary& entries = dict->dictionary();
        for (std::size_t i = 0; i < entries.size(); ++i)
            environment->insert_or_assign(entries.keyAt(i), textOf(entries.valueAt(i)));
    }
    std::vector<std::string> words;
    for (const Value& item : *list->list()) words.push_back(textOf(item));
    TaskCommand task;
    // Without words the runner answers that nothing was given to run.
    if (!words.empty()) task.setShellArguments(words, false, true);
    variables_.insert_or_assign(*name, task.runAndGetTaskData(folder, environment));
}

}  // namespace kl
