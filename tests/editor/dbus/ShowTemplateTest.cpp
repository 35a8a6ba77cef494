// Kinlore II's "show template" reaching the editor over the session bus:
// a template named in its list is selected in the front document; a list
// or a template that does not exist is an error that changes nothing.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QElapsedTimer>

#include "editor/ui/FormatWindowFixture.h"
#include "editor/ui/KinloreEditorDBus.h"

namespace kl {
namespace {

// Kinlore II's own connection to the bus; the call is answered while the
// event loop turns. The error's name and text, or "" on success.
std::pair<QString, QString> showTemplate(const QString& named, const QString& typed) {
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "kinlore-ii");
    QDBusMessage message = QDBusMessage::createMethodCall(KinloreEditorDBus::kService, KinloreEditorDBus::kPath,
                                                         KinloreEditorDBus::kInterface, "ShowTemplate");
    message << named << typed;
    QDBusPendingCall pending = client.asyncCall(message);
    QElapsedTimer timer;
    timer.start();
    while (!pending.isFinished() && timer.elapsed() < 20000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!pending.isError()) return {};
    return {pending.error().name(), pending.error().message()};
}

class ShowTemplateTest : public FormatWindowTest {
protected:
    void SetUp() override {
        FormatWindowTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
        ASSERT_TRUE(bus_.registerOn(QDBusConnection::sessionBus()));
    }
    KinloreEditorDBus bus_{controller_};
};

TEST_F(ShowTemplateTest, SelectsTheNamedTemplateOrFailsWithTheListOrTemplateMessage) {
    select("Tag Editing", "NAME Editing");
    const struct {
        const char* named;
        const char* typed;
        const char* error;
        const char* shown;
    } cases[] = {
        {"INDI Record Editing", "Records", "The template list named 'Records' is not a valid type of template list.",
         "NAME Editing"},
        {"ZZZZ Editing", "Tag Editing", "The template named 'ZZZZ Editing' in not in the 'Tag Editing' template list.",
         "NAME Editing"},
        {"Search Results", "Search Results",
         "The template list named 'Search Results' is not a valid type of template list.", "NAME Editing"},
        {"INDI Record Editing", "Record Editing", "", "INDI Record Editing"},
        {"WIFE Editing", "Tag Editing", "", "WIFE Editing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        const auto [name, text] = showTemplate(c.named, c.typed);
        EXPECT_EQ(text.toStdString(), c.error);
        if (*c.error) {
            EXPECT_EQ(name.toStdString(), KinloreEditorDBus::kNoSuchObjectError);
        }
        EXPECT_EQ(shownName(), c.shown);
    }
}

TEST_F(ShowTemplateTest, GoesToTheFormatInFront) {
    const path second = scratch("Second.kfrmt");
    test::fs::copy(test::shippedDefaultFormat(), second, test::fs::copy_options::recursive);
    FormatDocument* first = document_;
    open(second);
    ASSERT_NE(first, document_);
    EXPECT_EQ(showTemplate("WIFE Editing", "Tag Editing").second, "");
    EXPECT_EQ(shownName(), "WIFE Editing");
    EXPECT_NE(controller_.windowForDocument(*first)->selectedTemplate()->name(), "WIFE Editing");
}

}  // namespace
}  // namespace kl
