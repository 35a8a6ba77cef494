// Kinlore Editor's coloured view and packages: a 5,000-line internal script
// coloured whole when it is shown, the recolouring that follows one typed
// character in the middle of it, and reading and writing the shipped
// Default Format; searching a format of 1,000 templates from its window,
// and synchronising the Default Format's languages with its keys.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextCursor>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "QtBench.h"
#include "editor/FormatDocument.h"
#include "editor/ItemList.h"
#include "editor/LanguageStrings.h"
#include "editor/ui/FormatWindow.h"
#include "editor/SyntaxColorizer.h"
#include "editor/ui/QtImagePort.h"
#include "editor/ui/WXColoredTextView.h"
#include "foundation/ResourceFolder.h"

namespace {

namespace fs = std::filesystem;

// The repository, found from this file: the benchmarks know the test data
// folder only. The compiler may name the file relative to the build
// folder, the parent of this program's folder.
fs::path sourceRoot() {
    fs::path file = __FILE__;
    if (file.is_relative()) file = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / file;
    return fs::weakly_canonical(file).parent_path().parent_path();
}

const fs::path kSource = sourceRoot();

// The shipped helper module's kind of text, repeated to 5,000 lines.
QString longScript() {
    const std::string block =
        "! The age in whole years between two years, or \"\" when either is missing.\n"
        "sub AgeInYears #fromYear #toYear\n"
        "  if #fromYear == \"\" || #toYear == \"\"\n"
        "    return \"\"\n"
        "  endif\n"
        "  local #parts[0-3]\n"
        "  words #parts 1 0 #gedcomName \"/\"\n"
        "  userinput \"Name\" @rec.NAME\n"
        "  return #toYear-#fromYear ! years\n"
        "endsub\n";
    std::string text;
    for (int i = 0; i < 500; ++i) text += block;
    return QString::fromStdString(text);
}

void BM_ColorWholeScript(benchmark::State& state) {
    kl::WXColoredTextView view;
    view.setColorComponents(kl::SyntaxColorizer::componentsForKind("klscpt", false));
    const QString text = longScript();
    for (auto _ : state) view.setString(text);
}
BENCHMARK(BM_ColorWholeScript)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RecolorAfterKeystroke(benchmark::State& state) {
    kl::WXColoredTextView view;
    view.setColorComponents(kl::SyntaxColorizer::componentsForKind("klscpt", false));
    view.setString(longScript());
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(view.toPlainText().size() / 2);
    view.setTextCursor(cursor);
    bool insert = true;
    for (auto _ : state) {
        // One character typed, then taken back, in turns.
        QTextCursor at = view.textCursor();
        if (insert) {
            at.insertText(QStringLiteral("x"));
        } else {
            at.deletePreviousChar();
        }
        insert = !insert;
    }
}
BENCHMARK(BM_RecolorAfterKeystroke)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ReadWriteDefaultFormat(benchmark::State& state) {
    kl::ResourceFolder::setFolder(kSource / "resources");
    const fs::path folder = fs::temp_directory_path() / "kl-bench-editor";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path original = folder / "Default Format.kfrmt";
    fs::copy(kSource / "resources/KinloreIIAppSupport/Formats/Default Format.kfrmt", original,
             fs::copy_options::recursive);
    kl::QtImagePort port;
    for (auto _ : state) {
        kl::FormatDocument document(&port);
        std::string error;
        if (!document.readFromURL(original, kl::FormatDocument::formatType, &error) ||
            !document.writeToURL(folder / "Written.kfrmt", kl::FormatDocument::formatType, original, &error))
            state.SkipWithError(error.c_str());
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_ReadWriteDefaultFormat)->Unit(benchmark::kMillisecond)->UseRealTime();

// A format of 1,000 tag templates of about 2 KB each; one in a hundred
// holds the word looked for, so the search lists ten and shows the first.
void BM_SearchThousandTemplates(benchmark::State& state) {
    kl::ResourceFolder::setFolder(kSource / "resources");
    kl::FormatDocument document;
    std::string error;
    if (!document.initWithType(kl::FormatDocument::formatType, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    kl::ItemList* tags = document.listForName("Tag Editing");
    const std::string body = longScript().left(2000).toStdString();
    for (int i = 0; i < 1000; ++i) {
        std::string text = body;
        if (i % 100 == 7) text += "\nShow NOTE ! see the zebrafinch notes\n";
        tags->addTemplate(kl::Value(text), "_T" + std::to_string(1000 + i) + " Editing");
    }
    tags->sortTemplates();
    kl::FormatWindow window(document);
    for (auto _ : state) {
        window.runSearch(QStringLiteral("ZebraFinch"), false);
        if (document.listForName("Search Results")->count() != 10) state.SkipWithError("wrong results");
    }
}
BENCHMARK(BM_SearchThousandTemplates)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SynchronizeDefaultFormatLanguages(benchmark::State& state) {
    kl::ResourceFolder::setFolder(kSource / "resources");
    // Reading completes a package from the empty one: read a copy, so that
    // the shipped format stays as it is.
    const fs::path folder = fs::temp_directory_path() / "kl-bench-languages";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path copy = folder / "Default Format.kfrmt";
    fs::copy(kSource / "resources/KinloreIIAppSupport/Formats/Default Format.kfrmt", copy, fs::copy_options::recursive);
    kl::FormatDocument document;
    std::string error;
    const bool read = document.readFromURL(copy, kl::FormatDocument::formatType, &error);
    fs::remove_all(folder);
    if (!read) {
        state.SkipWithError(error.c_str());
        return;
    }
    const kl::ItemList* properties = document.listForName("Properties");
    for (auto _ : state) {
        const kl::CollectedKeys keys =
            kl::collectFormatKeys(document.listForName("Record Editing"), document.listForName("Tag Editing"),
                                  document.listForName("Subroutines"), properties);
        std::vector<kl::Language> languages;
        for (const auto& item : kl::languagesOf(*properties))
            languages.push_back({item->name(), *item->templateObject().dictionary()});
        benchmark::DoNotOptimize(kl::synchronizeLanguages(languages, keys, {}));
    }
}
BENCHMARK(BM_SynchronizeDefaultFormatLanguages)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bench::runQtBenchmarks(argc, argv); }
