// The per-process working folder: where it is made, that it belongs to this
// process only, and that removing it spares every other process's folder
// and any name a shell would have read as more than one path.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "AppTestSupport.h"
#include "app/AppController.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class WorkingFolder : public testing::AppHomeTest {
protected:
    void TearDown() override {
        AppController::destroyWorkingDirectory();
        cache_.reset();
        AppHomeTest::TearDown();
    }
    void useCache(const fs::path& cache) { cache_.emplace("XDG_CACHE_HOME", cache.string()); }
    std::optional<testing::ScopedEnv> cache_;
};

TEST_F(WorkingFolder, IsNamedByTheProcessUnderTheCacheFolder) {
    useCache(root_ / "cache");
    AppController::createWorkingDirectory();
    const auto path = AppController::workingDirectory();
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, (root_ / "cache/Kinlore II" / std::to_string(::getpid())).string() + "/");
    EXPECT_TRUE(fs::is_directory(*path));
    EXPECT_EQ(fs::status(*path).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(WorkingFolder, WithoutACacheFolderFallsBackToAUniqueTemporaryFolder) {
    // A cache "folder" that is a file cannot hold ours.
    std::ofstream(root_ / "blocked") << "x";
    useCache(root_ / "blocked");
    AppController::createWorkingDirectory();
    const auto first = AppController::workingDirectory();
    ASSERT_TRUE(first);
    EXPECT_EQ(fs::path(*first).parent_path().parent_path(), fs::temp_directory_path());
    EXPECT_TRUE(fs::is_directory(*first));
    AppController::createWorkingDirectory();
    EXPECT_NE(AppController::workingDirectory(), first);
    fs::remove_all(*first);
}

TEST_F(WorkingFolder, RemovingItSparesOtherProcessesAndShellLikeNames) {
    // Names that a shell command line would have split or expanded.
    const fs::path cache = root_ / "cache dir; rm -rf * $(x)";
    useCache(cache);
    const fs::path other = cache / "Kinlore II" / "1";
    fs::create_directories(other);
    std::ofstream(other / "tree-1.pdf") << "%PDF";
    std::ofstream(root_ / "bystander.txt") << "keep";

    AppController::createWorkingDirectory();
    const fs::path mine = *AppController::workingDirectory();
    std::ofstream(mine / "tree-7.pdf") << "%PDF";
    fs::create_directories(mine / "web pages");
    std::ofstream(mine / "web pages/web-1.html") << "<p>";

    AppController::destroyWorkingDirectory();
    EXPECT_FALSE(fs::exists(mine));
    EXPECT_TRUE(fs::exists(other / "tree-1.pdf"));
    EXPECT_TRUE(fs::exists(root_ / "bystander.txt"));
    EXPECT_FALSE(AppController::workingDirectory());
    // Removing again does nothing.
    AppController::destroyWorkingDirectory();
    EXPECT_TRUE(fs::exists(other));
}

TEST_F(WorkingFolder, TheLastProcessTakesTheEmptyCacheFolderWithIt) {
    useCache(root_ / "cache");
    AppController::createWorkingDirectory();
    AppController::destroyWorkingDirectory();
    EXPECT_FALSE(fs::exists(root_ / "cache/Kinlore II"));
    EXPECT_TRUE(fs::exists(root_ / "cache"));
}

}  // namespace
}  // namespace kl
