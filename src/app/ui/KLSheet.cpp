#include "app/ui/KLSheet.h"

namespace kl {

namespace {

KLSheet::HelpHandler& helpHandler() {
    static KLSheet::HelpHandler handler;
    return handler;
}

}  // namespace

KLSheet::KLSheet(std::string sheetName, QWidget* parent) : QDialog(parent), sheetName_(std::move(sheetName)) {
    setObjectName(QString::fromStdString(sheetName_));
    connect(this, &QDialog::finished, this, &KLSheet::sheetDidEnd);
}

void KLSheet::setHelpHandler(HelpHandler handler) { helpHandler() = std::move(handler); }

void KLSheet::startSheet(QWidget* parentWindow, Action action) {
    QWidget* window = parentWindow ? parentWindow->window() : nullptr;
    windowWithSheet_ = window;
    action_ = std::move(action);
    if (window && parentWidget() != window) setParent(window, windowFlags() | Qt::Dialog);
    setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    open();
}

Value KLSheet::sheetContextInfo(int returnCode) { return Value(returnCode); }

int KLSheet::doModalWindow() {
    windowWithSheet_ = nullptr;
    action_ = nullptr;
    modalReturnID_ = ModalRunning;
    setWindowModality(Qt::ApplicationModal);
    exec();
    return modalReturnID_;
}

void KLSheet::okClick() { endWithCode(OKCode); }

void KLSheet::cancelClick() { endWithCode(CancelCode); }

void KLSheet::alternateClick() { endWithCode(AlternateCode); }

void KLSheet::contextHelpTopic() {
    if (helpHandler()) helpHandler()(sender());
}

void KLSheet::reject() { cancelClick(); }

void KLSheet::endWithCode(int code) {
    if (!windowWithSheet_) modalReturnID_ = code;
    done(code);
}

void KLSheet::sheetDidEnd(int code) {
    if (!action_) return;
    // Taken first: the action may show this dialog again or delete it later.
    Action action = std::move(action_);
    action_ = nullptr;
    windowWithSheet_ = nullptr;
    action(*this, sheetContextInfo(code));
}

}  // namespace kl
