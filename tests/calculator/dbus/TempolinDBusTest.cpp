#include <signal.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>

#include "app/ui/SingleInstance.h"
#include "app/ui/TempolinClient.h"
#include "calculator/ui/CalculatorTestSupport.h"
#include "calculator/ui/TempolinDBus.h"

namespace kl::test {
namespace {

bool spinUntil(const std::function<bool()>& condition, int limitMilliseconds = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < limitMilliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

// A script's own connection to the bus; its calls are answered while the
// event loop turns.
QString call(const char* method, const QVariantMap& arguments) {
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "tempolin-script");
    QDBusMessage message = QDBusMessage::createMethodCall(TempolinDBus::kService, TempolinDBus::kPath,
                                                         TempolinDBus::kInterface, method);
    message << arguments;
    QDBusPendingCall pending = client.asyncCall(message);
    spinUntil([&pending] { return pending.isFinished(); });
    if (pending.isError()) return "D-Bus error: " + pending.error().message();
    const QDBusMessage reply = pending.reply();
    return reply.arguments().isEmpty() ? QString() : reply.arguments().front().toString();
}

class TempolinOnTheBus : public CalculatorTest {
protected:
    void SetUp() override {
        CalculatorTest::SetUp();
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
        ASSERT_TRUE(tempolin_->bus().registerOn(QDBusConnection::sessionBus()));
    }
};

TEST_F(TempolinOnTheBus, EnterDateTextEntersTheDateOrClearsA) {
    call("EnterDateText", {{"DateTxt", "1 mar 1900"}});
    EXPECT_EQ(text(TPModel::kA), "1 MAR 1900");
    EXPECT_EQ(text(TPModel::kB), "1 MAR 1900");
    call("EnterDateText", {});
    EXPECT_TRUE(text(TPModel::kA).empty());
    EXPECT_EQ(text(TPModel::kB), "1 MAR 1900");
}

struct CommandCase {
    const char* name;
    const char* method;
    QVariantMap arguments;
    const char* answer;
};

class TempolinCommands : public TempolinOnTheBus, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(TempolinCommands, AnswerWithATextAndLeaveTheWindowAlone) {
    type("1 MAR 1850");
    QTest::keyClick(a(), Qt::Key_Return);
    EXPECT_EQ(call(GetParam().method, GetParam().arguments).toStdString(), GetParam().answer);
    EXPECT_EQ(text(TPModel::kA), "1 MAR 1850") << "the window's own format is unchanged";
    EXPECT_TRUE(text(TPModel::kB).empty());
}

const QVariantMap kYear{{"FirstDate", "1 MAR 1900"}, {"SecondDate", "1 MAR 1901"}};

QVariantMap with(QVariantMap map, const QString& key, const QString& value) {
    map.insert(key, value);
    return map;
}

INSTANTIATE_TEST_SUITE_P(
    Tempolin, TempolinCommands,
    ::testing::Values(
        CommandCase{"SpanInYearsAndDays", "TimeSpanCalc", with(kYear, "TimeForm", "YD"), "0y 365d"},
        CommandCase{"SpanInYearsMonthsDays", "TimeSpanCalc", with(kYear, "TimeForm", "ymd"), "0y 11m 31d"},
        CommandCase{"SpanInDays", "TimeSpanCalc", with(kYear, "TimeForm", "days"), "365d"},
        CommandCase{"SpanOfSpans", "TimeSpanCalc", {{"FirstTime", "10d"}, {"BeforeTime", "FROM 30d"}}, "FROM 20d"},
        CommandCase{"SpanWithoutSecondDate", "TimeSpanCalc", {{"FirstDate", "1 MAR 1900"}},
                    "Error: Missing parameter(s)"},
        CommandCase{"SpanOfBadDate", "TimeSpanCalc", with(kYear, "FirstDate", "1 FOO 1900"),
                    "Error: Initial date format: The date part <FOO> is not allowed in dates."},
        CommandCase{"DateInDefaultFormat", "DateTimeCalc", {{"TimeDiff", "10d"}, {"BeforeDate", "11 MAR 100 B.C."}},
                    "1 MAR 0100 B.C."},
        CommandCase{"DateInItsOwnFormat", "DateTimeCalc",
                    {{"TimeDiff", "10d"}, {"AfterDate", "1 MAR 1900"}, {"DateForm", "%y %M %d"}}, "1900 MAR 11"},
        CommandCase{"DateWithoutSpan", "DateTimeCalc", {{"AfterDate", "1900"}}, "Error: No time given"},
        CommandCase{"DayOfWeek", "DowCalc", {{"DayDate", "1 JAN 1900"}}, "Monday"},
        CommandCase{"DayOfAMonth", "DowCalc", {{"DayDate", "MAR 1900"}}, "Error: Input date is not an exact date"},
        CommandCase{"ThreeLettersAreNotJulian", "ConvertCalc", {{"ConDate", "1 MAR 1900"}, {"ConTo", "Jul"}},
                    "1 MAR 1900"},
        CommandCase{"JulianWord", "ConvertCalc", {{"ConDate", "1 MAR 1900"}, {"ConTo", "Julian"}}, "17 FEB 1900"},
        CommandCase{"JulianCode", "ConvertCalc", {{"ConDate", "1 MAR 1900"}, {"ConTo", "JULN"}}, "17 FEB 1900"},
        CommandCase{"SpanInAStyle", "ConvertCalc", {{"ConTime", "400d"}, {"DateForm", "YD"}}, "1y 35d"},
        CommandCase{"NothingToConvert", "ConvertCalc", {}, "Error: No date or time given for conversion"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TempolinOnTheBus, KinloreHandsItsDateToTheRunningTempolin) {
    ASSERT_TRUE(TempolinClient::enterDateText("ABT 1850", "/nonexistent/tempolin"));
    EXPECT_TRUE(spinUntil([this] { return text(TPModel::kB) == "ABT 1850"; }));
    EXPECT_EQ(text(TPModel::kA), "ABT 1850");
}

TEST(TempolinClient, StartsTempolinWhenItIsNotRunningAndTellsWhenItCannot) {
    EXPECT_FALSE(TempolinClient::enterDateText("1 MAR 1900", "/nonexistent/tempolin", 500));
    ASSERT_TRUE(TempolinClient::enterDateText("1 MAR 1900", KL_TEMPOLIN));
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    ASSERT_TRUE(bus->isServiceRegistered(TempolinDBus::kService).value());
    const uint pid = bus->servicePid(TempolinDBus::kService).value();
    ASSERT_GT(pid, 0u);
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    EXPECT_TRUE(spinUntil([bus] { return !bus->isServiceRegistered(TempolinDBus::kService).value(); }));
}

// The program itself: it offers the calculator on the bus, and a second
// start hands over to the running one and ends.
TEST(TempolinProgram, OffersTheCalculatorOnTheBus) {
    QProcess tempolin;
    tempolin.start(KL_TEMPOLIN, {});
    ASSERT_TRUE(tempolin.waitForStarted());
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    EXPECT_TRUE(spinUntil([bus] { return bus->isServiceRegistered(TempolinDBus::kService).value(); }));
    EXPECT_EQ(call("DowCalc", {{"DayDate", "8 DEC 2026"}}).toStdString(), "Tuesday");
    tempolin.terminate();
    EXPECT_TRUE(tempolin.waitForFinished());
}

TEST(TempolinProgram, SecondStartHandsOverAndEnds) {
    SingleInstance running(SingleInstance::defaultSocketPath("tempolin"));
    ASSERT_TRUE(running.listen());
    QSignalSpy handedOver(&running, &SingleInstance::filesReceived);
    QProcess second;
    second.start(KL_TEMPOLIN, {});
    ASSERT_TRUE(second.waitForStarted());
    EXPECT_TRUE(spinUntil([&second] { return second.state() == QProcess::NotRunning; }));
    if (second.state() != QProcess::NotRunning) {
        second.kill();
        second.waitForFinished();
    }
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(spinUntil([&handedOver] { return handedOver.count() == 1; }));
    EXPECT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(TempolinDBus::kService).value());
}

}  // namespace
}  // namespace kl::test
