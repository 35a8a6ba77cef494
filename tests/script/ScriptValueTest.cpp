// Lists, dictionaries and the None value as scripts see them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "script/ISDictType.h"
#include "script/ISListType.h"
#include "script/ISNoneType.h"
#include "script/RepeatEachObject.h"
#include "script/RepeatListItems.h"
#include "script/RepeatObject.h"

namespace kl {
namespace {

using Texts = std::vector<std::string>;

std::shared_ptr<ISDictType> person(const char* name, Value age) {
    auto d = ISDictType::initDict();
    if (name) d->klis_setObject(Value(name), "name");
    if (!age.isNull()) d->klis_setObject(std::move(age), "age");
    return d;
}

Texts texts(const ISListType& list, const char* key) {
    Texts out;
    for (const Value& v : *list.list()) {
        if (auto d = v.objectAs<ISDictType>())
            out.push_back(d->klis_objectForKey(key).isString() ? *d->klis_objectForKey(key).string()
                                                               : d->klis_getAttribute(key, nullptr).value_or("?"));
        else
            out.push_back(v.toString());
    }
    return out;
}

struct SortCase {
    const char* name;
    std::vector<std::pair<const char*, Value>> people;
    std::vector<std::string> words;
    const char* readKey;
    Texts expected;
};

class ListSort : public ::testing::TestWithParam<SortCase> {};

TEST_P(ListSort, OrdersByKeys) {
    auto list = std::make_shared<ISListType>();
    for (const auto& [name, age] : GetParam().people) list->klis_addObject(Value(person(name, age)));
    list->klis_sort(GetParam().words);
    EXPECT_EQ(texts(*list, GetParam().readKey), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, ListSort, ::testing::Values(
    SortCase{"TextEmptyLast", {{"bob", Value()}, {"", Value()}, {"Alice", Value()}, {"carl", Value()}},
             {"name"}, "name", {"Alice", "bob", "carl", ""}},
    SortCase{"NumericNineBeforeTen", {{"a", Value("10")}, {"b", Value("9")}, {"c", Value(2.5)}},
             {"age", "NUMERIC"}, "name", {"c", "b", "a"}},
    SortCase{"TextSortsTenBeforeNine", {{"a", Value("10")}, {"b", Value("9")}}, {"age", "text"}, "name", {"a", "b"}},
    SortCase{"SecondaryKeyDecidesTies",
             {{"x", Value("2")}, {"y", Value("1")}, {"x", Value("1")}, {"a", Value("3")}},
             {"name", "text", "age", "numeric"}, "age", {"3", "1", "2", "1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ListSort, WithoutWordsSortsTextsCaselessly) {
    auto list = ISListType::listWithList(Array{Value("pear"), Value("Apple"), Value("banana")});
    list->klis_sort({});
    EXPECT_EQ(list->klis_join(","), "Apple,banana,pear");
}

struct SortErrorCase {
    const char* name;
    std::vector<Value> items;
    std::vector<std::string> words;
    const char* message;
};

class ListSortError : public ::testing::TestWithParam<SortErrorCase> {};

TEST_P(ListSortError, RaisesShellSortError) {
    auto list = std::make_shared<ISListType>(std::make_shared<Array>(GetParam().items));
    try {
        list->klis_sort(GetParam().words);
        ADD_FAILURE() << "no error";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), "WXArrayShellSortError");
        EXPECT_EQ(e.message(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Messages, ListSortError, ::testing::Values(
    SortErrorCase{"MissingPrimary", {Value(person("a", Value())), Value(person(nullptr, Value("1")))}, {"name"},
                  "A dictionary in the list is missing a value for primary key being sorted"},
    SortErrorCase{"MissingSecondary", {Value(person("a", Value("1"))), Value(person("b", Value()))},
                  {"name", "", "age"}, "A dictionary in the list is missing a value for secondary key being sorted"},
    SortErrorCase{"NotADictionary", {Value(person("a", Value())), Value("text")}, {"name"},
                  "Error reading objects to be sorted. Probably an item in the list is not a dictionary"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ListType, AttributesAndIndexCommands) {
    auto list = std::make_shared<ISListType>();
    EXPECT_EQ(list->klis_getAttribute("count", nullptr), "0");
    EXPECT_EQ(list->klis_getAttribute("class", nullptr), "list");
    EXPECT_FALSE(list->klis_getAttribute("other", nullptr));
    EXPECT_TRUE(list->getRemoveLastObject().isNull());
    list->klis_addObject(Value("a"));
    EXPECT_TRUE(list->klis_insertObject(Value("b"), 1));
    EXPECT_FALSE(list->klis_insertObject(Value("c"), 3));
    EXPECT_FALSE(list->klis_removeObjectAtIndex(2));
    EXPECT_FALSE(list->klis_insertObject(Value("c"), -1));
    EXPECT_EQ(list->klis_join("+"), "a+b");
    EXPECT_EQ(list->klis_getAttribute("length", nullptr), "2");
    EXPECT_FALSE(list->klis_setAttribute("count", "5", nullptr));
    EXPECT_THROW(list->klis_getAttribute("contains", nullptr), NamedException);
    EXPECT_EQ(list->getRemoveLastObject().toString(), "b");
}

TEST(ListType, ListOverAnOwnersArraySharesIt) {
    auto owned = std::make_shared<Array>(Array{Value("x")});
    auto shared = ISListType::listWithList(owned);
    shared->klis_addObject(Value("y"));
    EXPECT_EQ(owned->size(), 2u);
    auto copied = ISListType::initWithCopiedList(owned.get());
    copied->klis_addObject(Value("z"));
    EXPECT_EQ(owned->size(), 2u);
}

TEST(ListType, SupportsCommandsByKindOfList) {
    const Value plain(Array{});
    const Value script(std::make_shared<ISListType>());
    EXPECT_TRUE(ISListType::supportsCommand("GET", plain));
    EXPECT_TRUE(ISListType::supportsCommand("sublist", plain));
    EXPECT_FALSE(ISListType::supportsCommand("sort", plain));
    EXPECT_TRUE(ISListType::supportsCommand("PutPasteboard", script));
    EXPECT_FALSE(ISListType::supportsCommand("shuffle", script));
}

TEST(DictType, TextAndObjectAttributes) {
    auto dict = ISDictType::initDict();
    dict->klis_setObject(Value(2.5), "half");
    auto inner = std::make_shared<ISListType>();
    dict->klis_setObject(Value(inner), "list");
    EXPECT_TRUE(dict->klis_setAttribute("name", "Ann", nullptr));
    EXPECT_FALSE(dict->klis_setAttribute("class", "x", nullptr));
    EXPECT_EQ(dict->klis_getAttribute("half", nullptr), "2.5");
    EXPECT_FALSE(dict->klis_getAttribute("list", nullptr));
    EXPECT_EQ(dict->klis_getObjectAttribute("list", nullptr), inner);
    EXPECT_EQ(dict->klis_getObjectAttribute("name", nullptr), nullptr);
    EXPECT_EQ(dict->klis_getAttribute("count", nullptr), "3");
    EXPECT_EQ(dict->klis_getAttribute("class", nullptr), "dictionary");
    auto keys = std::dynamic_pointer_cast<ISListType>(dict->klis_getObjectAttribute("allKeys", nullptr));
    ASSERT_TRUE(keys);
    EXPECT_EQ(keys->klis_join(","), "half,list,name");
}

TEST(DictType, KeysSortedByValues) {
    auto dict = ISDictType::initDict();
    dict->klis_setObject(Value("10"), "ten");
    dict->klis_setObject(Value("abc"), "word");
    dict->klis_setObject(Value(9), "nine");
    dict->klis_setObject(Value("Apple"), "fruit");
    auto byNumber = std::dynamic_pointer_cast<ISListType>(dict->klis_getObjectAttribute("keysSortedByNumericValues", nullptr));
    auto byText = std::dynamic_pointer_cast<ISListType>(dict->klis_getObjectAttribute("keysSortedByStringValues", nullptr));
    auto sorted = std::dynamic_pointer_cast<ISListType>(dict->klis_getObjectAttribute("sortedKeys", nullptr));
    EXPECT_EQ(byNumber->klis_join(","), "word,fruit,nine,ten");
    EXPECT_EQ(byText->klis_join(","), "ten,nine,word,fruit");
    EXPECT_EQ(sorted->klis_join(","), "fruit,nine,ten,word");
}

TEST(ScriptValues, PasteboardPropertyLists) {
    auto list = std::make_shared<ISListType>();
    list->klis_addObject(Value("a"));
    list->klis_addObject(Value(2));
    auto nested = std::make_shared<ISListType>();
    nested->klis_addObject(Value("n"));
    list->klis_addObject(Value(nested));
    auto plist = list->propertyList();
    ASSERT_TRUE(plist);
    EXPECT_EQ(*plist, Value(Array{Value("a"), Value(2), Value(Array{Value("n")})}));

    list->klis_addObject(Value(ISDictType::initDict()));
    EXPECT_FALSE(list->propertyList());
    auto dict = ISDictType::initDict();
    dict->klis_setObject(Value("v"), "k");
    EXPECT_TRUE(dict->propertyList());
    dict->klis_setObject(Value(nested), "list");
    EXPECT_FALSE(dict->propertyList());
}

class NoneInterpreter : public ISInterpreter {
public:
    std::shared_ptr<Object> scriptObject(const std::string& name) override {
        return name == "None" ? none : nullptr;
    }
    void setReturnValue(Value) override {}
    Value returnValue() override { return {}; }
    std::shared_ptr<ISNoneType> none = ISNoneType::none();
};

TEST(NoneType, ReadsEmptyAndAnswersTheScriptsNone) {
    NoneInterpreter interpreter;
    auto other = ISNoneType::none();
    EXPECT_EQ(other->klis_getAttribute("class", &interpreter), "none");
    EXPECT_EQ(other->klis_getAttribute("name", &interpreter), "");
    EXPECT_FALSE(other->klis_setAttribute("name", "x", &interpreter));
    EXPECT_EQ(other->klis_getObjectAttribute("anything", &interpreter), interpreter.none);
}

TEST(RepeatEnumerators, HandOutContentsOrItems) {
    RepeatObject loop(std::string("#v"), 0, 1, 1);
    RepeatEachObject each(Array{Value("a"), Value(3)},
                          [](const Value& v) -> std::optional<std::string> {
                              if (v.isString()) return "<" + *v.string() + ">";
                              return std::nullopt;
                          });
    EXPECT_EQ(each.incrementRepeatVariable(loop), Value("<a>"));
    EXPECT_EQ(each.incrementRepeatVariable(loop), Value(""));
    EXPECT_TRUE(each.incrementRepeatVariable(loop).isNull());
    EXPECT_TRUE(each.incrementRepeatVariable(loop).isNull());
    RepeatListItems items(Array{Value(3)});
    EXPECT_EQ(items.incrementRepeatVariable(loop), Value(3));
    EXPECT_TRUE(items.incrementRepeatVariable(loop).isNull());
}

}  // namespace
}  // namespace kl
