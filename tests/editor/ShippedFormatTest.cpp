// The shipped Default Format as real data: the editor reads it without
// converting it, writes back the same files with the same property lists,
// and Kinlore II loads the written copy quietly and compiles every
// template of it.
#include <gtest/gtest.h>

#include "EditorTestSupport.h"
#include "app/EditingPrefs.h"
#include "editor/FormatDocument.h"
#include "foundation/Logger.h"
#include "foundation/UserDefaults.h"
#include "script/Templates.h"

namespace kl {
namespace {

using namespace test;

// Dictionaries compared without regard to key order, all the way down.
bool sameList(const Value& a, const Value& b) {
    const Dictionary* da = a.dictionary();
    const Dictionary* db = b.dictionary();
    if (da && db) {
        if (da->size() != db->size()) return false;
        for (std::size_t i = 0; i < da->size(); ++i) {
            const Value* other = db->get(da->keyAt(i));
            if (!other || !sameList(da->valueAt(i), *other)) return false;
        }
        return true;
    }
    const Array* aa = a.array();
    const Array* ab = b.array();
    if (aa && ab) {
        if (aa->size() != ab->size()) return false;
        for (std::size_t i = 0; i < aa->size(); ++i)
            if (!sameList((*aa)[i], (*ab)[i])) return false;
        return true;
    }
    return a == b;
}

class RecordingLibrary : public TemplatesDelegate {
public:
    void createEditingPreferences(const fs::path&) override {}
    bool createEditingStrings(const fs::path& list) override { return fs::is_regular_file(list); }
    void createIndiFamEvents(const fs::path&, const std::string&) override {}
    void infoAlert(const std::string& message, const std::string&) override { alerts.push_back(message); }
    std::vector<std::string> alerts;
};

class ShippedFormat : public EditorTest {};

TEST_F(ShippedFormat, RoundTripsThroughTheEditorAndLoadsInKinloreII) {
    // Reading fills in missing entries on disk, so the shipped folder is
    // read from a copy.
    const fs::path original = scratch("Default Format.kfrmt");
    fs::copy(shippedDefaultFormat(), original, fs::copy_options::recursive);
    std::vector<std::string> logged;
    Logger::setSink([&](const std::string& line) { logged.push_back(line); });
    FormatDocument document;
    std::string error;
    ASSERT_TRUE(document.readFromURL(original, FormatDocument::formatType, &error)) << error;
    Logger::setSink({});
    for (const std::string& line : logged) EXPECT_EQ(line.find("updated"), std::string::npos) << line;

    const fs::path written = scratch("Written.kfrmt");
    ASSERT_TRUE(document.writeToURL(written, FormatDocument::formatType, original, &error)) << error;
    EXPECT_EQ(entryNames(written), entryNames(original));
    for (const std::string& name : entryNames(shippedDefaultFormat())) {
        const fs::path file = written / name;
        ASSERT_TRUE(fs::exists(file)) << name;
        if (name.ends_with(".plist"))
            EXPECT_TRUE(sameList(Value(readList(file)), Value(readList(shippedDefaultFormat() / name)))) << name;
        else
            EXPECT_EQ(readFile(file), readFile(shippedDefaultFormat() / name)) << name;
    }

    EditingPrefs prefs;
    ASSERT_TRUE(prefs.readFormat(written, &error)) << error;
    EXPECT_FALSE(prefs.changed());

    RecordingLibrary library;
    UserDefaults defaults("Kinlore II", scratch("config"));
    Templates templates(&library, &defaults);
    templates.readFormatAtPath(written.string());
    EXPECT_TRUE(library.alerts.empty()) << library.alerts.front();
    EXPECT_EQ(templates.formatVersion(), Templates::applicationFormatVersion);
    for (const auto& [name, message] : templates.compileAllTemplates()) ADD_FAILURE() << name << ": " << message;
}

}  // namespace
}  // namespace kl
