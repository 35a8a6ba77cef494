// Tempolin answering DateTimeCalc over D-Bus (target: median under 10 ms
// over 1,000 calls). The benchmark starts a bus of its own and the built
// tempolin program on it, and ends both by their process ids.
#include <benchmark/benchmark.h>

#include <signal.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

constexpr const char* kService = "org.kinlore.Tempolin";

class PrivateTempolin {
public:
    PrivateTempolin() {
        bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        if (!bus_.waitForStarted() || !bus_.waitForReadyRead(10000)) return;
        address_ = QString::fromUtf8(bus_.readLine()).trimmed();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        // A Tempolin of the user's own must not take the start over.
        environment.insert("XDG_RUNTIME_DIR", home_.path());
        environment.insert("XDG_CONFIG_HOME", home_.path());
        tempolin_.setProcessEnvironment(environment);
        tempolin_.start(QCoreApplication::applicationDirPath() + "/../bin/tempolin", {});
        tempolin_.waitForStarted();
        connection_ = QDBusConnection::connectToBus(address_, "bench");
        QElapsedTimer waited;
        waited.start();
        while (connection_.isConnected() && waited.elapsed() < 20000 &&
               !connection_.interface()->isServiceRegistered(kService).value())
            QThread::msleep(20);
    }
    ~PrivateTempolin() {
        QDBusConnection::disconnectFromBus("bench");
        for (QProcess* process : {&tempolin_, &bus_}) {
            if (process->processId() > 0) ::kill(static_cast<pid_t>(process->processId()), SIGTERM);
            process->waitForFinished(5000);
        }
    }
    bool ready() { return connection_.isConnected() && connection_.interface()->isServiceRegistered(kService).value(); }
    QString dateTimeCalc() {
        QDBusMessage message = QDBusMessage::createMethodCall(kService, "/org/kinlore/Tempolin",
                                                             "org.kinlore.Tempolin.Calculator", "DateTimeCalc");
        message << QVariantMap{{"TimeDiff", "2y 3m 10d"}, {"AfterDate", "ABT 12 MAR 1850"}};
        const QDBusMessage reply = connection_.call(message);
        return reply.arguments().isEmpty() ? QString() : reply.arguments().front().toString();
    }

private:
    QTemporaryDir home_;
    QProcess bus_;
    QProcess tempolin_;
    QString address_;
    QDBusConnection connection_{QString()};
};

void DateTimeCalcOverTheBus(benchmark::State& state) {
    PrivateTempolin tempolin;
    if (!tempolin.ready()) {
        state.SkipWithError("tempolin did not come up on its bus");
        return;
    }
    std::vector<double> milliseconds;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(tempolin.dateTimeCalc());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        milliseconds.push_back(took.count() * 1000);
    }
    std::nth_element(milliseconds.begin(), milliseconds.begin() + milliseconds.size() / 2, milliseconds.end());
    state.counters["median_ms"] = milliseconds[milliseconds.size() / 2];
}
BENCHMARK(DateTimeCalcOverTheBus)->Iterations(1000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
