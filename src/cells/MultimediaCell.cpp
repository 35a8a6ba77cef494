#include "cells/MultimediaCell.h"

#include <filesystem>

#include "cells/CellPane.h"
#include "foundation/TildePath.h"
#include "foundation/UserDefaults.h"

namespace kl {

namespace {

MultimediaCell::Workspace& installed() {
    static MultimediaCell::Workspace workspace;
    return workspace;
}

std::string lastComponent(const std::string& path) { return std::filesystem::path(path).filename().string(); }

bool tryOpen(const std::function<bool()>& open, const std::string& path) {
    if (open()) return true;
    // An empty file is a placeholder whose data lives elsewhere: say so
    // rather than trying again.
    if (MultimediaCell::isZeroSize(path, true)) return true;
    return open();
}

}  // namespace

void MultimediaCell::setWorkspace(Workspace workspace) { installed() = std::move(workspace); }
const MultimediaCell::Workspace& MultimediaCell::workspace() { return installed(); }

MultimediaCell::HelperChoice MultimediaCell::helperChoice(const std::string& format, const UserDefaults& defaults) {
    HelperChoice choice;
    const Value helpers = defaults.objectForKey(kHelperApplicationsKey);
    const Dictionary* all = helpers.dictionary();
    const Value* entry = all ? all->get(format) : nullptr;
    const Array* fields = entry ? entry->array() : nullptr;
    if (!fields || fields->size() < 3) return choice;
    choice.application = (*fields)[0].toString();
    choice.option = static_cast<int>((*fields)[1].toInteger(1));
    choice.askAgain = (*fields)[2].toBool(true);
    return choice;
}

void MultimediaCell::storeHelperChoice(const std::string& format, const HelperChoice& choice, UserDefaults& defaults) {
    const Value stored = defaults.objectForKey(kHelperApplicationsKey);
    Dictionary helpers = stored.dictionary() ? *stored.dictionary() : Dictionary();
    helpers.set(format, Value(Array{Value(choice.application), Value(static_cast<std::int64_t>(choice.option)),
                                    Value(choice.askAgain)}));
    defaults.setObject(Value(std::move(helpers)), kHelperApplicationsKey);
}

std::string MultimediaCell::pathExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    return extension.empty() ? extension : extension.substr(1);
}

void MultimediaCell::confirmedMultimediaClick(const std::string& path, const std::string& application, int option) {
    const Workspace& desk = installed();
    if (option == 2) {
        if (desk.beep) desk.beep();
        return;
    }
    if (option != 0 && option != 1) return;
    if (option == 0) {
        auto withApplication = [&] { return desk.openFileWithApplication && desk.openFileWithApplication(path, application); };
        if (tryOpen(withApplication, path)) return;
    }
    auto withDefault = [&] { return desk.openFile && desk.openFile(path); };
    if (tryOpen(withDefault, path)) return;
    if (desk.criticalAlert)
        desk.criticalAlert("The Finder cannot opened the clicked object.",
                           "Error opening multimedia object named '" + lastComponent(path) + "'.");
}

bool MultimediaCell::isZeroSize(const std::string& path, bool doAlert) {
    std::error_code error;
    const auto size = std::filesystem::file_size(expandTilde(path), error);
    if (error || size != 0) return false;
    if (doAlert && installed().criticalAlert)
        installed().criticalAlert("The multimedia file '" + lastComponent(path) + "' has zero size",
                                  "An empty file might be in the cloud and needs to be downlaoded before attaching or "
                                  "viewing");
    return true;
}

MultimediaCell::MultimediaCell(const CellRect& frame, const EditingPrefs* prefs,
                               const std::shared_ptr<GEDCOMObject>& structure)
    : LinkButton(frame, prefs, structure, "MultimediaCell") {
    setBordered(false);
}

bool MultimediaCell::respondsTo(std::string_view selector) const {
    return selector == "setMmPath:" || selector == "setCellURL:" || selector == "setMmForm:" ||
           LinkButton::respondsTo(selector);
}

bool MultimediaCell::takeProperty(std::string_view selector, const std::vector<std::string>& values) {
    const std::string first = values.empty() ? std::string() : values.front();
    if (selector == "setMmPath:") setMmPath(first);
    else if (selector == "setCellURL:") setCellURL(first);
    else if (selector == "setMmForm:") mmForm_ = first;
    else return LinkButton::takeProperty(selector, values);
    return true;
}

void MultimediaCell::setMmPath(const std::optional<std::string>& path) {
    mmPath_ = path;
    isURL_ = false;
}

void MultimediaCell::setCellURL(const std::string& address) {
    mmPath_ = address;
    isURL_ = true;
}

void MultimediaCell::buttonClick(bool optionDown) {
    if (!mmPath_) {
        LinkButton::buttonClick(optionDown);
        return;
    }
    if (isURL_) {
        if (installed().openURL) installed().openURL(*mmPath_);
        return;
    }
    if (windowTarget() == TargetNone) return;
    const std::string format = mmForm_ ? *mmForm_ : pathExtension(*mmPath_);
    openWithHelper(*mmPath_, format);
}

}  // namespace kl
