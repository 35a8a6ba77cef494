// The script workspace's model on small script files in a scratch folder.
#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "editor/ScriptEditingDocument.h"

namespace kl {
namespace {

using test::fs::path;

class ScriptEditingDocumentTest : public test::EditorTest {
protected:
    path script(const std::string& name, std::string_view text) {
        const path file = scratch(name);
        test::writeFile(file, text);
        return file;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& item : document_.scripts().templates()) out.push_back(item->name());
        return out;
    }
    ScriptEditingDocument document_;
};

TEST_F(ScriptEditingDocumentTest, StartsWithItsTwoListsAndAnswersAsTheWorkspace) {
    EXPECT_TRUE(document_.isScriptEditor());
    EXPECT_EQ(document_.fileType(), "WEXScriptWorkspace");
    ASSERT_EQ(document_.rootLevel().size(), 2u);
    EXPECT_EQ(document_.rootLevel()[0]->name(), "Scripts");
    EXPECT_EQ(document_.rootLevel()[1]->type(), SearchResultsType);
    EXPECT_EQ(document_.listForType(WorkspaceScriptType), &document_.scripts());
}

TEST_F(ScriptEditingDocumentTest, OpeningAnOpenScriptAnswersTheSameItem) {
    const path file = script("tidy.klscpt", "print \"one\"\n");
    bool added = false;
    const auto first = document_.openScriptAtPath(file, &added);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(added);
    EXPECT_EQ(first->name(), "tidy.klscpt");
    EXPECT_EQ(first->text(), "print \"one\"\n");
    EXPECT_TRUE(first->scriptSaved());
    EXPECT_EQ(document_.openScriptAtPath(file, &added), first);
    EXPECT_FALSE(added);
    EXPECT_EQ(document_.scripts().count(), 1u);
}

TEST_F(ScriptEditingDocumentTest, UnreadableScriptsAreRefusedWithAReason) {
    const struct {
        const char* name;
        std::optional<std::string> bytes;
    } cases[] = {{"missing.py", std::nullopt}, {"latin.py", std::string("# caf\xe9\n")}};
    for (const auto& c : cases) {
        const path file = c.bytes ? script(c.name, *c.bytes) : scratch(c.name);
        std::string error;
        bool added = true;
        EXPECT_EQ(document_.openScriptAtPath(file, &added, &error), nullptr) << c.name;
        EXPECT_FALSE(added);
        EXPECT_NE(error.find(c.name), std::string::npos) << error;
    }
    EXPECT_EQ(document_.scripts().count(), 0u);
}

TEST_F(ScriptEditingDocumentTest, SavingToANewNameWritesRenamesAndResorts) {
    bool added = false;
    document_.openScriptAtPath(script("beta.py", "b\n"), &added);
    const auto gamma = document_.openScriptAtPath(script("gamma.py", "g\n"), &added);
    document_.scripts().sortTemplates();
    gamma->setTemplateObject(Value(std::string("changed\n")));
    gamma->setScriptSaved(false);
    ASSERT_FALSE(document_.allScriptsSaved());

    EXPECT_EQ(document_.saveScriptToFile(gamma, scratch("alpha.py")), std::nullopt);
    EXPECT_EQ(test::readFile(scratch("alpha.py")), "changed\n");
    EXPECT_EQ(test::readFile(scratch("gamma.py")), "g\n");
    EXPECT_EQ(gamma->scriptPath(), scratch("alpha.py").string());
    EXPECT_TRUE(document_.allScriptsSaved());
    EXPECT_TRUE(document_.renameScript(gamma, "alpha.py"));
    EXPECT_EQ(names(), (std::vector<std::string>{"alpha.py", "beta.py"}));
    EXPECT_FALSE(document_.renameScript(gamma, "alpha.py"));
}

TEST_F(ScriptEditingDocumentTest, AFailedSaveLeavesTheScriptAsItWas) {
    bool added = false;
    const auto item = document_.openScriptAtPath(script("keep.py", "k\n"), &added);
    item->setScriptSaved(false);
    const auto error = document_.saveScriptToFile(item, scratch("no such folder/keep.py"));
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->empty());
    EXPECT_FALSE(item->scriptSaved());
    EXPECT_EQ(item->name(), "keep.py");
    EXPECT_EQ(item->scriptPath(), scratch("keep.py").string());
}

TEST_F(ScriptEditingDocumentTest, WritingAllUnsavedStopsAtTheFirstFailure) {
    bool added = false;
    const auto first = document_.openScriptAtPath(script("a.py", "a\n"), &added);
    const auto second = document_.openScriptAtPath(script("b.py", "b\n"), &added);
    first->setTemplateObject(Value(std::string("a2\n")));
    second->setTemplateObject(Value(std::string("b2\n")));
    first->setScriptSaved(false);
    second->setScriptSaved(false);

    EXPECT_EQ(document_.writeUnsavedScripts(), std::nullopt);
    EXPECT_EQ(test::readFile(scratch("a.py")), "a2\n");
    EXPECT_EQ(test::readFile(scratch("b.py")), "b2\n");
    // Written on the way out, not marked saved.
    EXPECT_FALSE(first->scriptSaved());

    first->setScriptPath(scratch("gone/a.py").string());
    second->setTemplateObject(Value(std::string("b3\n")));
    const auto failure = document_.writeUnsavedScripts();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->first, "a.py");
    EXPECT_EQ(test::readFile(scratch("b.py")), "b2\n");
}

TEST_F(ScriptEditingDocumentTest, NewScriptOverAnOpenOneResetsItsText) {
    bool added = false;
    const auto item = document_.openScriptAtPath(script("tool.py", "old text\n"), &added);
    const auto again = document_.createScript(scratch("tool.py"), &added);
    EXPECT_EQ(again, item);
    EXPECT_FALSE(added);
    // The default text names the script.
    EXPECT_NE(item->text().find("tool"), std::string::npos) << item->text();
    EXPECT_EQ(item->text().find("old text"), std::string::npos);
    EXPECT_FALSE(item->scriptSaved());

    const auto fresh = document_.createScript(scratch("fresh.klscpt"), &added);
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(added);
    EXPECT_EQ(fresh->name(), "fresh.klscpt");
    EXPECT_EQ(fresh->scriptPath(), scratch("fresh.klscpt").string());
}

TEST_F(ScriptEditingDocumentTest, RememberedScriptsReopenWithTheirSelectionsAndDeletedOnesAreSkipped) {
    bool added = false;
    const auto one = document_.openScriptAtPath(script("one.py", "0123456789\n"), &added);
    document_.openScriptAtPath(script("two.py", "two\n"), &added);
    one->setSelectedRange({3, 4});
    Array remembered = document_.scriptWorkSpace();
    remembered.push_back(Value(Dictionary{{"location", 1}}));
    test::fs::remove(scratch("two.py"));

    ScriptEditingDocument reopened;
    const auto opened = reopened.loadScriptWorkSpace(remembered);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0]->name(), "one.py");
    EXPECT_EQ(opened[0]->selectedRange(), (TextRange{3, 4}));
    EXPECT_EQ(reopened.scripts().count(), 1u);
}

}  // namespace
}  // namespace kl
