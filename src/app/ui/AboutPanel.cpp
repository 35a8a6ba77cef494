#include "app/ui/AboutPanel.h"

#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppController.h"

namespace kl {

AboutPanel::AboutPanel(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName("AboutPanel");
    setWindowTitle(tr("About Kinlore II"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(tr("Kinlore II"), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    appVersion_ = new QLabel(QString::fromStdString(AppController::versionLine(true)), this);
    appVersion_->setAlignment(Qt::AlignCenter);
    layout->addWidget(appVersion_);
    auto* what = new QLabel(tr("Family-history database editor"), this);
    what->setAlignment(Qt::AlignCenter);
    layout->addWidget(what);
    webSiteButton_ = new QPushButton(QString::fromLatin1(AppController::productSite), this);
    emailButton_ = new QPushButton(QString::fromLatin1(AppController::supportAddress), this);
    for (QPushButton* link : {webSiteButton_, emailButton_}) {
        setHyperlinkUI(link);
        layout->addWidget(link, 0, Qt::AlignCenter);
    }
    connect(webSiteButton_, &QPushButton::clicked, this, [] { AppController::showTorvickWebSite(); });
    connect(emailButton_, &QPushButton::clicked, this, [] { AppController::sendTorvickEmail(); });
    copyRightFld_ = new QLabel(QString::fromUtf8(AppController::rightsNotice), this);
    copyRightFld_->setAlignment(Qt::AlignCenter);
    layout->addWidget(copyRightFld_);
    setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
}

void AboutPanel::setHyperlinkUI(QPushButton* button) {
    QFont font = button->font();
    font.setUnderline(true);
    button->setFont(font);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, Qt::blue);
    button->setPalette(palette);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
}

}  // namespace kl
