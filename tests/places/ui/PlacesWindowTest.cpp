// The places subsystem in the running program: the place events report
// from the index window's Reports menu, and the Derev Azeduze opened from
// the index window's toolbar, browsing local pages.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QTextEdit>
#include <QUrl>
#include <QLabel>
#include <QWebEngineView>
#include <QtTest/QTest>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTcpServer>
#include <QTcpSocket>

#include <map>

#include <fstream>

#include "browser/ui/BrowserTestSupport.h"
#include "charts/ui/ReportsMenu.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "index/ui/IndexToolbarWidget.h"
#include "model/GEDCOMStructure.h"
#include "model/ReportRecord.h"
#include "places/PlaceAdvisor.h"
#include "places/Map_BOXCell.h"
#include "places/ui/DerevAzeduze.h"
#include "places/ui/MapCellView.h"
#include "places/ui/PlaceWebView.h"
#include "places/ui/PlacesDesktop.h"
#include "places/ui/ImportPlace.h"
#include "places/ui/SearchPlace.h"

// The web engine (Chromium inside Qt WebEngine, built without sanitizers)
// frees some of its own objects through a base pointer of another size,
// which AddressSanitizer would stop this program for; the check stays on in
// every other test program.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }
// Its browser process keeps its pages' internals and device monitors to
// the end of the program.
extern "C" const char* __lsan_default_suppressions() { return "leak:libQt6WebEngineCore\nleak:libudev\nleak:libdbus-1\n"; }

namespace kl {
namespace {

// The web engine's sandbox refuses to start as root, as the tests run.
[[maybe_unused]] const bool kNoSandbox = qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

class PlacesWindow : public BrowserWindows {
protected:
    void SetUp() override {
        BrowserWindows::SetUp();
        ReportsMenu::addToIndexWindows(application->docController());
        PlacesDesktop::install(application->docController(), *defaults);
        AppController::setAddressOpener([this](const std::string& address) { opened.push_back(address); });
    }
    void TearDown() override {
        AppController::setAddressOpener(nullptr);
        DerevAzeduze::uninstall();
        IndexWindow::setValidateStarter(nullptr);
        settle();
        BrowserWindows::TearDown();
    }
    std::vector<std::shared_ptr<GEDCOMRecord>> reports() {
        const auto list = doc->gedcomModel().recordsIndex().listForType("_RPT");
        return list ? list->order() : std::vector<std::shared_ptr<GEDCOMRecord>>{};
    }
    static QAction* placeEventsItem(IndexWindow& window) {
        for (QAction* item : ReportsMenu::of(window)->menu()->actions())
            if (item->data().toInt() == PlacesDesktop::kPlaceEventsReportTag) return item;
        return nullptr;
    }
    // A local page with the title and body, as a file address.
    std::string page(const std::string& name, const std::string& title, const std::string& body = "") {
        const auto path = root() / name;
        std::ofstream(path) << "<html><head><meta charset='utf-8'><title>" << title << "</title></head><body>"
                            << body << "</body></html>";
        return QUrl::fromLocalFile(QString::fromStdString(path.string())).toString().toStdString();
    }
    static bool showsTitle(DerevAzeduze& advisor, const std::string& title) {
        return test::processUntil([&] { return advisor.placeWeb()->title().toStdString() == title; });
    }
    static bool enabled(DerevAzeduze& advisor, const char* identifier) {
        advisor.toolbar()->validateVisibleItems();
        return advisor.toolbar()->actionForIdentifier(identifier)->isEnabled();
    }

    std::vector<std::string> opened;
};

TEST_F(PlacesWindow, PlaceEventsReportListsTheEventsOfTheSelectedPlace) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    QAction* item = placeEventsItem(*window);
    ASSERT_NE(item, nullptr) << "the Reports menu offers the report";
    EXPECT_EQ(item->text(), "Place Events Report");

    window->controller().selectAnyRecord(doc->gedcomModel().recordWithID("@I1@"));
    settle();
    emit ReportsMenu::of(*window)->menu()->aboutToShow();
    EXPECT_FALSE(item->isEnabled()) << "an individual is no place";

    window->controller().selectAnyRecord(doc->gedcomModel().recordWithID("@P1@"));
    settle();
    emit ReportsMenu::of(*window)->menu()->aboutToShow();
    ASSERT_TRUE(item->isEnabled());
    const std::size_t before = reports().size();
    item->trigger();
    ASSERT_TRUE(test::processUntil([&] { return reports().size() > before; }));
    settle();
    auto report = std::dynamic_pointer_cast<ReportRecord>(reports().back());
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->viewName().starts_with("Radavizu, Lower Vessmark, Vessland (")) << report->viewName();
    const std::string body = report->body();
    EXPECT_NE(body.find("<p>The place <b>Radavizu, Lower Vessmark, Vessland</b> is cited by "), std::string::npos)
        << body;
    EXPECT_NE(body.find("<li><a href='//@I"), std::string::npos) << body;
    EXPECT_TRUE(body.ends_with("</ol>\n</div>")) << body.substr(body.size() > 80 ? body.size() - 80 : 0);
    BrowserController* shown = nullptr;
    for (BrowserController* browser : browsers(*window))
        if (browser->theRecord() == report) shown = browser;
    EXPECT_NE(shown, nullptr) << "the stored report opens in a record window";
}

TEST_F(PlacesWindow, TheToolbarItemOpensTheAdvisorWhosePageTitlesEnableItsCommands) {
    defaults->setObject(Value(page("home.html", "The Place Advisor",
                                   "<h1>The Place Advisor</h1><p>Choose a country.</p>")),
                        "Mundora Alias Web Site");
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    QAction* show = window->toolbar()->actionForIdentifier("DerevAzeduze");
    ASSERT_NE(show, nullptr);
    show->trigger();
    ASSERT_TRUE(DerevAzeduze::hasDerevAzeduze());
    DerevAzeduze* advisor = DerevAzeduze::sharedDerevAzeduze();
    EXPECT_EQ(advisor->windowTitle(), "Derev Azeduze");
    ASSERT_TRUE(showsTitle(*advisor, "The Place Advisor"));
    EXPECT_FALSE(enabled(*advisor, "CopyToPlaceRecord"));
    EXPECT_FALSE(enabled(*advisor, "SearchForPlace"));
    EXPECT_TRUE(enabled(*advisor, "OpenAdvisorInBrowser"));
    EXPECT_EQ(advisor->searchResults()->height(), 0) << "the results pane starts collapsed";

    advisor->placeWeb()->loadDocumentPath(page("lyon.html", "FR:\u205F\u205FLyon, Rhône, France",
                                               "<h1>Lyon</h1><a id='out' href='https://elsewhere.example/'>More</a>"));
    ASSERT_TRUE(showsTitle(*advisor, "FR:\u205F\u205FLyon, Rhône, France"));
    EXPECT_EQ(advisor->placeWeb()->placeCode(), "FR:  Lyon, Rhône, France");
    EXPECT_TRUE(enabled(*advisor, "CopyToPlaceRecord"));
    EXPECT_TRUE(enabled(*advisor, "SearchForPlace"));

    // A followed link opens in the desktop's browser; the advisor stays.
    const QUrl shownPage = advisor->placeWeb()->url();
    advisor->placeWeb()->page()->runJavaScript("document.getElementById('out').click();");
    ASSERT_TRUE(test::processUntil([&] { return !opened.empty(); }));
    EXPECT_EQ(opened.back(), "https://elsewhere.example/");
    settle();
    EXPECT_EQ(advisor->placeWeb()->url(), shownPage);

    advisor->toolbar()->actionForIdentifier("OpenAdvisorInBrowser")->trigger();
    EXPECT_EQ(opened.back(), defaults->stringForKey("Mundora Alias Web Site"));

    // Under a real display (xvfb-run) the page itself is in the picture.
    const auto path = std::filesystem::path(KL_BINARY_DIR) / "derev-azeduze.png";
    advisor->show();
    settle();
    QScreen* screen = advisor->screen();
    const QPixmap shot = QGuiApplication::platformName() == "xcb" && screen ? screen->grabWindow(advisor->winId())
                                                                           : advisor->grab();
    EXPECT_TRUE(shot.save(QString::fromStdString(path.string())));
}

TEST_F(PlacesWindow, CommandsWithoutAPlaceCodeExplainWhy) {
    defaults->setObject(Value(page("home.html", "The Place Advisor")), "Mundora Alias Web Site");
    ASSERT_TRUE(DerevAzeduze::showDerevAzeduze(PlaceAdvisor::ShowAdvisorTag));
    DerevAzeduze* advisor = DerevAzeduze::sharedDerevAzeduze();
    ASSERT_TRUE(showsTitle(*advisor, "The Place Advisor"));
    struct Case {
        void (DerevAzeduze::*command)();
        const char* message;
    };
    for (const Case& c : {Case{&DerevAzeduze::copyToPlaceRecord,
                               "The place code for the current selected place could not be determined"},
                          Case{&DerevAzeduze::searchForPlace,
                               "The place code for the current selected country could not be determined"}}) {
        (advisor->*c.command)();
        QPointer<QMessageBox> box;
        ASSERT_TRUE(test::processUntil([&] {
            for (QMessageBox* b : advisor->findChildren<QMessageBox*>())
                if (b->isVisible()) box = b;
            return !box.isNull();
        }));
        EXPECT_EQ(box->text().toStdString(), c.message);
        box->buttons().front()->click();
        settle();
    }
}

TEST_F(PlacesWindow, APageTheServiceCannotFindClosesTheAdvisor) {
    defaults->setObject(Value(page("home.html", "The Place Advisor")), "Mundora Alias Web Site");
    ASSERT_TRUE(DerevAzeduze::showDerevAzeduze(PlaceAdvisor::ShowAdvisorTag));
    QPointer<DerevAzeduze> advisor = DerevAzeduze::sharedDerevAzeduze();
    ASSERT_TRUE(showsTitle(*advisor, "The Place Advisor"));
    // The alert runs application-modal: answer it once it shows.
    QString told;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text() + "|" + box->informativeText();
            box->buttons().front()->click();
        }
    });
    answer.start(20);
    EXPECT_TRUE(advisor->placeWeb()->decidePolicyForNavigation(QUrl("https://places.example/FR.html"),
                                                               PlaceAdvisor::Other));
    EXPECT_EQ(advisor->placeWeb()->recentNavigation(), "https://places.example/FR.html");
    EXPECT_FALSE(advisor->placeWeb()->decidePolicyForNavigation(QUrl("https://places.example/404-header.html"),
                                                                PlaceAdvisor::Other));
    ASSERT_TRUE(test::processUntil([&] { return advisor.isNull(); }));
    EXPECT_EQ(told, "The place advisor could not be loaded due to server or internet connection error.|"
                    "404 Page Not Found");
    EXPECT_FALSE(DerevAzeduze::hasDerevAzeduze()) << "the next use makes a new advisor";
}

TEST_F(PlacesWindow, APlaceRecordShowsItsBoxOnAMapThatFollowsEdits) {
    IndexWindow* window = openSample();
    ASSERT_NE(window, nullptr);
    window->controller().selectAnyRecord(doc->gedcomModel().recordWithID("@P1@"));
    settle();
    QTest::keyClick(window->recordsTable(), Qt::Key_Return);
    ASSERT_TRUE(test::processUntil([&] { return browsers(*window).size() == 1 && browsers(*window)[0]->builds() > 0; }));
    BrowserController& browser = *browsers(*window)[0];
    Map_BOXCell* map = nullptr;
    for (const auto& cell : browser.backgroundView().customCells())
        if (auto* found = dynamic_cast<Map_BOXCell*>(cell.get())) map = found;
    ASSERT_NE(map, nullptr) << "the _BOX template's expression field is a map";
    auto* view = dynamic_cast<MapCellView*>(map->view());
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(test::processUntil([&] { return !view->pagePath().empty(); })) << view->text();
    EXPECT_TRUE(view->text().find("north: 54.140000") != std::string::npos) << view->text();
    ASSERT_TRUE(test::processUntil([&] { return view->webView()->title() == "Place Map"; }))
        << view->webView()->title().toStdString();
    // Under a real display (xvfb-run) the page itself is in the picture.
    browser.window()->show();
    settle();
    QTest::qWait(500);
    QScreen* screen = browser.window()->screen();
    const QPixmap shot = QGuiApplication::platformName() == "xcb" && screen
                             ? screen->grabWindow(browser.window()->winId())
                             : browser.window()->grab();
    EXPECT_TRUE(shot.save(QString::fromStdString((std::filesystem::path(KL_BINARY_DIR) / "place-map.png").string())));

    // A bounds text that does not read shows its message instead.
    auto bounds = map->structure()->firstChildWithTag("_BNDS");
    bounds->setContents("(95, 18.41), (96, 18.49)");
    settle();
    EXPECT_TRUE(view->pagePath().empty());
    EXPECT_FALSE(view->messageLabel()->text().isEmpty());
}

// A tiny place-data service on this machine: canned replies by the request
// text after "/cgi-bin/", 404 for anything else.
class LocalPlaceService {
public:
    LocalPlaceService() {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QByteArray head = socket->readAll();
                    const QByteArray path = head.split(' ').value(1);
                    asked.push_back(path.mid(9).toStdString());
                    auto reply = replies.find(asked.back());
                    const QByteArray body = reply == replies.end() ? "missing" : QByteArray::fromStdString(reply->second);
                    socket->write((reply == replies.end() ? "HTTP/1.0 404 Not Found\r\n" : "HTTP/1.0 200 OK\r\n") +
                                  QByteArray("Content-Type: text/plain\r\nContent-Length: ") +
                                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(server.serverPort()) + "/cgi-bin/"; }

    QTcpServer server;
    std::map<std::string, std::string> replies;
    std::vector<std::string> asked;
};

class PlaceSheets : public PlacesWindow {
protected:
    // The advisor showing Lyon, its requests going to the local service.
    DerevAzeduze* advisorOnLyon() {
        defaults->setObject(Value(page("home.html", "The Place Advisor")), "Mundora Alias Web Site");
        if (!openSample()) return nullptr;
        DerevAzeduze::showDerevAzeduze(PlaceAdvisor::ShowAdvisorTag);
        DerevAzeduze* advisor = DerevAzeduze::sharedDerevAzeduze();
        if (!showsTitle(*advisor, "The Place Advisor")) return nullptr;
        advisor->placeWeb()->loadDocumentPath(page("lyon.html", "FR: Lyon, Rhône, France"));
        if (!showsTitle(*advisor, "FR: Lyon, Rhône, France")) return nullptr;
        advisor->placeWeb()->setRequestURL(service.base());
        return advisor;
    }
    template <class Sheet>
    static Sheet* shownSheet(DerevAzeduze& advisor) {
        Sheet* shown = nullptr;
        test::processUntil([&] {
            for (Sheet* sheet : advisor.findChildren<Sheet*>())
                if (sheet->isVisible()) shown = sheet;
            return shown != nullptr;
        });
        return shown;
    }
    static void saveShot(QWidget& widget, const char* name) {
        EXPECT_TRUE(widget.grab().save(QString::fromStdString((std::filesystem::path(KL_BINARY_DIR) / name).string())));
    }
    // Answers the next application-modal or sheet alert, giving its texts.
    static std::string answerAlert(QWidget& window) {
        QPointer<QMessageBox> box;
        test::processUntil([&] {
            for (QMessageBox* b : window.findChildren<QMessageBox*>())
                if (b->isVisible()) box = b;
            if (!box) box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            return !box.isNull();
        });
        if (!box) return "<no alert>";
        const std::string told = (box->text() + "|" + box->informativeText()).toStdString();
        box->buttons().front()->click();
        return told;
    }

    LocalPlaceService service;
};

TEST_F(PlaceSheets, CopyToPlaceWritesTheDownloadedPlaceAndOpensIt) {
    service.replies = {
        {"fetchLevel2Details.py?country=FR&level1=Rh%C3%B4ne&level2=Lyon",
         R"({"comment": "On two rivers", "event_dict": {"0": {"level_of_origin": "local", "property_type": "Population",
            "_VALUE": "415000"}}, "wikipedia_URL": "https://wiki.example/Lyon"})"},
        {"fetchLevel2MapInfo.py?country=FR&level1=Rh%C3%B4ne&level2=Lyon",
         R"({"level2": {"sw_bb_lat": "45.7", "sw_bb_lon": "4.77", "ne_bb_lat": "45.8", "ne_bb_lon": "4.9"}})"},
        {"fetchLevel2POIs.py?country=FR&level1=Rh%C3%B4ne&level2=Lyon&bb_factor=0.0",
         R"({"0": {"POI_lat": "45.76", "POI_lon": "4.83", "point_name": "Old Bridge", "URL_descriptive": "https://b.example/"},
             "1": {"POI_lat": "45.75", "POI_lon": "4.82", "point_name": "Mill"}})"}};
    DerevAzeduze* advisor = advisorOnLyon();
    ASSERT_NE(advisor, nullptr);
    ASSERT_TRUE(enabled(*advisor, "CopyToPlaceRecord"));
    advisor->toolbar()->actionForIdentifier("CopyToPlaceRecord")->trigger();
    ImportPlace* sheet = shownSheet<ImportPlace>(*advisor);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->levels(), (std::vector<std::string>{"FR", "Rhône", "Lyon"}));
    EXPECT_EQ(sheet->placeFld()->currentText(), "Lyon, Rhône, France");
    EXPECT_EQ(sheet->okButton()->text(), "New");
    ASSERT_TRUE(test::processUntil([&] { return sheet->okButton()->isEnabled(); })) << "the download ends";
    EXPECT_EQ(service.asked.size(), 3u);
    EXPECT_TRUE(sheet->poisWithURLBox()->isEnabled());
    EXPECT_EQ(sheet->poisWithURLBox()->text(), "Include 1 POI that has a URL");
    sheet->poisWithoutURLBox()->setChecked(true);
    saveShot(*sheet, "import-place-sheet.png");

    sheet->placeFld()->setEditText("Radavizu, Lower Vessmark, Vessland");
    EXPECT_EQ(sheet->okButton()->text(), "Merge") << "the sample has that place";
    sheet->placeFld()->setEditText("Lyon, Rhône, France");
    sheet->okButton()->click();
    ASSERT_TRUE(test::processUntil([&] { return doc->gedcomModel().placeForName("Lyon, Rhône, France") != nullptr; }));
    auto record = doc->gedcomModel().placeForName("Lyon, Rhône, France");
    const std::string text = record->gedcomString();
    EXPECT_NE(text.find("1 _PFACT Population\n2 _VALUE 415000\n"), std::string::npos) << text;
    EXPECT_NE(text.find("1 _BOX Lyon\n2 _BNDS (45.7, 4.77), (45.8, 4.9)\n2 _POI Mill\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Old Bridge"), std::string::npos) << text;
    IndexWindow* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* index = qobject_cast<IndexWindow*>(widget)) window = index;
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(test::processUntil([&] {
        for (BrowserController* browser : browsers(*window))
            if (browser->theRecord() == record) return true;
        return false;
    })) << "the place opens in a record window";
    doc->undoManager()->undo();
    EXPECT_EQ(doc->gedcomModel().placeForName("Lyon, Rhône, France"), nullptr) << "one undo takes the copy back";
}

TEST_F(PlaceSheets, AFailedDownloadEndsTheSheetWithAnAlert) {
    DerevAzeduze* advisor = advisorOnLyon();
    ASSERT_NE(advisor, nullptr);
    advisor->copyToPlaceRecord();
    ASSERT_NE(shownSheet<ImportPlace>(*advisor), nullptr);
    const std::string told = answerAlert(*advisor);
    EXPECT_EQ(told.substr(0, told.find('|')), "Error downloading place information");
    EXPECT_NE(told.find("Not Found"), std::string::npos) << told;
    EXPECT_TRUE(advisor->findChildren<ImportPlace*>().empty() ||
                !advisor->findChildren<ImportPlace*>().front()->isVisible());
}

TEST_F(PlaceSheets, SearchShowsTheNamesFoundUnderThePage) {
    service.replies = {{"fetchSubstringCaseInsensitiveMatchingNames.py?placeName=Ly&country=FR",
                        R"({"0": {"n": "Lyon, Rhône, France"}, "1": {"n": "lyre, Somewhere, France"}})"},
                       {"fetchSubstringCaseInsensitiveMatchingNames.py?placeName=Q&country=FR", "{}"}};
    DerevAzeduze* advisor = advisorOnLyon();
    ASSERT_NE(advisor, nullptr);
    advisor->toolbar()->actionForIdentifier("SearchForPlace")->trigger();
    SearchPlace* sheet = shownSheet<SearchPlace>(*advisor);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->label()->text().toStdString(), "Search for place within the country 'France'");
    sheet->findString()->clear();
    EXPECT_FALSE(sheet->okButton()->isEnabled()) << "nothing to search for";
    sheet->findString()->setText("Q");
    sheet->containedButton()->setChecked(true);
    sheet->caseSensitiveBox()->setChecked(true);
    sheet->okButton()->click();
    ASSERT_TRUE(test::processUntil([&] { return sheet->downloadLabel()->text() == "No places found"; }));
    EXPECT_TRUE(sheet->okButton()->isEnabled()) << "another try";
    saveShot(*sheet, "search-place-sheet.png");

    sheet->findString()->setText("Ly");
    sheet->okButton()->click();
    ASSERT_TRUE(test::processUntil([&] { return !advisor->searchResults()->toPlainText().isEmpty(); }));
    EXPECT_EQ(advisor->searchResults()->toPlainText().toStdString(),
              "Search for 'Ly' in country 'France' (contained in place name, case sensitive)\nFound one match.\n\n"
              "Lyon, Rhône, France");
    EXPECT_GT(advisor->searchResults()->height(), 0) << "the results pane opens";

    // The next sheet shows the last text; Cancel folds the pane away.
    advisor->searchForPlace();
    SearchPlace* again = nullptr;
    ASSERT_TRUE(test::processUntil([&] {
        for (SearchPlace* s : advisor->findChildren<SearchPlace*>())
            if (s->isVisible() && s != sheet) again = s;
        return again != nullptr;
    }));
    EXPECT_EQ(again->findString()->text(), "Ly");
    again->cancelClick();
    settle();
    EXPECT_EQ(advisor->searchResults()->height(), 0);
}

}  // namespace
}  // namespace kl
