// Keeping the System library in step with the program's resources: the
// version check and the merging and clean install workers.
#include <algorithm>
#include <system_error>
#include <thread>

#include "app/LibraryFolder.h"
#include "foundation/AsciiText.h"
#include "foundation/Exception.h"
#include "foundation/Logger.h"
#include "foundation/PropertyList.h"
#include "foundation/TildePath.h"

namespace kl {

namespace fs = std::filesystem;

namespace {

constexpr const char* removeError = "Error removing prior application resources from user library";
constexpr const char* copyError = "Error copying required application resources to user library";

std::string lowerExtension(const fs::path& path) {
    const std::string extension = path.extension().string();
    return extension.empty() ? std::string() : asciiLower(extension.substr(1));
}

bool itemExists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

std::string withoutTrailingSlash(std::string text) {
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

std::vector<std::string> listNames(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::optional<std::int64_t> LibraryFolder::systemVersion(const fs::path& versionList) {
    const auto list = PropertyList::readDictionaryFile(versionList);
    if (!list) return std::nullopt;
    const Value* versions = list->get("System Version ID");
    if (!versions || !versions->array() || versions->array()->empty()) return std::nullopt;
    const Value& first = versions->array()->front();
    if (first.isString()) {
        try {
            return std::stoll(*first.string());
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    return first.isNumber() ? std::optional<std::int64_t>(first.toInteger()) : std::nullopt;
}

void LibraryFolder::installSystemResources(bool checkVersions) {
    createRootLibraryFolder("");
    if (!checkVersions) return installSystemNow(InstallMode::Restore);
    const auto installed = systemVersion(rootLibraryFile("version.plist"));
    if (!installed) return installSystemNow(InstallMode::Update);
    const std::int64_t bundled = systemVersion(bundleSupportFolder() / "version.plist").value_or(-1);
    if (bundled != *installed) installSystemNow(InstallMode::Update);
}

void LibraryFolder::installSystemNow(InstallMode mode) {
    int answer = 1;
    if (mode != InstallMode::Silent && prompts_.askInstall) answer = prompts_.askInstall(mode == InstallMode::Restore);
    if (answer == 0) return;
    installItemCount_ = 1;
    installItemsDone_ = 0;
    {
        std::lock_guard lock(installErrorMutex_);
        installErrorMessage_.reset();
    }
    // The worker has a thread of its own so that a progress panel can poll
    // the status meanwhile.
    std::thread worker([this, clean = answer == 2] {
        if (clean)
            cleanInstallResourceThread();
        else
            installResourceThread();
    });
    if (prompts_.waitForInstall) prompts_.waitForInstall(*this);
    worker.join();

    const auto error = installErrorMessage();
    if (!error) {
        if (mode != InstallMode::Silent) finishRestore();
        return;
    }
    if (mode == InstallMode::Restore) {
        criticalAlert("An unexpected file error occurred while installing resources",
                      "You should delete the folder '" + abbreviateWithTilde(withoutTrailingSlash(rootLibraryPath_)) +
                          "' and try again");
        return;
    }
    raise("KLInitializeError", *error);
}

void LibraryFolder::installResourceThread() {
    const fs::path bundle = bundleSupportFolder();
    std::error_code error;
    if (!fs::is_directory(bundle, error)) return setInstallError(copyError);
    const std::vector<std::string> names = listNames(bundle);
    installItemCount_ = static_cast<int>(names.size());
    try {
        createRootLibraryFolder("");
    } catch (const NamedException&) {
        return setInstallError(copyError);
    }
    installItemsDone_ = 0;
    for (const std::string& name : names) {
        if (installErrorMessage()) break;
        if (lowerExtension(name) == "plist") {
            const fs::path target = rootLibraryFile(name);
            if (itemExists(target) && !removeItem(target))
                setInstallError(removeError);
            else if (!copyItem(bundle / name, target))
                setInstallError(copyError);
        } else {
            installSystemFileOrFolderName(name, bundle);
        }
        ++installItemsDone_;
    }
}

void LibraryFolder::installSystemFileOrFolderName(const std::string& relative, const fs::path& source) {
    const fs::path from = source / relative;
    if (!itemExists(from)) return;
    const fs::path target = rootLibraryFile(relative);
    const std::string kind = lowerExtension(from);
    std::error_code error;
    if (fs::is_directory(from, error) && kind != "kfrmt" && kind != "gedpkg") {
        // A plain folder is merged item by item, so files the user added
        // to it stay.
        try {
            createRootLibraryFolder(relative);
        } catch (const NamedException&) {
            return setInstallError(copyError);
        }
        for (const std::string& name : listNames(from)) {
            installSystemFileOrFolderName(relative + "/" + name, source);
            if (installErrorMessage()) return;
        }
        return;
    }
    // Files and packages are replaced whole.
    if (itemExists(target) && !removeItem(target)) return setInstallError(removeError);
    if (!copyItem(from, target)) setInstallError(copyError);
}

void LibraryFolder::cleanInstallResourceThread() {
    installItemCount_ = 2;
    const fs::path system(withoutTrailingSlash(rootLibraryPath_));
    if (itemExists(system) && !removeItem(system)) return setInstallError(removeError);
    installItemsDone_ = 1;
    if (!copyItem(bundleSupportFolder(), system)) return setInstallError(copyError);
    std::error_code error;
    fs::permissions(system, rootLibraryAttributes, fs::perm_options::replace, error);
    installItemsDone_ = 2;
}

void LibraryFolder::finishRestore() {
    buildScriptsMenu();
    const std::string current = expandTilde(defaults_.stringForKey(currentFormatKey).value_or(std::string()));
    const std::string formats = rootLibraryPath_ + "Formats/";
    if (current.size() > formats.size() && current.starts_with(formats)) openCurrentFormat(std::nullopt);
}

bool LibraryFolder::copyItem(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::copy(from, to, fs::copy_options::recursive, error);
    if (error) Logger::log("{}", error.message());
    return !error;
}

bool LibraryFolder::removeItem(const fs::path& path) {
    std::error_code error;
    fs::remove_all(path, error);
    if (error) Logger::log("{}", error.message());
    return !error;
}

void LibraryFolder::setInstallError(const char* message) {
    std::lock_guard lock(installErrorMutex_);
    if (!installErrorMessage_) installErrorMessage_ = message;
}

std::optional<std::string> LibraryFolder::installErrorMessage() const {
    std::lock_guard lock(installErrorMutex_);
    return installErrorMessage_;
}

double LibraryFolder::fractionDone() const {
    const int count = installItemCount_;
    return count > 0 ? static_cast<double>(installItemsDone_ + 1) / count : 0;
}

bool LibraryFolder::stillRunning() const { return !installErrorMessage() && installItemsDone_ < installItemCount_; }

}  // namespace kl
