#pragma once
// MultimediaCell ("multimedia"): a borderless link button showing a
// multimedia object's picture or icon. A click opens its URL in the web
// browser, or its file with the helper chosen for the file's format (the
// "Helper Applications" user default, asking through the browser's helper
// sheet while the entry says so); without a file or URL it is the link
// button it derives from.
//
// The class also opens a file by a helper choice for the link buttons and
// the browser's helper sheet (confirmedMultimediaClick), and tells an
// empty file (a placeholder of a file kept elsewhere) from a real one.
// Opening goes through a Workspace that the desktop installs (Qt's desktop
// services and detached processes); tests install their own.
//
// Ownership and thread: as CustomCell; the workspace is process-wide and
// used on the main thread only.
#include <functional>
#include <optional>
#include <string>

#include "cells/LinkButton.h"

namespace kl {

class UserDefaults;

class MultimediaCell : public LinkButton {
public:
    static constexpr const char* kHelperApplicationsKey = "Helper Applications";

    // What the desktop does for the cells.
    struct Workspace {
        std::function<bool(const std::string& path, const std::string& application)> openFileWithApplication;
        std::function<bool(const std::string& path)> openFile;
        std::function<void(const std::string& address)> openURL;
        std::function<void()> beep;
        std::function<void(const std::string& message, const std::string& information)> criticalAlert;
    };
    static void setWorkspace(Workspace workspace);
    static const Workspace& workspace();

    // A format's entry of "Helper Applications"; ["", 1, YES] without one.
    struct HelperChoice {
        std::string application;
        int option = 1;  // 0 the named application, 1 the default one, 2 only beep
        bool askAgain = true;
    };
    static HelperChoice helperChoice(const std::string& format, const UserDefaults& defaults);
    // Stores a format's entry in a copy of the dictionary written back.
    static void storeHelperChoice(const std::string& format, const HelperChoice& choice, UserDefaults& defaults);
    static std::string pathExtension(const std::string& path);

    static void confirmedMultimediaClick(const std::string& path, const std::string& application, int option);
    // Whether an existing file is empty; a file that cannot be read is not.
    static bool isZeroSize(const std::string& path, bool doAlert);

    MultimediaCell(const CellRect& frame, const EditingPrefs* prefs, const std::shared_ptr<GEDCOMObject>& structure);

    bool respondsTo(std::string_view selector) const override;
    bool takeProperty(std::string_view selector, const std::vector<std::string>& values) override;
    std::string mmPath() const override { return mmPath_.value_or(std::string()); }
    void setMmPath(const std::optional<std::string>& path);
    void setCellURL(const std::string& address);
    const std::optional<std::string>& mmForm() const { return mmForm_; }
    void setMmForm(const std::optional<std::string>& form) { mmForm_ = form; }
    bool isURL() const { return isURL_; }

    void buttonClick(bool optionDown) override;

private:
    std::optional<std::string> mmPath_;
    std::optional<std::string> mmForm_;
    bool isURL_ = false;
};

}  // namespace kl
