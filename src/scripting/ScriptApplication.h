#pragma once
// ScriptApplication: the application object that scripts reach as
// "klapp", and the application's services behind the script commands that
// talk to the user and the rest of the system: the dialogs, the open
// documents, opening addresses and files, the run panel's progress and the
// Extensions menu. This base answers the attributes and does the file
// work itself; the desktop layer overrides the services that need windows
// (a base without them answers as if every dialog was cancelled and no
// document is open).
//
// Ownership: made by the application (or a test), shared with the script
// controller as its application port; it outlives every run.
// Thread: the attributes of plain values (version, volume, script message,
// fonts) are read on the script thread; the services marked "main thread"
// are called there by the interpreter, which waits for them.
#include <array>
#include <atomic>
#include <mutex>
#include <optional>
#include <string>

#include "foundation/Value.h"
#include "model/ISScripting.h"

namespace kl {

class ScriptApplication : public ISScripting {
public:
    ScriptApplication() = default;

    // ---- "klapp" attributes (script thread)
    std::optional<std::string> klis_getAttribute(const std::string& name, ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;

    // ---- Plain values (any thread)
    // The version number as stored: 2.345 is version 2.3, beta 5.
    virtual float appVersionNumber() const;
    virtual int appBuildNumber() const;
    virtual int mappingAPI() const { return 0; }
    virtual std::string formatLanguage() const { return {}; }
    // The current interface format's path without its extension.
    virtual std::string currentInterfaceFormat() const { return {}; }
    // -1 while a file asked for by a script opens, then 1 failed, 0 opened.
    virtual int openingError() const { return openingError_.load(); }
    virtual void setOpeningError(int code) { openingError_.store(code); }
    virtual bool hasFont(const std::string& family) const {
        (void)family;
        return false;
    }
    // The one script message of the process, kept until it is replaced.
    std::string scriptMessage() const;
    void setScriptMessage(std::string text);
    float volume() const { return volume_.load(); }
    void setVolume(float value) { volume_.store(value); }

    // ---- Services (main thread)
    virtual bool messageVisible() { return false; }
    virtual void setMessageVisible(bool visible) { (void)visible; }
    virtual std::size_t openDocumentCount() { return 0; }
    // x, y, width, height of the main screen; zeros without one.
    virtual std::array<double, 4> screenRect() { return {0, 0, 0, 0}; }
    // The dialogs: each answers and hands its answer to the target too.
    virtual std::string doUserOptionCommand(const Dictionary& arguments, ISInterpreter* target);
    virtual std::string argsOpenFile(const Dictionary& arguments, ISInterpreter* target);
    virtual std::string argsUserSaveFile(const Dictionary& arguments, ISInterpreter* target);
    virtual Array doUserInputCommand(const Dictionary& arguments, ISInterpreter* target);
    virtual Array userChoiceCommand(const Dictionary& arguments, ISInterpreter* target);
    // A new untitled database, opened and shown.
    virtual void createDocument() {}
    // A web address in the browser, anything else as a file.
    virtual void urlOpenURL(const std::string& address) { (void)address; }
    // Asks the desktop to open and show the path; false when it could not.
    virtual bool openPath(const std::string& path) {
        (void)path;
        return false;
    }
    // Opens a database file; openingError() tells how it went. The base
    // opens nothing and counts that as a failure.
    virtual void openDocumentFile(const std::string& path);
    virtual void buildScriptsMenu() {}
    // Opens (or brings forward) the ancestors or descendants window of an
    // individual of an open document, `generations` deep and as a chart or
    // an outline when given (else as the preferences say); false when the
    // person's document has no window here.
    virtual bool showRelatives(const std::shared_ptr<Object>& person, bool ancestors, std::optional<int> generations,
                               std::optional<bool> chart) {
        (void)person;
        (void)ancestors;
        (void)generations;
        (void)chart;
        return false;
    }
    // ---- A document window's desktop side (main thread). `window` is the
    // platform window of one of a document's window controllers.
    virtual std::string windowTitle(const void* window) {
        (void)window;
        return {};
    }
    // Replaces the selected text of the window's focused field; false when
    // the window has no text to replace.
    virtual bool setSelectedText(const void* window, const std::string& text) {
        (void)window;
        (void)text;
        return false;
    }
    // Prints what the window shows, with the print panel or straight away,
    // the settings added to the document's print settings; the failure
    // text, nullopt once it printed.
    virtual std::optional<std::string> printWindow(const void* window, bool showDialog,
                                                   const std::optional<Dictionary>& settings);
    // The run panel's progress bar and message (either may be missing).
    virtual void scriptFractionDone(const std::optional<double>& fraction, const std::optional<std::string>& message) {
        (void)fraction;
        (void)message;
    }

    // ---- Workers shared by script commands (any thread)
    // The path when nothing is there, else "<path without extension> n.<extension>"
    // for the first n from 1 that names nothing.
    static std::string uniqueFileName(const std::string& path);
    // true when a folder is there afterwards (made with its parents when
    // missing); false for a file in the way or a folder that cannot be made.
    static bool makeFolder(const std::string& path);
    // A name in a case style: "upper", "uppersurname", "title" (any case),
    // else as stored. A name without "/" is first put into GEDCOM form.
    static std::string scriptFormatName(const std::string& name, const std::optional<std::string>& style);

private:
    mutable std::mutex messageMutex_;
    std::string scriptMessage_;
    std::atomic<float> volume_{1.0f};
    std::atomic<int> openingError_{0};
};

}  // namespace kl
