#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QLineEdit>
#include <QTimer>

#include "CalculatorTestSupport.h"
#include "calculator/TPPreferences.h"
#include "calculator/ui/PreferencesController.h"
#include "foundation/NotificationCenter.h"

namespace kl::test {
namespace {

class CalculatorPreferences : public CalculatorTest {
protected:
    tempolin::PreferencesController& open() {
        QAction* command = nullptr;
        for (QAction* action : window().findChildren<QAction*>())
            if (action->text() == "Preferences...") command = action;
        EXPECT_NE(command, nullptr);
        if (command) command->trigger();
        return *tempolin_->preferencesController();
    }
    std::int64_t stored(const char* key) { return UserDefaults::standard().integerForKey(key); }
};

struct CenturyCase {
    const char* name;
    int storedBefore;
    const char* shownInField;
    bool check;
    const char* typed;  // nullptr: the field is left alone
    int storedAfter;
};

class CalculatorCentury : public CalculatorPreferences, public ::testing::WithParamInterface<CenturyCase> {};

TEST_P(CalculatorCentury, IsStoredInYearsWhenTheWindowCloses) {
    const CenturyCase& c = GetParam();
    UserDefaults::standard().setObject(Value(c.storedBefore), tempolin::kAssumedCentury);
    tempolin::PreferencesController& preferences = open();
    EXPECT_EQ(preferences.centuryFld()->text().toStdString(), c.shownInField);
    EXPECT_EQ(preferences.centuryCheck()->isChecked(), c.storedBefore != 0);
    if (preferences.centuryCheck()->isChecked() != c.check) QTest::mouseClick(preferences.centuryCheck(), Qt::LeftButton);
    EXPECT_EQ(preferences.centuryFld()->isEnabled(), c.check);
    if (c.typed) {
        preferences.centuryFld()->selectAll();
        QTest::keyClicks(preferences.centuryFld(), c.typed);
    }
    preferences.close();
    EXPECT_EQ(stored(tempolin::kAssumedCentury), c.storedAfter);
}

INSTANTIATE_TEST_SUITE_P(Calculator, CalculatorCentury,
                         ::testing::Values(CenturyCase{"TurnedOff", 2000, "20", false, nullptr, 0},
                                           CenturyCase{"TurnedOnWith19", 0, "0", true, "19", 1900},
                                           CenturyCase{"HalfCenturyRoundsDown", 1950, "19", true, nullptr, 1900}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalculatorPreferences, EveryKeystrokeOfTheFormatReformatsTheDateInA) {
    type("1 MAR 1900");
    QTest::keyClick(a(), Qt::Key_Return);
    tempolin::PreferencesController& preferences = open();
    preferences.formatFld()->selectAll();
    QTest::keyClick(preferences.formatFld(), Qt::Key_Backspace);
    const std::pair<char, const char*> steps[] = {{'%', "%"}, {'y', "1900"}, {' ', "1900"}, {'%', "1900 %"},
                                                  {'M', "1900 MAR"}};
    for (const auto& [key, shown] : steps) {
        QTest::keyClicks(preferences.formatFld(), QString(QChar(key)));
        EXPECT_EQ(text(TPModel::kA), shown) << "after " << key;
    }
    EXPECT_EQ(UserDefaults::standard().stringForKey(tempolin::kDateDisplayFormat), "%y %M");
}

TEST_F(CalculatorPreferences, LeavingTheWindowTellsTheCalculatorItsSpanStyleAndDayOrder) {
    tempolin::PreferencesController& preferences = open();
    preferences.timePopup()->setCurrentIndex(2);
    QTest::mouseClick(preferences.assumeMmdd()->button(0), Qt::LeftButton);
    preferences.close();
    EXPECT_EQ(stored(tempolin::kTimeDisplayTag), 3);
    EXPECT_EQ(stored(tempolin::kAssumedMonthDayOrder), 0);
    enter("400d");
    EXPECT_EQ(text(TPModel::kA), "1y 35d");
    enter("3/1/1900");
    EXPECT_EQ(text(TPModel::kA), "1 MAR 1900") << "month first";
}

TEST_F(CalculatorPreferences, QuittingStoresPendingSettingsWithoutAnnouncingThem) {
    int announced = 0;
    Observation observation = NotificationCenter::defaultCenter().addObserver(
        tempolin::kPrefsJustChanged, nullptr, [&announced](const Notification&) { ++announced; });
    tempolin::PreferencesController& preferences = open();
    preferences.timePopup()->setCurrentIndex(4);
    // Closing the calculator ends the application.
    QTimer::singleShot(0, &window(), [this] { window().close(); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(stored(tempolin::kTimeDisplayTag), 5);
    EXPECT_EQ(announced, 0);
}

// Help and the web pages open in the user's browser.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

TEST_F(CalculatorPreferences, HelpAndWebPagesOpenInTheBrowser) {
    OpenedUrls opened;
    for (const char* scheme : {"file", "https"}) QDesktopServices::setUrlHandler(scheme, &opened, "open");
    for (QAction* action : window().findChildren<QAction*>())
        if (action->text() == "Tempolin Help") action->trigger();
    click(window().visitKinlore());
    for (const char* scheme : {"file", "https"}) QDesktopServices::unsetUrlHandler(scheme);
    ASSERT_EQ(opened.urls.size(), 2u);
    EXPECT_TRUE(opened.urls[0].toLocalFile().endsWith("TPHelp/index.html"));
    EXPECT_TRUE(QFileInfo::exists(opened.urls[0].toLocalFile())) << opened.urls[0].toLocalFile().toStdString();
    EXPECT_EQ(opened.urls[1].toString().toStdString(), TPController::kKinloreSite);
}

}  // namespace
}  // namespace kl::test

#include "PreferencesTest.moc"
