// Opening a file and saving it loses nothing: every line of every public
// GEDCOM file (level, tag path and value, continuation lines joined, the
// header left out) is found in the saved package, checked by a reader of
// this test's own; and a package saved again after reopening is the same,
// byte for byte. Notes, sources and objects that a file embeds are made
// records on reading, so a line below a link is also looked for in the
// record it links to.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

#include "DocumentTestSupport.h"
#include "model/ComposedText.h"
#include "model/TextEncoding.h"
#include "support/Corpus.h"

namespace kl {
namespace {

using test::DocumentFixture;
using test::ScratchFolder;
namespace fs = std::filesystem;

// One line as this test reads it: where it stands and what it says.
struct Line {
    std::string path;  // record type and tags down to the line, "INDI/BIRT/DATE"
    std::string value;
    int number = 0;  // in the file, for the failure message
};

// Text of the file as a reader that knows nothing of the program decodes it:
// UTF-16 by its zero bytes, UTF-8 when valid, else ANSEL if it says so,
// else Windows-1252.
std::string decodedCorpusFile(const std::string& bytes) {
    if (test::guessCorpusEncoding(bytes) == TextEncoding::UTF16) return decode(bytes, TextEncoding::UTF16).text;
    if (isValidUTF8(bytes)) return decode(bytes, TextEncoding::UTF8).text;
    if (bytes.find("CHAR ANSEL") != std::string::npos) return decode(bytes, TextEncoding::ANSEL).text;
    return decode(bytes, TextEncoding::Windows1252).text;
}

bool isSeparator(char c) { return c == ' ' || c == '\t'; }

std::string_view nextWord(std::string_view& rest) {
    while (!rest.empty() && isSeparator(rest.front())) rest.remove_prefix(1);
    size_t end = 0;
    while (end < rest.size() && !isSeparator(rest[end])) ++end;
    std::string_view word = rest.substr(0, end);
    rest.remove_prefix(end);
    if (!rest.empty()) rest.remove_prefix(1);  // the one separator before a value
    return word;
}

// Every line but the header's, continuation lines joined into the line they
// continue; lines below a continuation line count as below the line it
// continues.
std::vector<Line> readLines(const std::string& text) {
    std::vector<Line> lines;
    std::vector<long> open;  // index in `lines` of the line open at each level; -1 for none
    std::vector<std::string> paths;
    bool inHeader = false;
    int number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string_view rest(text.data() + start, end - start);
        start = end + 1;
        ++number;
        if (rest.find_first_not_of(" \t") == std::string_view::npos) continue;
        const std::string_view levelWord = nextWord(rest);
        if (levelWord.empty() || !std::all_of(levelWord.begin(), levelWord.end(), ::isdigit)) continue;
        const size_t level = std::stoul(std::string(levelWord));
        std::string_view tag = nextWord(rest);
        if (level == 0) {
            if (tag.starts_with("@") && tag.size() > 1) tag = nextWord(rest);
            inHeader = tag == "HEAD";
            open.assign(1, -1);
            paths.assign(1, std::string(tag));
            if (inHeader || tag == "TRLR") continue;
            lines.push_back({std::string(tag), std::string(rest), number});
            open[0] = static_cast<long>(lines.size() - 1);
            continue;
        }
        if (inHeader || level > open.size()) continue;
        open.resize(level);
        paths.resize(level);
        if ((tag == "CONC" || tag == "CONT") && open[level - 1] >= 0) {
            Line& continued = lines[static_cast<size_t>(open[level - 1])];
            if (tag == "CONT") continued.value += '\n';
            continued.value += rest;
            open.push_back(open[level - 1]);
            paths.push_back(paths[level - 1]);
            continue;
        }
        lines.push_back({paths[level - 1] + "/" + std::string(tag), std::string(rest), number});
        open.push_back(static_cast<long>(lines.size() - 1));
        paths.push_back(lines.back().path);
    }
    return lines;
}

// The saved records' lines by record ID, tag paths without the record's type.
std::map<std::string, std::vector<Line>> linesByRecord(const std::string& text) {
    std::map<std::string, std::vector<Line>> records;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find("\n0 ", start);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string chunk = text.substr(start, end - start);
        start = end;
        if (!chunk.starts_with("0 @")) continue;
        const std::string id = chunk.substr(2, chunk.find('@', 3) - 1);
        for (Line line : readLines(chunk)) {
            const std::size_t slash = line.path.find('/');
            line.path = slash == std::string::npos ? std::string() : line.path.substr(slash + 1);
            records[id].push_back(std::move(line));
        }
    }
    return records;
}

// A linked note, source or object's lines as they stood embedded below the
// link: the note's text or the source's title as the link's value, the
// object's FILE > FORM and TITL and a citation's DATA > TEXT one level up.
using RecordLines = std::map<std::string, std::vector<Line>>;

bool isLink(const Line& line, const RecordLines& records) {
    const std::string tag = line.path.substr(line.path.rfind('/') + 1);
    return line.value.size() > 2 && line.value.front() == '@' && line.value.back() == '@' &&
           (tag == "NOTE" || tag == "SOUR" || tag == "OBJE") && records.contains(line.value);
}

// An embedded object's note is a record of its own too, hence the depth.
void addLinkedLines(std::multimap<std::string, std::string>& written, const std::string& linkPath,
                    const std::vector<Line>& record, const RecordLines& records, int depth) {
    for (const Line& line : record) {
        const std::string value = unicode::composedText(line.value);
        if (line.path.empty() || line.path == "TITL") written.emplace(linkPath, value);
        if (line.path.empty()) continue;
        std::vector<std::string> paths{linkPath + "/" + line.path};
        for (const char* lifted : {"FILE/", "DATA/"})
            if (line.path.starts_with(lifted)) paths.push_back(linkPath + "/" + line.path.substr(5));
        for (const std::string& path : paths) {
            written.emplace(path, value);
            if (depth < 3 && isLink(line, records))
                addLinkedLines(written, path, records.at(line.value), records, depth + 1);
        }
    }
}

// A Windows path of another machine is kept as its file name.
std::optional<std::string> fileName(const Line& line) {
    if (!line.path.ends_with("/FILE") || line.value.size() < 4 || line.value[1] != ':' || line.value[2] != '\\')
        return std::nullopt;
    return line.value.substr(line.value.rfind('\\') + 1);
}

std::vector<fs::path> corpusGEDCOMFiles() {
    std::vector<fs::path> files;
    for (const auto& f : test::corpusFiles()) {
        std::string ext = f.extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        if (ext == ".ged" && f.filename() != "bogus.ged") files.push_back(f);
    }
    return files;
}

// The test's own reader: continuation lines join the line they continue, and
// what hangs below one counts as below that line.
TEST(LosesNothingReader, JoinsContinuationsAndSkipsTheHeader) {
    const auto lines = readLines("0 HEAD\n1 CHAR ANSEL\n0 @N1@ NOTE a\n1 CONC b\n2 SOUR @S1@\n1 CONT c\n0 TRLR\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].path, "NOTE");
    EXPECT_EQ(lines[0].value, "ab\nc");
    EXPECT_EQ(lines[1].path, "NOTE/SOUR");
    EXPECT_EQ(lines[1].value, "@S1@");
    EXPECT_EQ(lines[1].number, 5);
}

class LosesNothing : public testing::TestWithParam<fs::path> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(LosesNothing);

TEST_P(LosesNothing, EveryLineIsSavedAndASecondSaveIsTheSame) {
    DocumentFixture f;
    std::string error;
    ASSERT_TRUE(f.import(GetParam(), &error)) << error;
    ScratchFolder scratch;
    const fs::path first = scratch / "First.gedpkg";
    ASSERT_TRUE(f.document->saveToURL(first, &error)) << error;
    const std::string saved = test::readFile(first / "First.ged");

    std::multimap<std::string, std::string> written;
    const RecordLines records = linesByRecord(saved);
    for (Line& line : readLines(saved)) {
        if (isLink(line, records)) addLinkedLines(written, line.path, records.at(line.value), records, 0);
        written.emplace(line.path, unicode::composedText(line.value));
    }
    for (const Line& line : readLines(decodedCorpusFile(test::readCorpusBytes(GetParam())))) {
        const std::string value = unicode::composedText(fileName(line).value_or(line.value));
        auto [from, to] = written.equal_range(line.path);
        auto found = std::find_if(from, to, [&](const auto& entry) { return entry.second == value; });
        if (found == to) {
            ADD_FAILURE() << "line " << line.number << " lost: " << line.path << " '" << line.value << "'";
            continue;
        }
        written.erase(found);
    }

    DocumentFixture again;
    ASSERT_TRUE(again.openPackage(first, &error)) << error;
    // The same name in another folder, so that the header names the same file.
    const fs::path second = scratch / "again" / "First.gedpkg";
    fs::create_directories(second.parent_path());
    ASSERT_TRUE(again.document->saveToURL(second, &error)) << error;
    EXPECT_EQ(test::readFile(second / "First.ged"), saved);
}

INSTANTIATE_TEST_SUITE_P(Files, LosesNothing, testing::ValuesIn(corpusGEDCOMFiles()), [](const auto& info) {
    std::string name = fs::relative(info.param, test::corpusFolder()).string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

}  // namespace
}  // namespace kl
