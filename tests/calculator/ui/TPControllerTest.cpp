#include <QAction>
#include <QButtonGroup>
#include <QMenu>
#include <QPushButton>

#include <filesystem>

#include "CalculatorTestSupport.h"

namespace kl::test {
namespace {

constexpr int A = TPModel::kA, B = TPModel::kB, C = TPModel::kC, D = TPModel::kD, E = TPModel::kE;

using CalculatorRegisters = CalculatorTest;

TEST_F(CalculatorRegisters, EnterLeavesTheValueInAAndBAndPushesTheStackUp) {
    enter("1 mar 1900");
    EXPECT_EQ(text(A), "1 MAR 1900");
    EXPECT_EQ(text(B), "1 MAR 1900");
    EXPECT_EQ(day(A), "THU");
    EXPECT_EQ(day(B), "THU");
    EXPECT_TRUE(text(C).empty());
    keypadEnter();
    EXPECT_EQ(text(C), "1 MAR 1900");

    enter("2 MAR 1900");
    enter("3 MAR 1900");
    enter("4 MAR 1900");
    EXPECT_EQ(text(E), "1 MAR 1900");
    enter("5 MAR 1900");
    EXPECT_EQ(text(E), "2 MAR 1900") << "the value of e is dropped";
    EXPECT_EQ(text(D), "3 MAR 1900");
    EXPECT_EQ(text(B), "5 MAR 1900");
    EXPECT_EQ(day(E), "FRI");
    EXPECT_TRUE(alerts.empty()) << alerts.front();
    EXPECT_EQ(a()->selectedText(), a()->text()) << "typing goes on over the whole text";
}

TEST_F(CalculatorRegisters, DifferenceOfTwoDatesKeepsTheOperandsAboveTheSpan) {
    enter("1 MAR 1900");
    type("1 MAR 1901");
    click(window().diffAandB());
    EXPECT_EQ(text(A), "-(365d)");
    EXPECT_EQ(calendar(A), "TIME");
    EXPECT_EQ(text(B), "1 MAR 1901");
    EXPECT_EQ(text(C), "1 MAR 1900");
}

TEST_F(CalculatorRegisters, SpanInAWithDateInBAllowsSumAndDifferenceButNoCalendar) {
    enter("1 MAR 1900");
    type("10d");
    click(window().convertTime()->button(2));
    EXPECT_EQ(text(A), "0y 0m 10d");
    for (QAbstractButton* calendarButton : window().convertBtns()->buttons()) EXPECT_FALSE(calendarButton->isEnabled());
    EXPECT_TRUE(window().addAandB()->isEnabled());
    EXPECT_TRUE(window().diffAandB()->isEnabled());
    click(window().addAandB());
    EXPECT_EQ(text(A), "11 MAR 1900");
    EXPECT_EQ(text(B), "0y 0m 10d");
    EXPECT_EQ(text(C), "1 MAR 1900");
    EXPECT_FALSE(window().changeSign()->isEnabled()) << "a date has no sign";
}

TEST_F(CalculatorRegisters, SignAndStyleButtonsReshowTheSpanInA) {
    type("BET 2y AND 3y");
    click(window().changeSign());
    EXPECT_EQ(text(A), "-(1095d) TO -(730d)");
    click(window().convertTime()->button(5));
    EXPECT_EQ(text(A), "-1095 TO -730");
}

TEST_F(CalculatorRegisters, CalendarButtonsConvertTheDateInA) {
    type("1 MAR 1900");
    QTest::keyClick(a(), Qt::Key_Return);
    click(window().convertBtns()->button(kCalendarJulian));
    EXPECT_EQ(text(A), "17 FEB 1900");
    EXPECT_EQ(calendar(A), "Julian");
    EXPECT_EQ(day(A), "THU");
    type("1 MAR 1900");
    click(window().convertBtns()->button(kCalendarFrench));
    EXPECT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts.front(),
              "The calendar conversion could not be completed. / All or some of the date was out of range for the "
              "requested calendar.");
}

struct LengthCase {
    const char* name;
    QString text;
    bool beeps;
};

class CalculatorTextLength : public CalculatorTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(CalculatorTextLength, LongTextsBeepAndReadNothing) {
    type(GetParam().text);
    keypadEnter();
    EXPECT_EQ(beeps, GetParam().beeps ? 1 : 0);
    EXPECT_TRUE(alerts.empty());
    EXPECT_EQ(text(B).empty(), GetParam().beeps);
}

INSTANTIATE_TEST_SUITE_P(
    Calculator, CalculatorTextLength,
    ::testing::Values(LengthCase{"TwoHundredFifty", QString(240, ' ') + "1 MAR 1900", false},
                      LengthCase{"TwoHundredFiftyOne", QString(241, ' ') + "1 MAR 1900", true},
                      // 245 characters but 255 bytes of UTF-8: more than the engine reads.
                      LengthCase{"TooManyBytes", QString(10, QChar(0xE9)) + QString(225, ' ') + "1 MAR 1900", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalculatorRegisters, TodayInAnyCaseIsTheCurrentDate) {
    enter(" ToDaY ");
    EXPECT_EQ(text(B), "8 DEC 2026");
    EXPECT_EQ(day(B), "TUE");
}

struct WordCase {
    const char* name;
    const char* before;
    const char* word;
    const char* after;
    int caret;  // -1: not checked
};

class CalculatorWords : public CalculatorTest, public ::testing::WithParamInterface<WordCase> {};

TEST_P(CalculatorWords, WordButtonsTypeIntoA) {
    const WordCase& c = GetParam();
    type(c.before);
    a()->end(false);
    QAbstractButton* wordButton = nullptr;
    for (QButtonGroup* group : {window().gedcomWords(), window().monthWords()})
        for (QAbstractButton* b : group->buttons())
            if (b->text() == c.word) wordButton = b;
    ASSERT_NE(wordButton, nullptr);
    click(wordButton);
    EXPECT_EQ(a()->text().toStdString(), c.after);
    if (c.caret >= 0) {
        EXPECT_EQ(a()->cursorPosition(), c.caret);
    }
}

INSTANTIATE_TEST_SUITE_P(Calculator, CalculatorWords,
                         ::testing::Values(WordCase{"QualifierReplacesBEF", "BEF 1900", "ABT", "ABT 1900", -1},
                                           WordCase{"QualifierReplacesFROM", "FROM 1900 TO 1910", "ABT",
                                                    "ABT 1900 TO 1910", -1},
                                           WordCase{"QualifierIntoEmpty", "", "ABT", "ABT ", 4},
                                           WordCase{"ConjunctionSpaced", "BET 1900", "AND", "BET 1900 AND ", 13},
                                           WordCase{"MonthAfterDay", "1", "MAR", "1 MAR ", 6}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalculatorRegisters, MemoriesKeepTheTextBehindTheirSlotNumber) {
    for (const auto& [slot, value] : {std::pair{3, "12 MAR 1850"}, std::pair{12, "1 JAN 1900"}}) {
        type(value);
        window().storeMenu()->actions().at(slot)->trigger();
        EXPECT_EQ(window().recallMenu()->actions().at(slot)->text().toStdString(), std::to_string(slot) + ":" + value);
        type("");
        window().recallMenu()->actions().at(slot)->trigger();
        EXPECT_EQ(a()->text().toStdString(), value);
    }
}

TEST_F(CalculatorRegisters, KeysOfRegisterA) {
    type("@#DJULIAN@ 1 MAR 1900");
    QTest::keyClick(a(), Qt::Key_Return);
    EXPECT_EQ(text(A), "14 MAR 1900");
    EXPECT_EQ(calendar(A), "Gregorian");
    QTest::keyClick(a(), Qt::Key_Tab);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(window().focusWidget(), a()) << "Tab leaves the focus in a";
    QTest::keyClick(a(), Qt::Key_Escape);
    EXPECT_TRUE(text(A).empty());
    EXPECT_TRUE(calendar(A).empty());
    type("1 MAR 1900");
    QTest::keyClick(a(), Qt::Key_Enter);
    EXPECT_TRUE(text(B).empty()) << "only the keypad's Enter enters";
}

TEST_F(CalculatorRegisters, TypingDropsTheValueAndLabelsOfA) {
    type("1 MAR 1900");
    QTest::keyClick(a(), Qt::Key_Return);
    EXPECT_EQ(day(A), "THU");
    QTest::keyClicks(a(), "0");
    EXPECT_TRUE(day(A).empty());
    EXPECT_TRUE(calendar(A).empty());
}

TEST_F(CalculatorRegisters, RollAndSwapMoveTextsAndLabels) {
    enter("1 MAR 1900");
    type("10d");
    click(window().swapButton());
    EXPECT_EQ(text(A), "1 MAR 1900");
    EXPECT_EQ(text(B), "10d");
    EXPECT_EQ(calendar(B), "TIME");
    click(window().rollButton());
    EXPECT_EQ(text(A), "10d");
    EXPECT_EQ(text(E), "1 MAR 1900");
    EXPECT_EQ(day(E), "THU");
}

struct FailureCase {
    const char* name;
    const char* b;  // entered first, "" for none
    const char* a;
    bool sum;
    const char* alert;
};

class CalculatorFailures : public CalculatorTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CalculatorFailures, TellWhyAndMoveNothing) {
    const FailureCase& c = GetParam();
    if (*c.b) enter(c.b);
    type(c.a);
    // The menu offers both even when the buttons are disabled.
    const QString title = c.sum ? "Sum b + a" : "Difference b - a";
    QAction* command = nullptr;
    for (QAction* action : window().findChildren<QAction*>())
        if (action->text() == title) command = action;
    ASSERT_NE(command, nullptr);
    command->trigger();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts.front(), c.alert);
    EXPECT_EQ(text(B), c.b);
    EXPECT_TRUE(text(C).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Calculator, CalculatorFailures,
    ::testing::Values(
        FailureCase{"NothingInB", "", "1 MAR 1900", false,
                    "The date calculation could not be completed. / No date or time in register b."},
        FailureCase{"TwoDatesAdded", "1 MAR 1900", "2 MAR 1900", true,
                    "The date calculation could not be completed. / Can not add two dates."},
        FailureCase{"DateFromSpan", "10d", "2 MAR 1900", false,
                    "The date calculation could not be completed. / Can not subtract a date from a time."},
        FailureCase{"OpenBothWays", "AFT 1900", "TO 10y", true,
                    "The date calculation could not be completed. / The added time gives a date out of range for its "
                    "calendar or an indeterminate date."},
        FailureCase{"NeitherDateNorTime", "1 MAR 1900", "xyz", false,
                    "The entered text in neither a date nor a time. / The date part <xyz> is not allowed in dates. The "
                    "time span part <XYZ> is not allowed in times."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CalculatorRegisters, ScreenshotWithThreeRegisters) {
    enter("1 MAR 1900");
    enter("ABT 1850");
    type("2y 3m");
    click(window().convertTime()->button(2));
    window().resize(window().sizeHint());
    QCoreApplication::processEvents();
    const auto path = std::filesystem::path(KL_BINARY_DIR) / "tempolin.png";
    EXPECT_TRUE(window().grab().save(QString::fromStdString(path.string())));
    EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace kl::test
