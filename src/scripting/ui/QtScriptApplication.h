#pragma once
// QtScriptApplication: "klapp" and the script commands' desktop services
// in Kinlore II: the script dialogs, the open documents of the document
// controller, the run panel, the library's Extensions menu, the fonts and
// the screen, and opening addresses and files with the desktop.
//
// Ownership: made by ScriptsDesktop and shared with the script controller;
// the panel is shared, the library and the document controller are the
// application's and outlive every run. Thread: the services run on the GUI
// thread (the interpreter hands them over and waits); the values it reads
// from the script thread hop to the GUI thread themselves.
#include <memory>

#include "scripting/DocumentsApplication.h"

namespace kl {

class AppleScriptActivePanel;
class UserDefaults;

class QtScriptApplication : public DocumentsApplication {
public:
    QtScriptApplication(UserDefaults& defaults, std::shared_ptr<AppleScriptActivePanel> panel);

    int mappingAPI() const override;
    std::string formatLanguage() const override;
    std::string currentInterfaceFormat() const override;
    int openingError() const override;
    void setOpeningError(int code) override;
    bool hasFont(const std::string& family) const override;

    bool messageVisible() override;
    void setMessageVisible(bool visible) override;
    std::size_t openDocumentCount() override;
    std::array<double, 4> screenRect() override;
    std::string doUserOptionCommand(const Dictionary& arguments, ISInterpreter* target) override;
    std::string argsOpenFile(const Dictionary& arguments, ISInterpreter* target) override;
    std::string argsUserSaveFile(const Dictionary& arguments, ISInterpreter* target) override;
    Array doUserInputCommand(const Dictionary& arguments, ISInterpreter* target) override;
    Array userChoiceCommand(const Dictionary& arguments, ISInterpreter* target) override;
    void createDocument() override;
    void urlOpenURL(const std::string& address) override;
    bool openPath(const std::string& path) override;
    void openDocumentFile(const std::string& path) override;
    void buildScriptsMenu() override;
    bool showRelatives(const std::shared_ptr<Object>& person, bool ancestors, std::optional<int> generations,
                       std::optional<bool> chart) override;
    void scriptFractionDone(const std::optional<double>& fraction, const std::optional<std::string>& message) override;
    std::string windowTitle(const void* window) override;
    bool setSelectedText(const void* window, const std::string& text) override;
    std::optional<std::string> printWindow(const void* window, bool showDialog,
                                           const std::optional<Dictionary>& settings) override;

private:
    UserDefaults& defaults_;
    std::shared_ptr<AppleScriptActivePanel> panel_;
};

}  // namespace kl
