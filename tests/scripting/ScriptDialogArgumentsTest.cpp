// What the dialogs of scripts ask, from their argument dictionaries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "scripting/ScriptDialogArguments.h"
#include "support/CaseName.h"

namespace kl {
namespace {

namespace fs = std::filesystem;
namespace args = ScriptDialogArguments;

Array texts(std::initializer_list<const char*> list) {
    Array array;
    for (const char* text : list) array.emplace_back(text);
    return array;
}

TEST(AlertArguments, DefaultsAndAnswers) {
    const args::Alert plain = args::alert(Dictionary{});
    EXPECT_EQ(plain.message, "Click a button to choose an option.");
    EXPECT_EQ(plain.informative, "");
    EXPECT_EQ(plain.buttons, std::vector<std::string>{"OK"});

    Dictionary given;
    given.set("title", Value("Pick"));
    given.set("buttons", Value(texts({"One", "Two", "Three", "Four"})));
    const args::Alert three = args::alert(given);
    EXPECT_EQ(three.buttons, (std::vector<std::string>{"One", "Two", "Three"}));
    EXPECT_EQ(args::alertAnswer(three, 1002), "Three");
    EXPECT_EQ(args::alertAnswer(three, 1000), "One");
    EXPECT_EQ(args::alertAnswer(three, 0), "");
    EXPECT_EQ(args::alertAnswer(plain, 1001), "");
}

TEST(InputArguments, Defaults) {
    const args::Input input = args::input(Dictionary{});
    EXPECT_EQ(input.prompt, "Enter some text");
    EXPECT_EQ(input.buttons, (std::vector<std::string>{"OK", "Cancel"}));
}

struct ListCase {
    const char* name;
    bool multiple;
    std::vector<std::string> items;
    std::vector<std::string> shown;
    std::vector<int> rows;
};

class ListMarks : public ::testing::TestWithParam<ListCase> {};

TEST_P(ListMarks, MarkedItemsStartSelected) {
    args::List list;
    list.multiple = GetParam().multiple;
    args::setListItems(list, GetParam().items);
    EXPECT_EQ(list.items, GetParam().shown);
    EXPECT_EQ(list.initialRows, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Items, ListMarks,
    ::testing::Values(ListCase{"SingleTakesTheFirstMark", false, {";a", "b", ";c"}, {"a", "b", "c"}, {0}},
                      ListCase{"MultipleTakesEveryMark", true, {";a", "b", ";c"}, {"a", "b", "c"}, {0, 2}},
                      ListCase{"NoMarkSelectsTheFirstRow", true, {"a", "b"}, {"a", "b"}, {0}},
                      ListCase{"EmptyList", false, {}, {}, {}}),
    test::CaseName());

TEST(ListArguments, DefaultsAndMultipleByValue) {
    args::List list = args::list(Dictionary{});
    EXPECT_EQ(list.prompt, "Select from this list");
    EXPECT_EQ(list.items, std::vector<std::string>{"List Item 1"});
    EXPECT_FALSE(list.multiple);
    Dictionary off;
    off.set("multiple", Value(false));
    EXPECT_FALSE(args::list(off).multiple);
    // The open panel counts the key, whatever its value.
    EXPECT_TRUE(args::openAllowsMultiple(off));
}

TEST(FileStarts, OpenAndSavePanelsStartWhereThePathLeads) {
    const fs::path folder = fs::temp_directory_path() / "kl-dialog-start";
    fs::create_directories(folder);
    std::ofstream(folder / "present.txt") << "x";
    auto start = [](const fs::path& path) {
        Dictionary arguments;
        arguments.set("start", Value(path.string()));
        return arguments;
    };
    EXPECT_EQ(args::openStart(start(folder / "present.txt")).folder, folder);
    EXPECT_EQ(args::openStart(start(folder)).folder, folder);
    EXPECT_FALSE(args::openStart(start(folder / "missing.txt")).folder);

    const args::FileStart existing = args::saveStart(start(folder / "present.txt"));
    EXPECT_EQ(existing.folder, folder);
    EXPECT_EQ(existing.name, "present.txt");
    const args::FileStart missing = args::saveStart(start(folder / "new.txt"));
    EXPECT_EQ(missing.folder, folder);
    EXPECT_EQ(missing.name, "new.txt");
    const args::FileStart nowhere = args::saveStart(start(folder / "no/such/new.txt"));
    EXPECT_FALSE(nowhere.folder);
    EXPECT_EQ(nowhere.name, "new.txt");
    Dictionary notText;
    notText.set("start", Value(3));
    EXPECT_FALSE(args::saveStart(notText).folder);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace kl
