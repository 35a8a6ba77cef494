#pragma once
// KLSheet: the base of every option dialog. A dialog either shows as a sheet
// on a document window (window-modal, QDialog::open()), handing itself and
// its context (sheetContextInfo() of the return code) to the caller's action
// when it ends, or runs application-modal through doModalWindow(), which
// answers the return code. Codes: 1 OK, 0 Cancel, 2 alternate; Escape and
// closing the dialog count as Cancel.
//
// Ownership: shown as a sheet, the dialog becomes a child of the window, so
// Qt deletes it with the window at the latest; an action that is done with
// it may deleteLater() it. The same dialog may be shown again.
// Thread: main thread.
#include <QDialog>
#include <QPointer>

#include <functional>
#include <string>

#include "foundation/Value.h"

namespace kl {

class KLSheet : public QDialog {
    Q_OBJECT
public:
    enum ReturnCode { CancelCode = 0, OKCode = 1, AlternateCode = 2, ModalRunning = -1 };
    using Action = std::function<void(KLSheet& sheet, const Value& context)>;
    using HelpHandler = std::function<void(QObject* sender)>;

    // The sheet's name stands for the window layout a subclass builds.
    explicit KLSheet(std::string sheetName, QWidget* parent = nullptr);

    const std::string& sheetName() const { return sheetName_; }
    void startSheet(QWidget* parentWindow, Action action);
    // What the action receives; the base hands the code itself.
    virtual Value sheetContextInfo(int returnCode);
    int doModalWindow();

    int modalReturnID() const { return modalReturnID_; }
    QWidget* windowWithSheet() const { return windowWithSheet_; }

    // The application's help: contextHelpTopic() passes the pressed
    // control to it (the help page follows from the control).
    static void setHelpHandler(HelpHandler handler);

public slots:
    virtual void okClick();
    virtual void cancelClick();
    virtual void alternateClick();
    virtual void contextHelpTopic();
    // Escape and closing the window: Cancel.
    void reject() override;

protected:
    void endWithCode(int code);

private:
    void sheetDidEnd(int code);

    std::string sheetName_;
    int modalReturnID_ = CancelCode;
    QPointer<QWidget> windowWithSheet_;
    Action action_;
};

}  // namespace kl
