// The toolbar style and the print rectangle of the alert utilities, without
// windows or printers: the styles' sizes and titles, the 2/3/4 rule of
// windows, the stored preference, and the imageable rectangle of the running
// print operation, flipped or not.
#include <memory>
#include <optional>
#include <thread>

#include "AppTestSupport.h"
#include "app/PrintOperation.h"
#include "app/ToolbarStyle.h"
#include "foundation/UserDefaults.h"

namespace kl {
namespace {

using testing::AppHomeTest;

// ---- Toolbar style ------------------------------------------------------------

struct StyleCase {
    int style;
    int popupSize;
    bool appliesToWindows;
    ToolbarStyle::Labels labels;
};

class ToolbarStyleTest : public ::testing::TestWithParam<StyleCase> {};

TEST_P(ToolbarStyleTest, SizeTitlesAndWhetherWindowsTakeIt) {
    const StyleCase& c = GetParam();
    EXPECT_EQ(ToolbarStyle::popupSize(c.style), c.popupSize);
    EXPECT_EQ(ToolbarStyle::appliesToWindows(c.style), c.appliesToWindows);
    EXPECT_EQ(ToolbarStyle::labels(c.style), c.labels);
}

using Labels = ToolbarStyle::Labels;
INSTANTIATE_TEST_SUITE_P(Styles, ToolbarStyleTest,
                         ::testing::Values(StyleCase{0, 28, false, Labels::IconOnly},
                                           StyleCase{1, 32, false, Labels::UnderIcon},
                                           StyleCase{2, 32, true, Labels::UnderIcon},
                                           StyleCase{3, 28, true, Labels::IconOnly},
                                           StyleCase{4, 22, true, Labels::IconOnly},
                                           StyleCase{5, 28, false, Labels::IconOnly},
                                           StyleCase{-1, 28, false, Labels::IconOnly}),
                         [](const auto& info) { return "Style" + std::to_string(info.param.style + 1); });

using ToolbarPreference = AppHomeTest;

TEST_F(ToolbarPreference, TheRegisteredStyleLeavesWindowsAloneAndSizesPopupsAt32) {
    UserDefaults defaults("Kinlore II", config());
    AppController::initialize(defaults);
    EXPECT_EQ(AppController::toolbarStylePreference(defaults), 1);
    EXPECT_EQ(AppController::toolbarStyleForWindow(defaults), std::nullopt);
    EXPECT_EQ(AppController::toolDLPopupSize(std::nullopt, defaults), 32);
    // Registering stores nothing.
    EXPECT_FALSE(defaults.hasUnsavedChanges());
}

TEST_F(ToolbarPreference, AStoredStyleIsGivenToWindowsWhenItIs2Or3Or4) {
    UserDefaults defaults("Kinlore II", config());
    AppController::initialize(defaults);
    const struct {
        int stored;
        std::optional<int> forWindow;
        int popupSize;
    } cases[] = {{2, 2, 32}, {3, 3, 28}, {4, 4, 22}, {1, std::nullopt, 32}, {0, std::nullopt, 28}, {7, std::nullopt, 28}};
    for (const auto& c : cases) {
        AppController::setToolbarStylePreference(c.stored, defaults);
        EXPECT_EQ(defaults.integerForKey("Toolbar Style"), c.stored);
        EXPECT_EQ(AppController::toolbarStyleForWindow(defaults), c.forWindow) << c.stored;
        EXPECT_EQ(AppController::toolDLPopupSize(std::nullopt, defaults), c.popupSize) << c.stored;
    }
}

TEST_F(ToolbarPreference, AToolbarsWindowStyleWinsOverTheStoredOne) {
    UserDefaults defaults("Kinlore II", config());
    AppController::setToolbarStylePreference(4, defaults);
    EXPECT_EQ(AppController::toolDLPopupSize(2, defaults), 32);
    EXPECT_EQ(AppController::toolDLPopupSize(3, defaults), 28);
    EXPECT_EQ(AppController::toolDLPopupSize(0, defaults), 28);  // a window left automatic
}

// ---- The print rectangle ----------------------------------------------------------

class FixedPrint : public PrintOperation {
public:
    explicit FixedPrint(PrintPage page) : page_(page) {}
    PrintPage printInfo() const override { return page_; }

private:
    PrintPage page_;
};

// US Letter with a printer that cannot mark 18 points left and right, 30 at
// the bottom and 42 at the top.
const PrintPage kLetter{612, 792, PrintRect{18, 30, 576, 720}};

TEST(PrintImageRect, ZeroWithoutARunningPrint) {
    ASSERT_EQ(PrintOperation::currentOperation(), nullptr);
    EXPECT_EQ(AppController::currentPrintImageRect(false), PrintRect{});
    EXPECT_EQ(AppController::currentPrintImageRect(true), PrintRect{});
}

TEST(PrintImageRect, TheRunningPrintsImageableBoundsFlippedFromTheTop) {
    FixedPrint print(kLetter);
    EXPECT_EQ(AppController::currentPrintImageRect(false), (PrintRect{18, 30, 576, 720}));
    // y becomes paper height - (y + height): 792 - 750.
    EXPECT_EQ(AppController::currentPrintImageRect(true), (PrintRect{18, 42, 576, 720}));
    // Flipping twice gives the rectangle back.
    const PrintPage flipped{612, 792, AppController::printImageRect(kLetter, true)};
    EXPECT_EQ(AppController::printImageRect(flipped, true), kLetter.imageable);
}

TEST(PrintImageRect, TheInnermostRunCountsAndEachThreadHasItsOwn) {
    auto outer = std::make_unique<FixedPrint>(kLetter);
    {
        FixedPrint inner(PrintPage{100, 200, PrintRect{0, 0, 100, 200}});
        EXPECT_EQ(PrintOperation::currentOperation(), &inner);
        EXPECT_EQ(AppController::currentPrintImageRect(true), (PrintRect{0, 0, 100, 200}));
        PrintRect elsewhere{1, 1, 1, 1};
        std::thread([&] { elsewhere = AppController::currentPrintImageRect(false); }).join();
        EXPECT_EQ(elsewhere, PrintRect{});
    }
    EXPECT_EQ(PrintOperation::currentOperation(), outer.get());
    // One that ends out of turn leaves the inner one current and reachable.
    auto inner = std::make_unique<FixedPrint>(PrintPage{100, 200, PrintRect{}});
    outer.reset();
    EXPECT_EQ(PrintOperation::currentOperation(), inner.get());
    inner.reset();
    EXPECT_EQ(PrintOperation::currentOperation(), nullptr);
}

}  // namespace
}  // namespace kl
