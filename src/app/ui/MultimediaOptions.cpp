#include "app/ui/MultimediaOptions.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "document/GEDCOMDocument.h"

namespace kl {

MultimediaOptions::MultimediaOptions(GEDCOMDocument& document, QWidget* parent)
    : QWidget(parent, Qt::Window), document_(document), roots_(new QListWidget(this)) {
    setObjectName("MultimediaOptions");
    setWindowTitle(tr("Multimedia Options"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Multimedia root folders:"), this));
    layout->addWidget(roots_);
    resize(480, 320);
    updateTable();
    rootsChanged_ = NotificationCenter::defaultCenter().addObserver(
        GEDCOMDocument::kRootsChanged, &document_.gedcomModel(), [this](const Notification&) { updateTable(); });
}

MultimediaOptions* MultimediaOptions::forDocument(const GEDCOMDocument& document) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* options = qobject_cast<MultimediaOptions*>(widget); options && &options->document_ == &document)
            return options;
    return nullptr;
}

void MultimediaOptions::showWindow() {
    show();
    raise();
    activateWindow();
}

void MultimediaOptions::cancelUpdates() { rootsChanged_.reset(); }

void MultimediaOptions::updateTable() {
    roots_->clear();
    for (const std::string& root : document_.multimediaRoot()) roots_->addItem(QString::fromStdString(root));
}

}  // namespace kl
