#pragma once
// The record browser's multimedia sheets, each a window-modal dialog:
//
// HelperSheet: how clicks on multimedia objects of one format are handled:
// open with a named application (row 0), with the desktop's default
// application (row 1) or only beep (row 2), and whether to ask again.
// Linux has no application bundles: "Choose..." picks an executable or a
// .desktop entry, whose name without extension is stored.
//
// LinkMultimediaSheet: links the shown multimedia record to a file or a
// web address, with a title, a kind and a form type; a file name that does
// not resolve keeps the sheet open with an alert.
//
// Ownership: children of the browser window, deleted when they close.
// Thread: main thread.
#include <QDialog>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace kl {

class HelperSheet : public QDialog {
    Q_OBJECT
public:
    HelperSheet(QWidget* window, const std::string& application, int option, const std::string& format);

    // An executable or a desktop entry chosen by the user, as a name
    // without extension; nullopt when cancelled.
    static std::optional<std::string> helperApplicationSelection(QWidget* parent);

    std::string application() const;
    int option() const;
    bool doNotAskAgain() const;
    QLineEdit* applicationField() const { return application_; }
    QCheckBox* confirmBox() const { return confirm_; }
    QRadioButton* row(int index) const;
    void pickHelperApplication();

private:
    QButtonGroup* rows_ = nullptr;
    QLineEdit* application_ = nullptr;
    QCheckBox* confirm_ = nullptr;
};

class LinkMultimediaSheet : public QDialog {
    Q_OBJECT
public:
    struct Fields {
        bool isURL = false;
        std::string file;
        std::string url;
        std::string title;
        std::string kind;
        int formType = 0;  // 0 none, negative: no form type offered
    };
    // resolve: a file name found through the library's roots, as the
    // record stores it and as a full path; nullopt when it is not found.
    struct Resolved {
        std::string stored;
        std::string fullPath;
        std::string format;
    };
    using Resolver = std::function<std::optional<Resolved>(const std::string&)>;
    LinkMultimediaSheet(QWidget* window, const Fields& fields, Resolver resolve);

    Fields fields() const;
    void setMmType(bool fromUser);
    void chooseMmFile();
    QLineEdit* fileField() const { return file_; }
    QLineEdit* urlField() const { return url_; }
    QLineEdit* titleField() const { return title_; }
    QLineEdit* kindField() const { return kind_; }
    QRadioButton* fileType() const { return fileType_; }
    QRadioButton* urlType() const { return urlType_; }
    QComboBox* formTypes() const { return forms_; }
    // OK: a file must resolve; else the sheet stays open.
    void done(int result) override;

private:
    Resolver resolve_;
    QRadioButton* fileType_ = nullptr;
    QRadioButton* urlType_ = nullptr;
    QLineEdit* file_ = nullptr;
    QLineEdit* url_ = nullptr;
    QLineEdit* title_ = nullptr;
    QLineEdit* kind_ = nullptr;
    QComboBox* forms_ = nullptr;
    QLabel* formsLabel_ = nullptr;
};

}  // namespace kl
