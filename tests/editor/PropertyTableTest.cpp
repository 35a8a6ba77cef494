// The rows of the table-edited items: loading, checks, undoable changes,
// sorting and renumbering, and the content written back.
#include <gtest/gtest.h>

#include "editor/PropertyTable.h"

namespace kl {
namespace {

using Kind = PropertyTable::Kind;

Array variable(const char* key, const char* name, const char* type, const char* order) {
    return Array{Value(key), Value(name), Value(type), Value("0"), Value(order)};
}

class PropertyTableTest : public ::testing::Test {
protected:
    PropertyTable& table(Kind kind, const Value& content) {
        table_ = std::make_unique<PropertyTable>(kind, undo_, [this] { ++changes_; });
        table_->installDictionary(content);
        return *table_;
    }
    std::vector<std::string> column(const std::string& name) const {
        std::vector<std::string> values;
        for (std::size_t i = 0; i < table_->rows().size(); ++i) values.push_back(table_->displayText(i, name));
        return values;
    }

    UndoManager undo_;
    std::unique_ptr<PropertyTable> table_;
    int changes_ = 0;
};

TEST_F(PropertyTableTest, VariableNamesAreCheckedInOrder) {
    struct Case {
        const char* name;
        std::optional<std::string> why;
    };
    const Case cases[] = {
        {"#a1", std::nullopt},
        {"#", std::nullopt},
        {"", "Variables names cannot be empty"},
        {"#1a", "First character after the '#' must be a letter"},
        {"#a_b", "Variable name cannot contain a '_' character"},
        {"a", "Variable names must begin with '#'"},
        {"#a$", "Besides built-in read only variables, no other variable name can end in '$'"},
        {"#topMargin$", "Besides built-in read only variables, no other variable name can end in '$'"},
    };
    for (const Case& c : cases) EXPECT_EQ(PropertyTable::validateVariableName(c.name), c.why) << c.name;
}

TEST_F(PropertyTableTest, EditsAreCheckedAgainstTheOtherRows) {
    PropertyTable& t = table(Kind::Variables, Array{variable("Title", "#title", "String", "1"),
                                                    variable("Box", "", "Group", "2"),
                                                    variable("Top", "#topMargin$", "Number", "3")});
    struct Case {
        std::size_t row;
        const char* column;
        const char* value;
        std::optional<std::string> refusal;  // "" for a silent refusal
    };
    const Case cases[] = {
        {0, "key", "Box", "All key names for properties must be different"},
        {0, "key", "Title", ""},
        {1, "variable", "#box", "Editing properties of type 'Group' cannot have a variable name"},
        {0, "variable", "#1a", "Invalid variable name was entered; the previous setting will be restored."},
        {0, "variable", "#topMargin$", "Invalid variable name was entered; the previous setting will be restored."},
        {1, "variable", "", ""},
        {0, "variable", "#heading", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto refusal = t.validateChange(t.rows()[c.row], Value(c.value), c.column);
        EXPECT_EQ(refusal ? std::optional<std::string>(refusal->message) : std::nullopt, c.refusal) << c.value;
    }
    EXPECT_FALSE(t.canEditInPlace(2, "variable"));
    EXPECT_TRUE(t.canEditInPlace(2, "key"));
    EXPECT_FALSE(t.canEditInPlace(3, "key"));
}

TEST_F(PropertyTableTest, OrderNumbersAreMadeConsecutiveAndASecondClickCountsDown) {
    PropertyTable& t = table(Kind::Variables, Array{variable("C", "#c", "Number", "9"),
                                                    variable("A", "#a", "Number", "2"),
                                                    variable("B", "#b", "Number", "5")});
    EXPECT_EQ(column("key"), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(column("order"), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_FALSE(undo_.canUndo());
    EXPECT_GT(changes_, 0);
    t.clickColumn("order");
    EXPECT_EQ(column("key"), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(column("order"), (std::vector<std::string>{"3", "2", "1"}));
}

TEST_F(PropertyTableTest, NewRowsTakeTheNextFreeNameAndAreUndoable) {
    PropertyTable& t = table(Kind::Properties, Dictionary{});
    t.addDeleteRow(true, std::nullopt);
    t.addDeleteRow(true, std::nullopt);
    EXPECT_EQ(column("key"), (std::vector<std::string>{"New Property 1", "New Property 2"}));
    EXPECT_EQ(undo_.undoActionName(), "Add Property");
    undo_.undo();
    EXPECT_EQ(column("key"), (std::vector<std::string>{"New Property 1"}));

    PropertyTable& v = table(Kind::Variables, Array{variable("Zed", "#z", "Number", "1")});
    const auto at = v.addDeleteRow(true, std::nullopt);
    ASSERT_EQ(at, 1u);
    EXPECT_EQ(v.displayText(1, "variable"), "#varName");
    EXPECT_EQ(v.displayText(1, "type"), "Number");
    EXPECT_EQ(v.displayText(1, "value"), "0");
    EXPECT_EQ(v.displayText(1, "order"), "2");
}

TEST_F(PropertyTableTest, TypedLineBreaksBecomeBlanksAndChangesUndo) {
    PropertyTable& t = table(Kind::Properties, Dictionary{});
    t.addDeleteRow(true, std::nullopt);
    EXPECT_EQ(t.setObjectValue(0, "key", Value("Two\nlines")), std::nullopt);
    EXPECT_EQ(t.displayText(0, "key"), "Two lines");
    EXPECT_EQ(undo_.undoActionName(), "Change Property");
    undo_.undo();
    EXPECT_EQ(t.displayText(0, "key"), "New Property 1");
}

TEST_F(PropertyTableTest, ArrayValuesKeepTheirOtherElementsWhenWrittenBack) {
    Dictionary content;
    content.set("Birth", Array{Value("BIRT"), Value("extra"), Value(3)});
    content.set("Plain", Array{Value("one")});
    PropertyTable& t = table(Kind::Properties, content);
    EXPECT_EQ(t.displayText(0, "value"), "BIRT");
    ASSERT_EQ(t.setObjectValue(0, "value", Value("BIRTH")), std::nullopt);
    const Value made = t.makeDictionary();
    const Dictionary* written = made.dictionary();
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(*written->get("Birth"), Value(Array{Value("BIRTH"), Value("extra"), Value(3)}));
    EXPECT_EQ(*written->get("Plain"), Value(Array{Value("one")}));
}

TEST_F(PropertyTableTest, FontsAndColoursRoundTripAndDescribeThemselvesLocaleFree) {
    PropertyTable& t = table(Kind::Fonts, Dictionary{});
    t.addDeleteRow(true, std::nullopt);
    EXPECT_EQ(t.displayText(0, "value"), "Lucida Grande, 12 pt");
    t.setFont(t.rows()[0], Font{"Mono", 10.5, 0});
    EXPECT_EQ(undo_.undoActionName(), "Change Font");
    EXPECT_EQ(t.displayText(0, "value"), "Mono, 10.5 pt");
    t.setColor(t.rows()[0], Color{1, 0, 0, 1}, "color");
    t.changeUnderline(t.rows()[0], true);
    const Value written = t.makeDictionary();
    PropertyTable& again = table(Kind::Fonts, written);
    EXPECT_EQ(again.displayText(0, "value"), "Mono, 10.5 pt");
    EXPECT_EQ(again.rows()[0]->at("color").objectAs<ColorCell>()->color, (Color{1, 0, 0, 1}));
    EXPECT_EQ(again.displayText(0, "underline"), "1");
    EXPECT_FALSE(again.clickColumn("value"));
}

}  // namespace
}  // namespace kl
