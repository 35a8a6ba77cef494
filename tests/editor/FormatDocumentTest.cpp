// Format and extension packages: where each file of a package goes, what a
// save writes back, old formats converted, safe saves, and the messages of
// packages that cannot be read. Packages are written by the tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "EditorTestSupport.h"
#include "app/AppController.h"
#include "editor/FormatDocument.h"
#include "foundation/Logger.h"

namespace kl {
namespace {

using namespace test;

constexpr const char* kFormat = FormatDocument::formatType;
constexpr const char* kPlugin = FormatDocument::pluginType;

Value version(double v) { return Value(Dictionary{{"KLFormatVersionID", v}}); }

class Packages : public EditorTest {
protected:
    // A format with one template and the current version.
    fs::path makeFormat(const std::string& name = "Test.kfrmt") {
        const fs::path package = scratch(name);
        writeFile(package / "INDI Record Editing.txt", "Cell static \"x\"\n");
        writeList(package / "formatVersion.plist", version(21.5));
        return package;
    }
    fs::path makePlugin(const std::string& name = "Test.kplug") {
        const fs::path package = scratch(name);
        writeFile(package / "run.py", "print('x')\n");
        writeList(package / "manifest.plist", Value(Dictionary{{"main", Dictionary{{"run.py", "Run"}}}}));
        return package;
    }
    void read(FormatDocument& document, const fs::path& package, const std::string& type) {
        std::string error;
        ASSERT_TRUE(document.readFromURL(package, type, &error)) << error;
    }
    void save(FormatDocument& document, const fs::path& target, const std::optional<fs::path>& previous) {
        std::string error;
        ASSERT_TRUE(document.writeToURL(target, document.fileType(), previous, &error)) << error;
    }
    std::vector<std::string> logged_;
    void captureLog() {
        Logger::setSink([this](const std::string& line) { logged_.push_back(line); });
    }
    void TearDown() override {
        Logger::setSink({});
        EditorTest::TearDown();
    }
    bool wasLogged(const std::string& line) const {
        return std::find(logged_.begin(), logged_.end(), line) != logged_.end();
    }
};

TEST_F(Packages, TemplatesGoToTheListOfTheirLastWords) {
    const fs::path package = makeFormat();
    struct Case {
        const char* file;
        const char* item;
        const char* list;
    } cases[] = {{"Editing.txt", "Editing", "Tag Editing"},
                 {"FAM Record Editing.txt", "FAM Record Editing", "Record Editing"},
                 {"NOTE Editing.txt", "NOTE Editing", "Tag Editing"},
                 {"Sources.txt", "Sources", "Subroutines"},
                 {"Record.txt", "Record", "Subroutines"}};
    for (const Case& c : cases) writeFile(package / c.file, "! text\n");
    FormatDocument document;
    read(document, package, kFormat);
    for (const Case& c : cases) {
        const ItemList* list = document.listForName(c.list);
        ASSERT_TRUE(list) << c.list;
        const auto item = list->objectNamed(c.item);
        ASSERT_TRUE(item) << c.file << " not in " << c.list;
        EXPECT_EQ(item->text(), "! text\n");
        EXPECT_EQ(item->type(), list->type());
    }
}

TEST_F(Packages, ListsAreFoundByTypeAndName) {
    FormatDocument format;
    read(format, makeFormat(), kFormat);
    FormatDocument plugin;
    read(plugin, makePlugin(), kPlugin);
    struct Case {
        std::int32_t type;
        const char* inFormat;
        const char* inPlugin;
    } cases[] = {{RecordEditingType, "Record Editing", nullptr}, {TagEditingType, "Tag Editing", "Text Files"},
                 {SubroutinesType, "Subroutines", "Scripts"},    {DocumentationType, "Documentation", "Documentation"},
                 {WorkspaceScriptType, nullptr, nullptr},        {EditingFontsType, "Properties", nullptr},
                 {PropertyListType, "Properties", "Properties"}, {ImageType, "Images", nullptr},
                 {SearchResultsType, "Search Results", "Search Results"}, {5, nullptr, nullptr}};
    for (const Case& c : cases) {
        const ItemList* inFormat = format.listForType(c.type);
        const ItemList* inPlugin = plugin.listForType(c.type);
        EXPECT_EQ(inFormat ? inFormat->name() : "-", c.inFormat ? c.inFormat : "-") << c.type;
        EXPECT_EQ(inPlugin ? inPlugin->name() : "-", c.inPlugin ? c.inPlugin : "-") << c.type;
    }
    EXPECT_EQ(format.listForName("Images"), format.rootLevel()[4].get());
    EXPECT_EQ(format.listForName("images"), nullptr);
    EXPECT_TRUE(plugin.listForName("Scripts")->isPlugin());
    EXPECT_FALSE(plugin.listForName("Search Results")->isPlugin());
}

TEST_F(Packages, ReadingFillsInWhatTheEmptyFormatHasOnDisk) {
    const fs::path package = makeFormat();
    FormatDocument document;
    read(document, package, kFormat);
    EXPECT_TRUE(fs::exists(package / "Editing.plist"));
    EXPECT_TRUE(fs::exists(package / "_Unknown_ Editing.txt"));
    EXPECT_TRUE(document.listForName("Properties")->objectNamed("Editing Fonts"));
    // What the package had stays as it was.
    EXPECT_EQ(readFile(package / "INDI Record Editing.txt"), "Cell static \"x\"\n");
}

// Colours and fonts of an old format are archived again in today's form;
// archives that this program cannot read become the defaults.
struct ConversionCase {
    const char* what;
    std::optional<double> version;  // nullopt: no formatVersion.plist
    bool converted;
};

class Conversion : public Packages, public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(Conversion, DependsOnTheFormatVersion) {
    const ConversionCase& c = GetParam();
    const fs::path package = scratch("Old.kfrmt");
    writeFile(package / "INDI Record Editing.txt", "");
    if (c.version) writeList(package / "formatVersion.plist", version(*c.version));
    const Value foreign(Data{'b', 'p', 'l', 'i', 's', 't', '0', '0', 1, 2});
    const Data ownFont = AppController::archive(Font{"Courier", 10, Font::Bold});
    writeList(package / "Editing.plist",
              Value(Dictionary{{"Colors", Dictionary{{"Window Background", foreign}}},
                               {"Fonts", Dictionary{{"Editing Text", Array{foreign}},
                                                    {"Title Text", Array{Value(ownFont), foreign, Value(1)}}}}}));
    captureLog();
    FormatDocument document;
    read(document, package, kFormat);
    const ItemList& properties = *document.listForName("Properties");
    const Dictionary& colors = *properties.templateNamed("Editing Colors")->dictionary();
    const Dictionary& fonts = *properties.templateNamed("Editing Fonts")->dictionary();
    if (!c.converted) {
        EXPECT_EQ(*colors.get("Window Background"), foreign);
        EXPECT_EQ(*fonts.get("Editing Text"), Value(Array{foreign}));
        EXPECT_FALSE(wasLogged("updated colors to keyed archiving"));
        return;
    }
    EXPECT_EQ(*colors.get("Window Background"), Value(AppController::archive(Color::gray())));
    EXPECT_EQ(*fonts.get("Editing Text"),
              Value(Array{Value(AppController::archive(Font{})), Value(AppController::archive(Color::black()))}));
    // Our own archive survives, the unreadable colour becomes black, and
    // the underline flag stays third.
    EXPECT_EQ(*fonts.get("Title Text"),
              Value(Array{Value(ownFont), Value(AppController::archive(Color::black())), Value(1)}));
    for (const char* line : {"updated colors to keyed archiving", "updated fonts to keyed archive",
                             "NSUnarchiver error too!"})
        EXPECT_TRUE(wasLogged(line)) << line;
    EXPECT_FALSE(document.isDocumentEdited());
}

INSTANTIATE_TEST_SUITE_P(Formats, Conversion,
                         ::testing::Values(ConversionCase{"NoVersionList", std::nullopt, true},
                                           ConversionCase{"Version21_4", 21.4, true},
                                           ConversionCase{"Version21_5", 21.5, false},
                                           ConversionCase{"NewerVersion", 30.0, false}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(Packages, AFormatIsWrittenInTheLayoutKinloreIIReads) {
    const fs::path package = makeFormat();
    writeFile(package / "Guide.HTML", "<p>caf\x8e</p>");  // Mac OS Roman e-acute
    writeList(package / "German.plist", Value(Dictionary{{"NAME", "Name"}}));
    writeList(package / "Editing.plist",
              Value(Dictionary{{"Variables", Array{Value(Array{"B", "#b", "Number", "2", "10"}),
                                                   Value(Array{"A", "#a", "Number", "1", Value(2)})}}}));
    FormatDocument document;
    read(document, package, kFormat);
    const auto guide = document.listForName("Documentation")->objectNamed("Guide.HTML");
    ASSERT_TRUE(guide);
    EXPECT_EQ(guide->text(), "<p>caf\xc3\xa9</p>");
    const fs::path copy = scratch("Copy.kfrmt");
    save(document, copy, package);
    EXPECT_EQ(readFile(copy / "Guide.HTML"), "<p>caf\x8e</p>");
    EXPECT_EQ(readFile(copy / "INDI Record Editing.txt"), "Cell static \"x\"\n");
    EXPECT_EQ(readList(copy / "German.plist"), (Dictionary{{"NAME", "Name"}}));
    EXPECT_EQ(readList(copy / "formatVersion.plist"), (Dictionary{{"KLFormatVersionID", 21.5}}));
    // Rows in the order of their order numbers, whether number or text.
    const Dictionary editing = readList(copy / "Editing.plist");
    const Value* rows = editing.get("Variables");
    ASSERT_TRUE(rows && rows->array() && rows->array()->size() == 2);
    EXPECT_EQ((*rows->array())[0].array()->front(), Value("A"));
    EXPECT_FALSE(fs::exists(copy / "images"));
}

TEST_F(Packages, AnEmptyVariablesTableWritesNoVariables) {
    const fs::path package = makeFormat();
    writeList(package / "Editing.plist", Value(Dictionary{{"Colors", Dictionary{}}}));
    FormatDocument document;
    read(document, package, kFormat);
    EXPECT_TRUE(document.listForName("Properties")->templateNamed("Editing Properties")->isNull());
    save(document, package, package);
    const Dictionary editing = readList(package / "Editing.plist");
    EXPECT_FALSE(editing.contains("Variables"));
    EXPECT_TRUE(editing.contains("Colors"));
    EXPECT_TRUE(editing.contains("Fonts"));
}

TEST_F(Packages, VersionControlFoldersComeFromThePreviousPackageOnly) {
    const fs::path package = makeFormat();
    writeFile(package / ".svn/entries", "svn");
    writeFile(package / "CVS/Root", "cvs");
    FormatDocument document;
    read(document, package, kFormat);
    const fs::path saved = scratch("Saved.kfrmt");
    save(document, saved, package);
    EXPECT_EQ(readFile(saved / ".svn/entries"), "svn");
    EXPECT_EQ(readFile(saved / "CVS/Root"), "cvs");
    // A document never saved has no previous package to copy from.
    const fs::path fresh = scratch("Fresh.kfrmt");
    save(document, fresh, std::nullopt);
    EXPECT_FALSE(fs::exists(fresh / ".svn"));
    EXPECT_FALSE(fs::exists(fresh / "CVS"));
}

TEST_F(Packages, EntriesKinloreIIDoesNotReadAreCarriedIntoEverySave) {
    const fs::path package = makeFormat();
    writeFile(package / "README.md", "notes");
    writeFile(package / "drafts/Old Editing.txt", "draft");
    writeFile(package / ".DS_Store", "junk");
    FormatDocument document;
    read(document, package, kFormat);
    EXPECT_EQ(document.carriedFormatFiles(), (std::vector<std::string>{"README.md", "drafts"}));
    EXPECT_FALSE(document.listForName("Tag Editing")->objectNamed("Old Editing"));
    std::string error;
    ASSERT_TRUE(document.saveToURL(package, &error)) << error;
    ASSERT_TRUE(document.saveToURL(package, &error)) << error;
    EXPECT_EQ(readFile(package / "README.md"), "notes");
    EXPECT_EQ(readFile(package / "drafts/Old Editing.txt"), "draft");
    EXPECT_FALSE(fs::exists(package / ".DS_Store"));
}

TEST_F(Packages, AFailedSaveLeavesTheOldPackageAsItWas) {
    const fs::path package = makeFormat();
    writeFile(package / ".svn/entries", "svn");
    FormatDocument document;
    read(document, package, kFormat);
    std::string error;
    ASSERT_TRUE(document.saveToURL(package, &error)) << error;
    const auto before = folderContents(package);

    // Templates are written before this list, which cannot be written.
    document.listForName("Record Editing")->objectNamed("INDI Record Editing")->setTemplateObject(Value("changed"));
    document.listForName("Properties")->addTemplate(Value(Dictionary{{"bad", Value()}}), "Broken");
    document.undoManager().registerUndo(&document, [] {});
    EXPECT_FALSE(document.saveToURL(package, &error));
    EXPECT_EQ(error, "Could not save a template");
    EXPECT_EQ(folderContents(package), before);
    EXPECT_EQ(entryNames(scratch_), (std::vector<std::string>{"Test.kfrmt"}));
    EXPECT_TRUE(document.undoManager().canUndo());

    document.listForName("Properties")->deleteTemplate(document.listForName("Properties")->objectNamed("Broken"));
    ASSERT_TRUE(document.saveToURL(package, &error)) << error;
    EXPECT_EQ(readFile(package / "INDI Record Editing.txt"), "changed");
    EXPECT_FALSE(document.undoManager().canUndo());
}

TEST_F(Packages, AnExtensionCarriesItsOtherFilesAndWritesItsManifest) {
    const fs::path package = makePlugin();
    writeFile(package / "lib/helpers/util.py", "x = 1\n");
    writeFile(package / "icon.png", "png");
    writeFile(package / ".DS_Store", "junk");
    writeFile(package / "notes.TXT", "n");
    writeFile(package / "Guide.HTML", "<p>");
    writeList(package / "manifest.plist",
              Value(Dictionary{{"main", "run.py"}, {"menu command", "Tally"}, {"minimum version", "2.0"}}));
    FormatDocument document;
    read(document, package, kPlugin);
    const ItemList& properties = *document.listForName("Properties");
    EXPECT_EQ(*properties.templateNamed("other files"), Value(Dictionary{{"icon.png", ""}, {"lib", ""}}));
    EXPECT_EQ(*properties.templateNamed("main choices SD"), Value(Dictionary{}));
    EXPECT_TRUE(document.listForName("Text Files")->objectNamed("notes.TXT"));
    EXPECT_EQ(document.listForName("Scripts")->objectNamed("run.py")->type(), SubroutinesType);

    const fs::path copy = scratch("Copy.kplug");
    save(document, copy, package);
    EXPECT_EQ(readFile(copy / "lib/helpers/util.py"), "x = 1\n");
    EXPECT_EQ(readFile(copy / "icon.png"), "png");
    EXPECT_EQ(readFile(copy / "Guide.HTML"), "<p>");
    EXPECT_EQ(readFile(copy / "notes.TXT"), "n");
    EXPECT_FALSE(fs::exists(copy / ".DS_Store"));
    EXPECT_FALSE(fs::exists(copy / "other files.plist"));
    // A lone script name becomes the one-entry table Kinlore II runs
    // without asking, keyed by the script's file.
    EXPECT_EQ(readList(copy / "manifest.plist"),
              (Dictionary{{"menu command", "Tally"},
                          {"minimum version", "2.0"},
                          {"main", Dictionary{{"run.py", "run.py"}}},
                          {"main SD", Dictionary{}}}));
}

TEST_F(Packages, OtherFilesAreCopiedUnderTheirNewNames) {
    const fs::path package = makePlugin();
    writeFile(package / "data.bin", "data");
    writeFile(package / "gone.bin", "x");
    FormatDocument document;
    read(document, package, kPlugin);
    fs::remove(package / "gone.bin");
    ItemList& properties = *document.listForName("Properties");
    properties.objectNamed("other files")
        ->setTemplateObject(Value(Dictionary{{"data.bin", "renamed.bin"}, {"gone.bin", ""}}));
    const fs::path copy = scratch("Copy.kplug");
    save(document, copy, package);
    EXPECT_EQ(readFile(copy / "renamed.bin"), "data");
    EXPECT_FALSE(fs::exists(copy / "data.bin"));
    EXPECT_FALSE(fs::exists(copy / "gone.bin"));
}

struct BadPackageCase {
    const char* what;
    const char* type;
    const char* file;  // written into the package; nullptr: none
    std::string bytes;
    const char* message;
};

class BadPackages : public Packages, public ::testing::WithParamInterface<BadPackageCase> {};

TEST_P(BadPackages, AreRefusedWithTheirReason) {
    const BadPackageCase& c = GetParam();
    const fs::path package = scratch("Bad.pkg");
    fs::create_directories(package);
    if (c.file) writeFile(package / c.file, c.bytes);
    FormatDocument document;
    std::string error;
    EXPECT_FALSE(document.readFromURL(package, c.type, &error));
    EXPECT_EQ(error, c.message);
    EXPECT_TRUE(document.rootLevel().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Reading, BadPackages,
    ::testing::Values(
        BadPackageCase{"EmptyFormat", kFormat, nullptr, "", "The format file is missing or empty."},
        BadPackageCase{"EmptyPlugin", kPlugin, nullptr, "", "The plug in file is missing or empty."},
        BadPackageCase{"TemplateNotUTF8", kFormat, "NOTE Editing.txt", "caf\xe9",
                       "Error reading a template in a format file."},
        BadPackageCase{"FormatListDamaged", kFormat, "English.plist", "<plist><dict><key>",
                       "Error reading a property list in a format file."},
        BadPackageCase{"FormatListNoDictionary", kFormat, "English.plist",
                       "<plist version=\"1.0\"><array/></plist>",
                       "Error reading a property list in a format file."},
        BadPackageCase{"ImageNotAnImage", kFormat, "images/notes.txt", "text",
                       "Error reading an image in a format file."},
        BadPackageCase{"ScriptNotUTF8", kPlugin, "run.py", "\xff\xfe", "Error reading a script or text file in an extension."},
        BadPackageCase{"ManifestDamaged", kPlugin, "manifest.plist", "not a list",
                       "Error reading a property list in an extension file."}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(Packages, APathThatIsNoPackageIsMissing) {
    writeFile(scratch("file.kfrmt"), "x");
    for (const fs::path& path : {scratch("absent.kfrmt"), scratch("file.kfrmt")}) {
        FormatDocument document;
        std::string error;
        EXPECT_FALSE(document.readFromURL(path, kFormat, &error));
        EXPECT_EQ(error, "The format file is missing or empty.");
    }
    FormatDocument document;
    EXPECT_FALSE(document.readFromURL(makeFormat(), "Kinlore Database", nullptr));
}

TEST_F(Packages, NewDocumentsStartFromTheEmptyPackages) {
    FormatDocument format;
    std::string error;
    ASSERT_TRUE(format.initWithType(kFormat, &error)) << error;
    EXPECT_FALSE(format.fileURL());
    EXPECT_TRUE(format.listForName("Record Editing")->objectNamed("_Unknown_ Record Editing"));
    EXPECT_TRUE(format.listForName("Documentation")->objectNamed("helpType.css"));
    const fs::path saved = scratch("New.kfrmt");
    ASSERT_TRUE(format.saveToURL(saved, &error)) << error;
    EXPECT_EQ(format.fileURL(), saved);
    EXPECT_TRUE(fs::exists(saved / "Editing.plist"));

    FormatDocument plugin;
    ASSERT_TRUE(plugin.initWithType(kPlugin, &error)) << error;
    EXPECT_TRUE(plugin.listForName("Properties")->objectNamed("manifest"));
    ASSERT_TRUE(plugin.saveToURL(scratch("New.kplug"), &error)) << error;
    EXPECT_TRUE(fs::exists(scratch("New.kplug/manifest.plist")));
}

TEST_F(Packages, TheHelpStyleSheetIsKeptUpToDate) {
    const fs::path package = makeFormat();
    writeFile(package / "helpType.css", "old");
    FormatDocument document;
    read(document, package, kFormat);
    document.replaceHelpType("helpType");
    const auto sheet = document.listForName("Documentation")->objectNamed("helpType.css");
    EXPECT_EQ(sheet->text(), readFile(shippedResources() / "KinloreEditor/helpType.css"));
    EXPECT_TRUE(document.isDocumentEdited());
    // Saving with the option puts the other style sheet in.
    document.setVirtualOption(true);
    save(document, package, package);
    EXPECT_EQ(readFile(package / "helpType.css"), readFile(shippedResources() / "KinloreEditor/helpAS.css"));
}

}  // namespace
}  // namespace kl
