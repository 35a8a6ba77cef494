// Which character set an imported file is read in, from what it declares and
// what its bytes are, and what the read says when bytes cannot be decoded:
// a damaged unit becomes a replacement character, is counted, and the file
// (or package) still opens.
#include <gtest/gtest.h>

#include "DocumentTestSupport.h"
#include "document/RecordsList.h"
#include "model/ComposedText.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "support/Corpus.h"

namespace kl {
namespace {

using test::DocumentFixture;
using test::ScratchFolder;

constexpr const char* kReplacement = "\xEF\xBF\xBD";

struct SetCase {
    const char* label;
    std::string bytes;
    const char* name;     // the person's name as read
    const char* message;  // a part of the read's message; "" when there is none
};

std::string gedcom(const std::string& charLine, const std::string& name) {
    return "0 HEAD\n" + charLine + "0 @I1@ INDI\n1 NAME " + name + "\n0 TRLR\n";
}

// ASCII text as UTF-16 little-endian with a byte-order mark.
std::string utf16(const std::string& text) {
    std::string out("\xFF\xFE", 2);
    for (char c : text) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

std::string withInsertedUnit(std::string bytes, const std::string& before, const std::string& unit) {
    bytes.insert(bytes.find(before), unit);
    return bytes;
}

const SetCase kSets[] = {
    {"NoCharUTF8Bytes", gedcom("", "Ren\xC3\xA9 /B/"), "Ren\xC3\xA9 /B/",
     "The file names no character set; it was read as UTF-8."},
    {"NoCharWindowsBytes", gedcom("", "Ren\xE9 /B/"), "Ren\xC3\xA9 /B/",
     "The file names no character set; it was read as Windows."},
    {"AsciiDeclaredUTF8Bytes", gedcom("1 CHAR ASCII\n", "Ren\xC3\xA9 /B/"), "Ren\xC3\xA9 /B/",
     "The file's character set (ASCII) does not fit its characters; it was read as UTF-8."},
    {"AsciiDeclaredWindowsBytes", gedcom("1 CHAR ASCII\n", "\x80 /B/"), "\xE2\x82\xAC /B/",
     "it was read as Windows."},
    {"AsciiDeclaredAndAscii", gedcom("1 CHAR ASCII\n", "Rene /B/"), "Rene /B/", ""},
    {"AnselDeclaredUTF8Bytes", gedcom("1 CHAR ANSEL\n", "Ren\xC3\xA9 /B/"), "Ren\xC3\xA9 /B/",
     "The file's character set (ANSEL) does not fit its characters; it was read as UTF-8."},
    {"IbmPc", gedcom("1 CHAR IBMPC\n", "Ren\x82 /B/"), "Ren\xC3\xA9 /B/", ""},
    {"MsDosBoxDrawing", gedcom("1 CHAR MSDOS\n", "A\xB0 /B/"), "A\xE2\x96\x91 /B/", ""},
    {"Macintosh", gedcom("1 CHAR MACINTOSH\n", "Ren\x8E /B/"), "Ren\xC3\xA9 /B/", ""},
    {"AnsiLowerCase", gedcom("1 CHAR ansi\n", "Ren\xE9 /B/"), "Ren\xC3\xA9 /B/", ""},
    // One bad unit never refuses a file: it is replaced and counted.
    {"UTF16LoneSurrogate",
     withInsertedUnit(utf16(gedcom("1 CHAR UNICODE\n", "Ann /B/")), std::string("/\0B\0", 4), std::string("\x00\xD8", 2)),
     "Ann \xEF\xBF\xBD/B/", "Decoding UTF-16 character set file encountered 1 invalid characters"},
    {"UTF16OddByteCount", utf16(gedcom("1 CHAR UNICODE\n", "Ann /B/")) + "x", "Ann /B/",
     "Decoding UTF-16 character set file encountered 1 invalid characters"},
    {"UTF8MarkAndAnInvalidByte", "\xEF\xBB\xBF" + gedcom("1 CHAR UTF-8\n", "Ren\xFF /B/"), "Ren\xEF\xBF\xBD /B/",
     "Decoding UTF-8 character set file encountered 1 invalid characters"},
    {"AnselUndefinedByte", gedcom("1 CHAR ANSEL\n", "Ren\xAF /B/"), "Ren? /B/",
     "Decoding ANSEL character set file encountered 1 invalid characters"},
};

class ImportSet : public testing::TestWithParam<SetCase> {};

TEST_P(ImportSet, ReadsTheNameAndSaysWhatItChose) {
    ScratchFolder scratch;
    test::writeFile(scratch / "in.ged", GetParam().bytes);
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.import(scratch / "in.ged", &error)) << error;
    EXPECT_EQ(f.question.asked, 0);
    auto person = f.document->gedcomModel().recordWithID("@I1@");
    ASSERT_TRUE(person);
    EXPECT_EQ(person->findContentsWithTag("NAME", 1), GetParam().name);
    const std::string message = f.document->readWriteMessage().value_or("");
    if (std::string(GetParam().message).empty())
        EXPECT_EQ(message.find("character set"), std::string::npos) << message;
    else
        EXPECT_NE(message.find(GetParam().message), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(Files, ImportSet, testing::ValuesIn(kSets), [](const auto& info) { return info.param.label; });

TEST(ImportSets, AnselFileWrittenInUTF8ReadsAsUTF8) {
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.import(test::corpusFolder() / "gedcom-parse" / "anselutf8.ged", &error)) << error;
    EXPECT_NE(f.document->readWriteMessage().value_or("").find("it was read as UTF-8"), std::string::npos);
    EXPECT_EQ(test::recordsText(*f.document).find(kReplacement), std::string::npos);
}

// Names and places of every person: the name without blanks (another
// program sets them differently around the surname), then the places of
// the events in order.
std::map<std::string, std::vector<std::string>> namesAndPlaces(GEDCOMDocument& document) {
    std::map<std::string, std::vector<std::string>> out;
    auto list = document.gedcomModel().recordsIndex().listForType("INDI");
    if (!list) return out;
    for (const auto& person : list->order()) {
        auto& texts = out[person->grecordID()];
        std::string name = person->findContentsWithTag("NAME", 1);
        std::erase(name, ' ');
        texts.push_back(name);
        for (const auto& event : person->structures())
            if (auto place = event->firstChildWithTag("PLAC")) texts.push_back(place->contents());
    }
    return out;
}

// Text read from ANSEL is composed, so it equals, byte for byte, the same
// text another program wrote in UTF-8, composed.
TEST(ImportSets, AnselNamesAndPlacesEqualTheirUTF8Twins) {
    DocumentFixture ansel, twin;
    std::string error;
    ASSERT_TRUE(ansel.import(test::corpusFolder() / "eichmann" / "ANSEL.GED", &error)) << error;
    ASSERT_TRUE(twin.import(test::corpusFolder() / "eichmann" / "ANSEL.gramps-5.1.5-export-utf8.ged", &error)) << error;
    auto expected = namesAndPlaces(*twin.document);
    for (auto& [id, texts] : expected)
        for (auto& text : texts) text = unicode::composedText(text);
    const auto read = namesAndPlaces(*ansel.document);
    size_t compared = 0;
    for (const auto& [id, texts] : expected) {
        if (!id.starts_with("@CHILD")) continue;
        auto found = read.find(id);
        ASSERT_NE(found, read.end()) << id;
        EXPECT_EQ(found->second, texts) << id;
        ++compared;
    }
    EXPECT_GT(compared, 5u);
}

// A package's own GEDCOM file with a damaged byte still opens, and says so.
TEST(ImportSets, PackageWithAnInvalidByteOpensAndCountsIt) {
    ScratchFolder scratch;
    test::writeFile(scratch / "in.ged", gedcom("1 CHAR UTF-8\n", "Ann /B/"));
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.import(scratch / "in.ged", &error)) << error;
    const auto package = scratch / "Tree.gedpkg";
    ASSERT_TRUE(f.document->saveToURL(package, &error)) << error;
    std::string text = test::readFile(package / "Tree.ged");
    text.insert(text.find("Ann"), "\xFF");
    test::writeFile(package / "Tree.ged", text);

    DocumentFixture again;
    ASSERT_TRUE(again.openPackage(package, &error)) << error;
    auto person = again.document->gedcomModel().recordWithID("@I1@");
    ASSERT_TRUE(person);
    EXPECT_EQ(person->findContentsWithTag("NAME", 1), std::string(kReplacement) + "Ann /B/");
    EXPECT_NE(again.document->readWriteMessage().value_or("").find(
                  "Decoding UTF-8 character set file encountered 1 invalid characters"),
              std::string::npos);
}

}  // namespace
}  // namespace kl
