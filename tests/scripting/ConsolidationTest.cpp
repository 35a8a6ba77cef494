// A script gathers a database's multimedia files into one folder: with or
// without the records' subfolders, relinking the records (one undo step)
// or only copying, and telling what stopped it.
#include "ScriptTestSupport.h"
#include "DocumentScriptSupport.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "foundation/UndoManager.h"
#include "index/IndexTestSupport.h"
#include "model/OBJERecord.h"

namespace kl::test {
namespace {

namespace fs = std::filesystem;

// Three pictures under a library root (two of them named a.jpg), one web
// link, and an empty destination beside them.
struct Pictures {
    fs::path folder = fs::temp_directory_path() / ("kl-consolidate-" + std::to_string(::getpid()) + "-" +
                                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::path library = folder / "library";
    fs::path dest = folder / "gathered";
    IndexFixture window;
    ScriptHarness harness;

    Pictures() {
        fs::remove_all(folder);
        for (const char* file : {"Photos/Smith/a.jpg", "Other/a.jpg", "b.png"}) {
            fs::create_directories((library / file).parent_path());
            std::ofstream(library / file) << file;
        }
        window.open("0 @O1@ OBJE\n1 FILE Photos/Smith/a.jpg\n"
                    "0 @O2@ OBJE\n1 FILE Other/a.jpg\n"
                    "0 @O3@ OBJE\n1 FILE b.png\n"
                    "0 @O4@ OBJE\n1 FILE https://example.org/c.jpg\n");
        window.doc.setMultimediaRoot({library.string() + "/"});
    }
    ~Pictures() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    ScriptOutcome run(const std::string& arguments) {
        return harness.run("doc.consolidatemultimedia " + arguments, documentObjects(*window.index));
    }
    std::string link(const char* id) {
        return std::dynamic_pointer_cast<OBJERecord>(window.record(id))->mmFileName();
    }
    std::string read(const fs::path& file) {
        std::ifstream in(file);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST(Consolidation, KeepsSubfoldersRelinksAndMakesTheDestinationTheOnlyRoot) {
    Pictures f;
    const ScriptOutcome outcome = f.run("\"" + f.dest.string() + "\"");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(f.read(f.dest / "Photos/Smith/a.jpg"), "Photos/Smith/a.jpg");
    EXPECT_EQ(f.read(f.dest / "Other/a.jpg"), "Other/a.jpg");
    EXPECT_EQ(f.link("@O1@"), "Photos/Smith/a.jpg");
    EXPECT_EQ(f.link("@O4@"), "https://example.org/c.jpg") << "web links stay";
    EXPECT_EQ(f.window.doc.multimediaRoot(), std::vector<std::string>{f.dest.string() + "/"});

    // Run again into the same place: everything is there under its name.
    const ScriptOutcome again = f.run("\"" + f.dest.string() + "\", true, TRUE");
    EXPECT_EQ(again.report, "");
    EXPECT_FALSE(fs::exists(f.dest / "Photos/Smith/a_1.jpg"));

    f.window.doc.undo().undo();
    EXPECT_EQ(f.window.doc.multimediaRoot(), std::vector<std::string>{f.library.string() + "/"});
    EXPECT_EQ(f.link("@O3@"), "b.png");
    EXPECT_TRUE(fs::exists(f.dest / "b.png")) << "undo keeps the copies";
}

TEST(Consolidation, WithoutSubfoldersSameNamesGetNumbers) {
    Pictures f;
    const ScriptOutcome outcome = f.run("\"" + f.dest.string() + "\", false");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(f.link("@O1@"), "a.jpg");
    EXPECT_EQ(f.link("@O2@"), "a_1.jpg");
    EXPECT_EQ(f.read(f.dest / "a_1.jpg"), "Other/a.jpg");
    EXPECT_EQ(f.link("@O3@"), "b.png");
}

TEST(Consolidation, OnlyCopyingLeavesLinksAndRootsAlone) {
    Pictures f;
    fs::create_directories(f.dest);
    std::ofstream(f.dest / "Photos") << "a file where a folder would go";
    const ScriptOutcome outcome = f.run("\"" + f.dest.string() + "\", true, false");
    EXPECT_EQ(outcome.report, "");
    EXPECT_EQ(f.read(f.dest / "Photos_1/Smith/a.jpg"), "Photos/Smith/a.jpg");
    EXPECT_EQ(f.link("@O1@"), "Photos/Smith/a.jpg");
    EXPECT_EQ(f.window.doc.multimediaRoot(), std::vector<std::string>{f.library.string() + "/"});
}

TEST(Consolidation, RefusesWhatItCannotDo) {
    Pictures f;
    std::ofstream(f.folder / "plain") << "x";
    expectRefusals([&](const std::string& arguments) { return f.run(arguments); },
                   {{"\"" + f.dest.string() + "\", maybe", "Preserve paths option for consolidateMultmedia command must be true or false"},
                    {"\"" + f.dest.string() + "\", true, 1", "Change links option for consolidateMultmedia command must be true or false"},
                    {"\"" + (f.folder / "plain" / "inside").string() + "\"",
                     "The destination folder does not exist and could not be created"}});
    const ScriptOutcome list = f.harness.run("createlist l\nl.consolidatemultimedia x");
    EXPECT_TRUE(list.report.starts_with("The target object for consolidateMultmedia command must be a document"));
    EXPECT_FALSE(fs::exists(f.dest));
    EXPECT_FALSE(fs::exists(f.folder / "plain_1")) << "no folder under another name";
}

}  // namespace
}  // namespace kl::test
