#pragma once
// PageLayoutSheet: the page set-up sheet of a document window: paper and
// orientation of a set of print settings ("PaperName", "Orientation" 0
// portrait / 1 landscape), with the margins accessory below them when the
// window prints with margins. It edits a copy: the caller takes the paper,
// orientation and margins into the document when the sheet ends with OK.
//
// Also the one place that turns print settings into Qt's page layout, for
// the printing code.
//
// Ownership: a KLSheet. Thread: main thread.
#include <QPageLayout>

#include "app/ui/KLSheet.h"

class QButtonGroup;
class QComboBox;

namespace kl {

class GEDCOMDocument;
class PrintMarginsView;

class PageLayoutSheet : public KLSheet {
    Q_OBJECT
public:
    PageLayoutSheet(const Dictionary& printInfo, bool withMargins, QWidget* parent = nullptr);

    // The settings with the paper and orientation chosen (margins as given).
    Dictionary printInfo() const;
    // nullptr without the accessory.
    PrintMarginsView* marginsView() const { return margins_; }
    QComboBox* paperPopup() const { return paper_; }
    void setLandscape(bool landscape);

    // The sheet on a window for the document's print settings of a
    // context: 0 lists, 1 record browsers, 2 charts (no margins
    // accessory). OK stores paper, orientation and margins in the
    // document's settings of that context.
    static PageLayoutSheet* runPageLayout(GEDCOMDocument& document, QWidget* window, int context);

    // Paper, orientation and margins (points) of print settings; Letter,
    // portrait and no margins for what they leave out.
    static QPageLayout pageLayout(const Dictionary& printInfo);

private:
    Dictionary printInfo_;
    QComboBox* paper_ = nullptr;
    QButtonGroup* orientation_ = nullptr;
    PrintMarginsView* margins_ = nullptr;
};

}  // namespace kl
