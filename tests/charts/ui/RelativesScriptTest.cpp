// A script asks the front document for the rows its front window lists:
// with a descendants window in front, the rows of that tree, each a level
// and its records, in outline order.
#include <QApplication>

#include <chrono>
#include <thread>

#include "RelativesWindowFixture.h"
#include "scripting/DocumentsApplication.h"
#include "scripting/ScriptController.h"
#include "support/FakeClipboard.h"
#include "support/RecordingScriptSink.h"

namespace kl {
namespace {

using test::RelativesWindowTest;

TEST_F(RelativesWindowTest, AScriptListsTheRowsOfTheFrontTreeWindow) {
    open(test::kThreeGenerations);
    RelativesController* tree = showRelatives("@I1@", "Descendants");
    ASSERT_NE(tree, nullptr);
    tree->activateWindow();
    tree->raise();
    settle();
    const Array rows = tree->listedRows(true);
    ASSERT_GE(rows.size(), 3u);

    auto sink = std::make_shared<test::RecordingScriptSink>();
    GEDCOMDocument* shown = doc.get();
    ScriptController scripts({sink, std::make_shared<test::FakeClipboard>(),
                              std::make_shared<DocumentsApplication>([shown] { return std::vector<GEDCOMDocument*>{shown}; }),
                              nullptr});
    ASSERT_TRUE(scripts.interpretScriptText(
        "getobject rows klapp.frontDocument.listedRecords\n"
        "write @rows.count, \"|\", @rows.0.0, \"|\", @rows.0.1.name, \"|\", @rows.1.0, \"|\", @rows.1.2.id",
        "rows", std::filesystem::temp_directory_path()));
    // The run hands its reads to this (the main) thread.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (sink->finished == 0 && std::chrono::steady_clock::now() < deadline) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_EQ(sink->finished, 1);
    // Arno at level 0, then his family with Bea as a family row (-1 in the
    // form scripts receive).
    EXPECT_EQ(sink->output, std::to_string(rows.size()) + ",|,0,|,Velk, Arno,|,-1,|,@F1@") << sink->output;
}

}  // namespace
}  // namespace kl
