#include "browser/ui/QtModelAlerts.h"

#include <QApplication>

#include "app/ui/AppAlerts.h"

namespace kl {

int QtModelAlerts::runAlert(Style style, const std::string& message, const std::string& informative,
                            const std::vector<std::string>& buttons) {
    auto title = [&](std::size_t i) { return i < buttons.size() ? std::optional<std::string>(buttons[i]) : std::nullopt; };
    const AlertButtons shown(title(0), title(1), title(2));
    const int answer = AppAlerts::runAlert(style == Style::Critical ? AlertButtons::Critical : AlertButtons::Informational,
                                           message, informative.empty() ? std::nullopt : std::optional(informative),
                                           shown);
    return std::max(0, answer - AlertButtons::firstButtonResponse);
}

void QtModelAlerts::beep() { QApplication::beep(); }

}  // namespace kl
