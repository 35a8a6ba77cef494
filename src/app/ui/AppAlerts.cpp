#include "app/ui/AppAlerts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>

#include <memory>
#include <vector>

namespace kl {

namespace {

QString qtext(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QMessageBox* AppAlerts::makeBox(AlertButtons::Style style, const std::string& message, const Title& informative,
                                QWidget* parent) {
    auto* box = new QMessageBox(parent);
    box->setIcon(style == AlertButtons::Critical ? QMessageBox::Critical : QMessageBox::Information);
    box->setWindowTitle(QApplication::applicationDisplayName());
    box->setText(qtext(message));
    if (informative) box->setInformativeText(qtext(*informative));
    return box;
}

void AppAlerts::simpleOKAlert(const std::string& message, const Title& informative, QWidget* window,
                              AlertButtons::Style style) {
    if (!window) {
        runAlert(style, message, informative, AlertButtons(std::nullopt, std::nullopt, std::nullopt));
        return;
    }
    QMessageBox* box = makeBox(style, message, informative, window->window());
    box->setStandardButtons(QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
}

void AppAlerts::criticalAlert(const std::string& message, const Title& informative, QWidget* window) {
    simpleOKAlert(message, informative, window, AlertButtons::Critical);
}

void AppAlerts::infoAlert(const std::string& message, const Title& informative, QWidget* window) {
    simpleOKAlert(message, informative, window, AlertButtons::Informational);
}

int AppAlerts::runCriticalAlert(const std::string& message, const Title& informative, const Title& def,
                                const Title& alt, const Title& other) {
    return runAlert(AlertButtons::Critical, message, informative, AlertButtons(def, alt, other));
}

int AppAlerts::runInfoAlert(const std::string& message, const Title& informative, const Title& def,
                            const Title& alt, const Title& other) {
    return runAlert(AlertButtons::Informational, message, informative, AlertButtons(def, alt, other));
}

std::vector<QPushButton*> AppAlerts::addButtons(QMessageBox& box, const AlertButtons& buttons) {
    std::vector<QPushButton*> added;
    for (const auto& title : buttons.titles()) {
        // One role for all keeps the buttons in the order they were added.
        added.push_back(buttons.ownOK() ? box.addButton(QMessageBox::Ok)
                                        : box.addButton(qtext(title), QMessageBox::ActionRole));
    }
    box.setDefaultButton(added.front());
    if (const auto escape = buttons.escapeIndex()) box.setEscapeButton(added[*escape]);
    return added;
}

int AppAlerts::response(QMessageBox& box, const std::vector<QPushButton*>& added, const AlertButtons& buttons) {
    for (std::size_t i = 0; i < added.size(); ++i)
        if (box.clickedButton() == added[i]) return AlertButtons::responseForIndex(i);
    return buttons.responseWithoutButton();
}

int AppAlerts::runAlert(AlertButtons::Style style, const std::string& message, const Title& informative,
                        const AlertButtons& buttons) {
    std::unique_ptr<QMessageBox> box(makeBox(style, message, informative, nullptr));
    const auto added = addButtons(*box, buttons);
    box->exec();
    return response(*box, added, buttons);
}

int AppAlerts::runAlertOrClose(AlertButtons::Style style, const std::string& message, const Title& informative,
                               const AlertButtons& buttons) {
    std::unique_ptr<QMessageBox> box(makeBox(style, message, informative, nullptr));
    const auto added = addButtons(*box, buttons);
    box->exec();
    for (std::size_t i = 0; i < added.size(); ++i)
        if (box->clickedButton() == added[i]) return AlertButtons::responseForIndex(i);
    return 0;
}

void AppAlerts::beginAlertSheet(QWidget* window, AlertButtons::Style style, const std::string& message,
                                const Title& informative, const AlertButtons& buttons,
                                std::function<void(int response)> done) {
    if (!window) {
        const int answer = runAlert(style, message, informative, buttons);
        if (done) done(answer);
        return;
    }
    QMessageBox* box = makeBox(style, message, informative, window->window());
    const auto added = addButtons(*box, buttons);
    box->setWindowModality(Qt::WindowModal);
    QObject::connect(box, &QDialog::finished, box, [box, added, buttons, done = std::move(done)] {
        box->deleteLater();
        if (done) done(response(*box, added, buttons));
    });
    box->open();
}

bool AppAlerts::isDarkMode() {
    const QPalette palette = QApplication::palette();
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

}  // namespace kl
