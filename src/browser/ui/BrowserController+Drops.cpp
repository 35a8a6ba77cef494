// Records dragged onto a record window from the document's other windows
// (index lists, charts, other record windows): each is linked to the shown
// record by the record's own handler for its type, when the window's
// template accepts that type. A drag with only the link operation (the
// Control key) carries one record and asks for the template's "Ctrl" type.
#include <QDropEvent>
#include <QMimeData>

#include "app/ui/AppAlerts.h"
#include "app/ui/Localized.h"
#include "browser/RecordLinking.h"
#include "browser/ui/BrowserController.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordIdsDrag.h"
#include "index/DocumentWindows.h"
#include "index/ui/ImagePasteboard.h"

namespace kl {

std::optional<std::vector<std::string>> BrowserController::draggedRecordIDs(const QMimeData* data) const {
    if (!data || !data->hasFormat(kRecordIdsMimeType)) return std::nullopt;
    const QByteArray bytes = data->data(kRecordIdsMimeType);
    auto drag = decodeRecordIdsDrag(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    // Another document's IDs name other records, or none.
    if (!drag || drag->documentKey != documentKeyFor(&doc_)) return std::nullopt;
    return std::move(drag->ids);
}

int BrowserController::dragOperation(const QDropEvent& event) const {
    // Files and web addresses become multimedia links of a record that
    // takes them (a multimedia record's own file is linked from its sheet).
    if (ImagePasteboard::containsImagePboard(event.mimeData()))
        return record_ && !record_->isType("OBJE") && builder_.acceptsDragOf("OBJE") ? 2 : 0;
    const auto ids = draggedRecordIDs(event.mimeData());
    if (!ids || !record_) return 0;
    const Qt::DropActions offered = event.possibleActions();
    const bool linkOnly = offered == Qt::LinkAction;
    if (!linkOnly && !(offered & Qt::CopyAction)) return 0;
    return RecordLinking::dragOperation(*ids, linkOnly, builder_.dropTypes(), doc_.gedcomModel());
}

void BrowserController::dragEnterEvent(QDragEnterEvent* event) {
    const int operation = dragOperation(*event);
    if (operation == 0) return event->ignore();
    event->setDropAction(operation == 2 ? Qt::LinkAction : Qt::CopyAction);
    event->accept();
}

void BrowserController::dragMoveEvent(QDragMoveEvent* event) { dragEnterEvent(static_cast<QDragEnterEvent*>(event)); }

void BrowserController::dropEvent(QDropEvent* event) {
    if (dragOperation(*event) == 0) return event->ignore();
    if (ImagePasteboard::containsImagePboard(event->mimeData())) {
        acceptFileListDrag(ImagePasteboard::decodeImagePboard(event->mimeData()));
        event->acceptProposedAction();
        return;
    }
    const auto ids = draggedRecordIDs(event->mimeData());
    if (!ids) return event->ignore();
    doDragOperation(*ids, RecordLinking::kDroppedFormat, event->possibleActions() == Qt::LinkAction);
    event->acceptProposedAction();
}

bool BrowserController::doDragOperation(const std::vector<std::string>& ids, const std::string& undoFormat, bool control) {
    if (!record_ || ids.empty()) return false;
    if (endActiveCell(0) == EditRefused) return false;
    const auto outcome =
        RecordLinking::dropRecords(*record_, ids, builder_.dropTypes(), control, doc_.gedcomModel(), undoFormat);
    for (int i = 0; i < outcome.beeps; ++i) beep();
    if (outcome.failure)
        AppAlerts::criticalAlert(localized(RecordLinking::kDropFailed).toStdString(), *outcome.failure, this);
    return outcome.attached > 0;
}

bool BrowserController::acceptFileListDrag(const std::vector<Dictionary>& items) {
    if (!record_ || items.empty() || endActiveCell(0) == EditRefused) {
        beep();
        return false;
    }
    GEDCOMModel& model = doc_.gedcomModel();
    std::vector<std::string> outside;
    if (RecordLinking::dropMultimediaItems(*record_, items, model, outside) == 0) {
        beep();
        return false;
    }
    // Files from outside the library: the user says, one file at a time,
    // whether to link, move or copy them.
    if (!outside.empty()) windows_.bulkCopyMultimediaObjects(model, std::move(outside));
    return true;
}

}  // namespace kl
