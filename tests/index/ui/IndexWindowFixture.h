#pragma once
// An index window over a small database made from GEDCOM text, in a
// temporary home, for the Qt tests of the index window and its panels.
#include <QCoreApplication>

#include <memory>
#include <string>

#include "app/ui/UiTestSupport.h"
#include "document/GEDCOMDocument.h"
#include "index/IndexStyleLibrary.h"
#include "index/ui/IndexWindow.h"

namespace kl::test {

class IndexWindowFixture : public AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        styles = std::make_shared<IndexStyleLibrary>(*defaults);
    }
    void TearDown() override {
        window.reset();
        doc.reset();
        styles.reset();
        AppHome::TearDown();
    }
    // Opens the records (level-0 lines onwards) between a header and a trailer.
    void open(const std::string& records) {
        doc = std::make_unique<GEDCOMDocument>();
        doc->undo().disableUndoRegistration();
        doc->gedcomModel().setInputGed("0 HEAD\n1 CHAR UTF-8\n" + records + "0 TRLR\n");
        doc->gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        doc->undo().enableUndoRegistration();
        window = std::make_unique<IndexWindow>(*doc, styles, *defaults);
        window->show();
        settle();
    }
    // Lets the deferred reloads and queued header reports run.
    static void settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }

    std::shared_ptr<IndexStyleLibrary> styles;
    std::unique_ptr<GEDCOMDocument> doc;
    std::unique_ptr<IndexWindow> window;
};

}  // namespace kl::test
