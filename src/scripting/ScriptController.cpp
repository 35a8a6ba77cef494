#include "scripting/ScriptController.h"

#include "app/LibraryFolder.h"
#include "foundation/MainThread.h"
#include "model/ModelAlerts.h"
#include "script/CommandParcer.h"
#include "scripting/RunServer.h"
#include "scripting/ScriptApplication.h"

namespace kl {

namespace fs = std::filesystem;

ScriptController::ScriptController(Ports ports) : ports_(std::move(ports)) {
    if (!ports_.application) ports_.application = std::make_shared<ScriptApplication>();
}

ScriptController::~ScriptController() {
    // A run still under way must not report to a controller that is gone.
    if (auto running = running_.lock()) {
        running->forgetController();
        running->setControl(RunServer::Killed);
    }
}

bool ScriptController::isRunning() const {
    auto running = running_.lock();
    return running && running->isRunning();
}

bool ScriptController::refuseWhileRunning() {
    if (!isRunning()) return false;
    ModelAlerts::current()->runAlert(ModelAlerts::Style::Informational, "Another script is running",
                                     "Wait for it to end or stop it, then try again.", {});
    return true;
}

bool ScriptController::interpretScript(const fs::path& path, const std::string& title) {
    if (refuseWhileRunning()) return false;
    auto text = CommandParcer::readTextFile(path.string());
    if (!text) {
        ModelAlerts::current()->runAlert(
            ModelAlerts::Style::Critical, "Error opening a script file",
            "The error occured trying to read the '" + path.filename().string() + "' script file", {});
        return false;
    }
    return interpretScriptText(*text, title, path.parent_path());
}

bool ScriptController::interpretScriptText(const std::string& text, const std::string& title,
                                           const fs::path& scriptFolder, Dictionary objects) {
    if (refuseWhileRunning()) return false;
    if (ScriptRunSink* panel = sink()) {
        if (panelMade_)
            panel->restart(title);
        else
            panel->initForScript(title);
        panelMade_ = true;
        panel->showWindow();
    }
    openServer();
    if (sink()) sink()->setRunServe(server_);
    if (sink()) sink()->processStarted();
    running_ = server_;
    server_->doAnalysisThread(text, moduleSearchList(scriptFolder), std::move(objects));
    return true;
}

void ScriptController::openServer() {
    if (!server_) server_ = std::make_shared<RunServer>(this);
}

void ScriptController::initScripts() { server_.reset(); }

void ScriptController::killThread() {
    if (server_ && server_->control() != RunServer::Killed) server_->setControl(RunServer::Killed);
}

void ScriptController::klscrptDone(const std::optional<Array>& result) {
    ScriptRunSink* panel = sink();
    if (!panel) return;
    if (result && result->size() >= 2)
        panel->doneTitle((*result)[0].toString(), static_cast<int>((*result)[1].toInteger()));
    panel->setRunServe(nullptr);
    panel->processFinished(0);
}

const Dictionary& ScriptController::localStrings() const {
    static const Dictionary none;
    return ports_.library ? ports_.library->localStrings() : none;
}

std::optional<std::string> ScriptController::localString(const std::string& key) const {
    if (!ports_.library) return std::nullopt;
    const Value* value = ports_.library->localStrings().get(key);
    if (!value || !value->isString()) return std::nullopt;
    return *value->string();
}

Array ScriptController::moduleSearchList(const fs::path& scriptFolder) const {
    Array list{Value(".klscpt"), Value(scriptFolder.string())};
    if (ports_.library) {
        list.emplace_back(ports_.library->libraryFile("Modules").string());
        list.emplace_back(ports_.library->rootLibraryFile("Modules").string());
    }
    return list;
}

}  // namespace kl
