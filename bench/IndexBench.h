#pragma once
// The generated tree open in an index window without widgets, for the
// benchmarks of the window's commands: read once, with the window's logic
// over a view that answers every question with its first button.
#include <filesystem>
#include <memory>
#include <string>

#include "BenchCorpus.h"
#include "document/GEDCOMDocument.h"
#include "foundation/InlineDispatcher.h"
#include "foundation/UndoManager.h"
#include "foundation/UserDefaults.h"
#include "index/IndexController.h"
#include "index/IndexStyleLibrary.h"
#include "index/IndexView.h"

namespace bench {

struct OpenIndexTree {
    kl::InlineDispatcher dispatcher;
    kl::Dispatcher::Scope scope{dispatcher};
    std::filesystem::path folder;
    kl::UserDefaults defaults;
    kl::GEDCOMDocument doc;
    kl::IndexStyleLibrary styles{defaults};
    kl::IndexView view;
    std::unique_ptr<kl::IndexController> index;

    explicit OpenIndexTree(const std::string& folderName)
        : folder(std::filesystem::temp_directory_path() / folderName), defaults("Kinlore II", folder) {
        doc.undo().disableUndoRegistration();
        doc.gedcomModel().setInputGed(treeText());
        doc.gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        doc.undo().enableUndoRegistration();
    }
    // Opens the window once the styles are set up.
    void openWindow() {
        index = std::make_unique<kl::IndexController>(doc, styles, &view);
        index->windowDidLoad();
    }
    ~OpenIndexTree() {
        index.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

}  // namespace bench
