#pragma once
// AppAlerts: the application's standard alerts and its appearance test, the
// one place where the program speaks to the user in a message box. An OK
// alert given a window shows as a sheet on it (window-modal, deleted when
// it closes); without a window it runs application-modal. The run variants
// always run application-modal and answer 1000, 1001 or 1002 by the
// position of the pressed button among the titles given.
//
// Thread: main thread.
#include <optional>
#include <string>

#include "app/AlertButtons.h"

class QMessageBox;
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

    // Whether the application shows a dark appearance: its palette's window
    // colour is darker than its text.
    static bool isDarkMode();

private:
    static QMessageBox* makeBox(AlertButtons::Style style, const std::string& message, const Title& informative,
                                QWidget* parent);
};

}  // namespace kl
