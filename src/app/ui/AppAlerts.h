#pragma once
// AppAlerts: the application's standard alerts and its appearance test, the
// one place where the program speaks to the user in a message box. An OK
// alert given a window shows as a sheet on it (window-modal, deleted when
// it closes); without a window it runs application-modal. The run variants
// always run application-modal and answer 1000, 1001 or 1002 by the
// position of the pressed button among the titles given.
//
// Thread: main thread.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/AlertButtons.h"

class QMessageBox;
class QPushButton;
class QWidget;

namespace kl {

class AppAlerts {
public:
    using Title = std::optional<std::string>;

    static void simpleOKAlert(const std::string& message, const Title& informative, QWidget* window,
                              AlertButtons::Style style);
    static void criticalAlert(const std::string& message, const Title& informative, QWidget* window);
    static void infoAlert(const std::string& message, const Title& informative, QWidget* window);
    static int runCriticalAlert(const std::string& message, const Title& informative, const Title& def,
                                const Title& alt = std::nullopt, const Title& other = std::nullopt);
    static int runInfoAlert(const std::string& message, const Title& informative, const Title& def,
                            const Title& alt = std::nullopt, const Title& other = std::nullopt);
    static int runAlert(AlertButtons::Style style, const std::string& message, const Title& informative,
                        const AlertButtons& buttons);
    // The same, answering 0 when the alert was closed without a button
    // (a script's question, where closing is no choice).
    static int runAlertOrClose(AlertButtons::Style style, const std::string& message, const Title& informative,
                               const AlertButtons& buttons);
    // The same buttons as a sheet on the window: returns at once, and hands
    // the answer to `done` when the user has pressed a button (a question
    // such as Save / Don't Save / Cancel before a document window closes).
    static void beginAlertSheet(QWidget* window, AlertButtons::Style style, const std::string& message,
                                const Title& informative, const AlertButtons& buttons,
                                std::function<void(int response)> done);

    // Whether the application shows a dark appearance: its palette's window
    // colour is darker than its text.
    static bool isDarkMode();

private:
    static std::vector<QPushButton*> addButtons(QMessageBox& box, const AlertButtons& buttons);
    static int response(QMessageBox& box, const std::vector<QPushButton*>& added, const AlertButtons& buttons);
    static QMessageBox* makeBox(AlertButtons::Style style, const std::string& message, const Title& informative,
                                QWidget* parent);
};

}  // namespace kl
