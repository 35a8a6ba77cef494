#pragma once
// AboutPanel: the about panel of Kinlore II: the program's name, its version
// with the build number, the rights notice, and two links drawn as links
// (blue, underlined) that open the product's web site and a mail to its
// support address.
//
// Ownership: the application makes it the first time it is asked for and
// keeps it. Thread: main thread.
#include <QWidget>

class QLabel;
class QPushButton;

namespace kl {

class AboutPanel : public QWidget {
    Q_OBJECT
public:
    explicit AboutPanel(QWidget* parent = nullptr);

    // Blue, single-underlined title, flat like a link.
    static void setHyperlinkUI(QPushButton* button);

    QLabel* appVersion() const { return appVersion_; }
    QPushButton* webSiteButton() const { return webSiteButton_; }
    QPushButton* emailButton() const { return emailButton_; }

private:
    QLabel* appVersion_ = nullptr;
    QLabel* copyRightFld_ = nullptr;
    QPushButton* webSiteButton_ = nullptr;
    QPushButton* emailButton_ = nullptr;
};

}  // namespace kl
