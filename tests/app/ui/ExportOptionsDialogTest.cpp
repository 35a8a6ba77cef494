// The export options sheet: it shows the stored settings and stores what
// OK takes, with a line length of at least 40.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>

#include "UiTestSupport.h"
#include "app/ui/ExportOptionsDialog.h"
#include "document/ExportOptions.h"
#include "document/GEDCOMDocument.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

class ExportOptionsDialogTest : public test::AppHome {
protected:
    // Shows the sheet on a window and answers it when OK ends it.
    ExportOptionsDialog* show() {
        auto* sheet = new ExportOptionsDialog(document, *defaults, &window);
        sheet->startSheet(&window, [this](KLSheet&, const Value& context) { ended = context.toInteger(-1); });
        return sheet;
    }
    GEDCOMDocument document;
    QMainWindow window;
    long long ended = -1;
};

TEST_F(ExportOptionsDialogTest, ALengthBelowFortyOrNoNumberStoresForty) {
    for (const char* typed : {"12", "abc"}) {
        ExportOptionsDialog* sheet = show();
        sheet->maxLineLength()->setText(typed);
        sheet->okButton()->click();
        EXPECT_EQ(ended, KLSheet::OKCode);
        EXPECT_EQ(defaults->integerForKey(ExportOptions::kMaximumLineKey), 40) << typed;
        EXPECT_EQ(GEDCOMStructure::maximumGEDCOMLineLength(), 40) << typed;
        delete sheet;
    }
    GEDCOMStructure::setMaximumGEDCOMLineLength(240);
}

TEST_F(ExportOptionsDialogTest, AStoredUTF16SelectsUnicodeAndIsStoredSoAfterOK) {
    defaults->setObject(Value("UTF-16"), ExportOptions::kCharacterSetKey);
    defaults->setObject(Value("\r\n"), ExportOptions::kLineEndingKey);
    defaults->setObject(Value(5), ExportOptions::kStyleKey);
    ExportOptions::setupExportPreferences(*defaults);
    ExportOptionsDialog* sheet = show();
    EXPECT_EQ(sheet->charSetMenu()->currentIndex(), 3);
    EXPECT_EQ(sheet->lineEndingMenu()->currentIndex(), 2);
    EXPECT_EQ(sheet->exportStyle()->checkedId(), 5);
    EXPECT_EQ(sheet->whichRecords()->count(), 1) << "all records, and no albums";
    sheet->okButton()->click();
    EXPECT_EQ(defaults->stringForKey(ExportOptions::kCharacterSetKey), "UNICODE");
    EXPECT_EQ(ExportOptions::exportEncoding(), 10);
    EXPECT_TRUE(ExportOptions::embedSettings());
    EXPECT_FALSE(ExportOptions::embedThumbnails());
    delete sheet;
}

TEST_F(ExportOptionsDialogTest, CancelChangesNothing) {
    ExportOptions::setupExportPreferences(*defaults);
    const auto stored = defaults->stringForKey(ExportOptions::kCharacterSetKey);
    ExportOptionsDialog* sheet = show();
    sheet->charSetMenu()->setCurrentIndex(4);
    sheet->reject();
    EXPECT_EQ(ended, KLSheet::CancelCode);
    EXPECT_EQ(defaults->stringForKey(ExportOptions::kCharacterSetKey), stored);
    delete sheet;
}

}  // namespace
}  // namespace kl
