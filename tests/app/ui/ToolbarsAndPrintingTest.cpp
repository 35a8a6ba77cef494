// The toolbar style on Qt windows (what a stored style does to a window and
// its toolbars, the pop-up button size of a toolbar) and the print
// rectangle of a running print of a page layout or a printer.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QToolBar>

#include "UiTestSupport.h"
#include "app/ui/AppToolbars.h"
#include "app/ui/QtPrintOperation.h"

namespace kl {
namespace {

class Toolbars : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        AppController::initialize(*defaults);
    }
};

TEST_F(Toolbars, TheRegisteredStyleLeavesAWindowAlone) {
    QMainWindow window;
    QToolBar* toolbar = window.addToolBar("Records");
    const QSize iconSize = window.iconSize();
    const Qt::ToolButtonStyle buttons = window.toolButtonStyle();
    AppToolbars::setToolbarStyleForWindow(&window, *defaults);
    EXPECT_EQ(window.iconSize(), iconSize);
    EXPECT_EQ(window.toolButtonStyle(), buttons);
    EXPECT_EQ(AppToolbars::toolbarStyle(window), 0);
    // Its toolbar's pop-ups follow the window (automatic: 28); a toolbar of
    // no window follows the stored style (1: 32).
    EXPECT_EQ(AppToolbars::toolDLPopupSize(toolbar, *defaults), 28);
    EXPECT_EQ(AppToolbars::toolDLPopupSize(nullptr, *defaults), 32);
    QToolBar loose("Loose");
    EXPECT_EQ(AppToolbars::toolDLPopupSize(&loose, *defaults), 32);
    AppToolbars::setToolbarStyleForWindow(nullptr, *defaults);  // nothing to do
}

struct WindowStyleCase {
    int stored;
    int edge;
    Qt::ToolButtonStyle buttons;
};

class WindowStyles : public Toolbars, public ::testing::WithParamInterface<WindowStyleCase> {};

TEST_P(WindowStyles, AStored2Or3Or4StylesTheWindowAndEveryToolbarInIt) {
    const WindowStyleCase& c = GetParam();
    AppController::setToolbarStylePreference(c.stored, *defaults);
    QMainWindow window;
    QToolBar* before = window.addToolBar("Records");
    AppToolbars::setToolbarStyleForWindow(&window, *defaults);
    QToolBar* after = window.addToolBar("Albums");
    EXPECT_EQ(AppToolbars::toolbarStyle(window), c.stored);
    EXPECT_EQ(window.iconSize(), QSize(c.edge, c.edge));
    EXPECT_EQ(window.toolButtonStyle(), c.buttons);
    for (QToolBar* toolbar : {before, after}) {
        EXPECT_EQ(toolbar->iconSize(), QSize(c.edge, c.edge));
        EXPECT_EQ(toolbar->toolButtonStyle(), c.buttons);
        EXPECT_EQ(AppToolbars::toolDLPopupSize(toolbar, *defaults), c.edge);
    }
    // A window keeps the style it was given when the preference changes;
    // toolbars of no window follow the preference.
    AppController::setToolbarStylePreference(c.stored == 4 ? 2 : 4, *defaults);
    EXPECT_EQ(AppToolbars::toolDLPopupSize(before, *defaults), c.edge);
    EXPECT_EQ(AppToolbars::toolDLPopupSize(nullptr, *defaults), c.stored == 4 ? 32 : 22);
}

INSTANTIATE_TEST_SUITE_P(Stored, WindowStyles,
                         ::testing::Values(WindowStyleCase{2, 32, Qt::ToolButtonTextUnderIcon},
                                           WindowStyleCase{3, 28, Qt::ToolButtonIconOnly},
                                           WindowStyleCase{4, 22, Qt::ToolButtonIconOnly}),
                         [](const auto& info) { return "Style" + std::to_string(info.param.stored); });

// ---- printing

// A4 (595 x 842 points) whose printer cannot mark 10 points left, 20 at the
// top, 30 right and 40 at the bottom.
QPageLayout a4WithHardwareMargins(QPageLayout::Orientation orientation = QPageLayout::Portrait) {
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(72, 72, 72, 72), QPageLayout::Point,
                       QMarginsF(10, 20, 30, 40));
}

TEST(PrintRectangle, ARunningPrintAnswersItsImageableBoundsFromTheBottomOrTheTop) {
    EXPECT_EQ(AppController::currentPrintImageRect(false), PrintRect{});
    {
        QtPrintOperation print(a4WithHardwareMargins());
        const PrintPage page = print.printInfo();
        EXPECT_EQ(page.paperWidth, 595);
        EXPECT_EQ(page.paperHeight, 842);
        // From the bottom-left corner: 40 up from the bottom edge.
        EXPECT_EQ(AppController::currentPrintImageRect(false), (PrintRect{10, 40, 555, 782}));
        // Flipped: Qt's own rectangle, 20 down from the top.
        EXPECT_EQ(AppController::currentPrintImageRect(true), (PrintRect{10, 20, 555, 782}));
    }
    EXPECT_EQ(AppController::currentPrintImageRect(true), PrintRect{});
}

TEST(PrintRectangle, TheUsersMarginsAreNotTheImageableBoundsAndLandscapeTurnsThePaper) {
    QPageLayout layout = a4WithHardwareMargins(QPageLayout::Landscape);
    QtPrintOperation print(layout);
    const PrintPage page = print.printInfo();
    EXPECT_EQ(page.paperWidth, 842);
    EXPECT_EQ(page.paperHeight, 595);
    const PrintRect flipped = AppController::currentPrintImageRect(true);
    EXPECT_EQ(flipped.x, 10);
    EXPECT_EQ(flipped.y, 20);
    EXPECT_EQ(flipped.width, 842 - 40);
    EXPECT_EQ(flipped.height, 595 - 60);
}

TEST(PrintRectangle, APrintersLayoutIsReadAsItStandsAtEachQuestion) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    ASSERT_TRUE(printer.setPageSize(QPageSize(QPageSize::A5)));
    ASSERT_TRUE(printer.setPageOrientation(QPageLayout::Portrait));
    QtPrintOperation print(printer);
    PrintPage page = print.printInfo();
    EXPECT_EQ(page.paperWidth, 420);
    EXPECT_EQ(page.paperHeight, 595);
    // PDF output can mark the whole paper.
    EXPECT_EQ(AppController::currentPrintImageRect(true), (PrintRect{0, 0, 420, 595}));
    ASSERT_TRUE(printer.setPageOrientation(QPageLayout::Landscape));
    page = print.printInfo();
    EXPECT_EQ(page.paperWidth, 595);
    EXPECT_EQ(page.paperHeight, 420);
}

}  // namespace
}  // namespace kl
