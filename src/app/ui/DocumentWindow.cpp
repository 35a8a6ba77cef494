#include "app/ui/DocumentWindow.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"

namespace kl {

DocumentWindow::DocumentWindow(GEDCOMDocument& document, QWidget* parent)
    : QMainWindow(parent), document_(document), table_(new QTreeWidget(this)) {
    table_->setColumnCount(2);
    table_->setHeaderLabels({tr("Record Type"), tr("Records")});
    table_->setRootIsDecorated(false);
    table_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    setCentralWidget(table_);
    resize(520, 420);
    reloadCounts();
}

void DocumentWindow::reloadCounts() {
    table_->clear();
    for (const auto& list : document_.gedcomModel().recordsIndex().lists()) {
        if (!list || list->listType() == ListUserAlbum) continue;
        const QString type = QString::fromStdString(list->recordType());
        auto* row = new QTreeWidgetItem(table_, {type, QString::number(static_cast<qulonglong>(list->count()))});
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        row->setToolTip(0, QString::fromStdString(list->name()));
    }
}

QStringList DocumentWindow::countLines() const {
    QStringList lines;
    for (int i = 0; i < table_->topLevelItemCount(); ++i)
        lines << table_->topLevelItem(i)->text(0) + "\t" + table_->topLevelItem(i)->text(1);
    return lines;
}

}  // namespace kl
