// Records > Send Date to Tempolin against a fake Tempolin on the session
// bus: the date of the selected record, a date cell's text in capitals,
// and nothing sent for a record without dates.
#include <gtest/gtest.h>

#include <QAction>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTableView>
#include <QVariantMap>

#include "app/ui/QtDispatcher.h"
#include "app/ui/UiTestSupport.h"
#include "document/GEDCOMDocument.h"
#include "document/ui/DocumentMenus.h"
#include "index/IndexController.h"
#include "index/IndexStyleLibrary.h"
#include "index/ui/IndexWindow.h"
#include "index/ui/RecordsTableModel.h"
#include "model/GEDCOMRecord.h"

namespace kl {

// Answers Tempolin's bus name and keeps the dates entered.
class FakeTempolin : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kinlore.Tempolin.Calculator")
public:
    QStringList dates;
public slots:
    void EnterDateText(const QVariantMap& arguments) { dates << arguments.value("DateTxt").toString(); }
};

namespace {

class SendDateToTempolin : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        QDBusConnection bus = QDBusConnection::sessionBus();
        ASSERT_TRUE(bus.isConnected()) << "run under dbus-run-session";
        ASSERT_TRUE(bus.registerObject("/org/kinlore/Tempolin", &peer, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(bus.registerService("org.kinlore.Tempolin"));
        styles = std::make_shared<IndexStyleLibrary>(*defaults);
        doc = std::make_unique<GEDCOMDocument>();
        doc->undo().disableUndoRegistration();
        doc->gedcomModel().setInputGed(
            "0 HEAD\n1 CHAR UTF-8\n"
            "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 BIRT\n2 DATE 1 MAR 1820\n"
            "0 @I2@ INDI\n1 NAME Anton /Roth/\n1 SEX M\n"
            "0 TRLR\n");
        doc->gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        doc->undo().enableUndoRegistration();
        window = std::make_unique<IndexWindow>(*doc, styles, *defaults);
        window->show();
        settle();
    }
    void TearDown() override {
        QDBusConnection::sessionBus().unregisterService("org.kinlore.Tempolin");
        QDBusConnection::sessionBus().unregisterObject("/org/kinlore/Tempolin");
        window.reset();
        doc.reset();
        AppHome::TearDown();
    }
    static void settle(int milliseconds = 0) {
        QElapsedTimer timer;
        timer.start();
        do QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        while (timer.elapsed() < milliseconds);
    }
    void select(const char* id) {
        const auto listed = window->controller().listedRecords();
        for (std::size_t row = 0; row < listed.size(); ++row)
            if (listed[row]->grecordID() == id)
                window->recordsTable()->selectRow(static_cast<int>(row));
        settle();
    }

    QtDispatcher dispatcher;
    Dispatcher::Scope scope{dispatcher};
    FakeTempolin peer;
    std::shared_ptr<IndexStyleLibrary> styles;
    std::unique_ptr<GEDCOMDocument> doc;
    std::unique_ptr<IndexWindow> window;
};

TEST_F(SendDateToTempolin, TheSelectedRecordsDateOrTheCellsTextGoesOverTheBus) {
    QAction* send = window->documentMenus()->tempolinAction();
    ASSERT_NE(send, nullptr);
    select("@I1@");
    send->trigger();
    settle(300);
    EXPECT_EQ(peer.dates, QStringList{"1 MAR 1820"});

    window->documentMenus()->commands().openTempolin(std::string("abt 5 mar 1850"));
    settle(300);
    EXPECT_EQ(peer.dates, (QStringList{"1 MAR 1820", "ABT 5 MAR 1850"}));

    // No date to send: Tempolin is only there, nothing entered.
    select("@I2@");
    send->trigger();
    settle(300);
    EXPECT_EQ(peer.dates.size(), 2);
}

}  // namespace
}  // namespace kl

#include "SendDateToTempolinTest.moc"
