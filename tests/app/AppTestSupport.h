#pragma once
// A temporary home for one test: a resources folder holding the three
// resource lists that the defaults table reads, a configuration folder for
// UserDefaults and HOME / XDG_DATA_HOME pointed inside it. Everything is
// put back and removed when the test ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "app/AppController.h"
#include "foundation/PropertyList.h"

namespace kl::testing {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (saved_)
            ::setenv(name_, saved_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

class AppHomeTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        root_ = fs::temp_directory_path() /
                ("kl-app-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(resources());
        fs::create_directories(config());
        writeResource("Index", Dictionary{{"INDI", Array{Value("NAME")}}});
        writeResource("PanelIndex", Dictionary{{"FAM", Array{Value("HUSB"), Value("WIFE")}}});
        writeResource("HelperApps", Dictionary{{"jpg", Array{Value(""), Value(1), Value(true)}}});
        savedResources_ = AppController::resourcesFolder();
        AppController::setResourcesFolder(resources());
        home_.emplace("HOME", root_.string());
        data_.emplace("XDG_DATA_HOME", (root_ / ".local/share").string());
    }
    void TearDown() override {
        data_.reset();
        home_.reset();
        AppController::setResourcesFolder(savedResources_);
        std::filesystem::remove_all(root_);
    }

    std::filesystem::path resources() const { return root_ / "resources"; }
    std::filesystem::path config() const { return root_ / "config"; }
    void writeResource(const std::string& name, const Dictionary& list) {
        ASSERT_TRUE(PropertyList::writeFile(Value(list), resources() / (name + ".plist")));
    }

    std::filesystem::path root_;
    std::filesystem::path savedResources_;
    std::optional<ScopedEnv> home_;
    std::optional<ScopedEnv> data_;
};

}  // namespace kl::testing
