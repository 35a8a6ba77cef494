// Reading on several threads gives what reading on one gives: the same
// records in the same lists and order, the same text, messages and
// corrupted list, for every corpus file and for files damaged where a piece
// boundary may fall; a Cancel leaves no reader thread and no half-read record.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "DocumentTestSupport.h"
#include "dates/DateClock.h"
#include "document/GEDCOMModel.h"
#include "model/GEDCOMStructure.h"
#include "support/Corpus.h"

namespace kl {
namespace {

using test::DocumentFixture;
using test::ScratchFolder;
namespace fs = std::filesystem;

// Everything a read leaves that a user or a caller can see.
struct ReadResult {
    bool opened = false;
    std::string error;
    std::string message;
    std::string lists;  // every list by name, its records' text in order
    int32_t counted = 0;  // the records the progress panel counted
    bool operator==(const ReadResult&) const = default;
};

// The process-wide settings a read depends on, set for one read and put back.
class ReadWith {
public:
    explicit ReadWith(int threads) {
        GEDCOMModel::setReaderThreads(threads);
        GEDCOMRecord::setUUIDMaker([this] { return "UUID-" + std::to_string(++made_); });
        // Records a read makes (places, embedded notes) carry their creation
        // time, which must not tick between the two reads.
        DateClock::setSource([] { return DateClock::LocalTime{2024, 6, 1, 12, 0, 0}; });
    }
    ~ReadWith() {
        GEDCOMModel::setReaderThreads(0);
        GEDCOMRecord::setUUIDMaker({});
        DateClock::setSource({});
    }
    ReadWith(const ReadWith&) = delete;
    ReadWith& operator=(const ReadWith&) = delete;

private:
    int made_ = 0;
};

ReadResult importWith(int threads, const fs::path& path) {
    ReadWith settings(threads);
    DocumentFixture f;
    ReadResult result;
    result.opened = f.import(path, &result.error);
    if (!result.opened) return result;
    result.message = f.document->readWriteMessage().value_or("");
    result.counted = f.document->gedcomModel().recordsDone();
    for (const auto& list : f.document->gedcomModel().recordsIndex().lists()) {
        result.lists += "== " + list->name() + "\n";
        for (const auto& record : list->order()) result.lists += record->gedcomString();
    }
    return result;
}

void expectSameReads(const fs::path& path, int threads = 8) {
    const ReadResult one = importWith(1, path);
    const ReadResult eight = importWith(threads, path);
    EXPECT_EQ(eight.opened, one.opened);
    EXPECT_EQ(eight.error, one.error);
    EXPECT_EQ(eight.message, one.message);
    EXPECT_EQ(eight.lists, one.lists);
    EXPECT_EQ(eight.counted, one.counted);
}

class ReadInPieces : public testing::TestWithParam<fs::path> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ReadInPieces);

TEST_P(ReadInPieces, EightThreadsReadWhatOneReads) { expectSameReads(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Corpus, ReadInPieces, testing::ValuesIn(test::corpusFiles()),
                         [](const testing::TestParamInfo<fs::path>& info) {
                             std::string name = fs::relative(info.param, test::corpusFolder()).string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name + "_" + std::to_string(info.index);
                         });

KL_CORPUS_PRESENCE_TEST(ReadInPieces);

// A tree of `people` with the damage put in the middle, where a piece
// boundary of an eight-way read falls near.
std::string damagedTree(int people, const std::string& damage) {
    std::string text = "0 HEAD\n1 CHAR UTF-8\n1 SUBM @U1@\n0 @U1@ SUBM\n1 NAME Keeper\n";
    for (int i = 1; i <= people; ++i) {
        if (i == people / 2) text += damage;
        const std::string n = std::to_string(i);
        text += "0 @I" + n + "@ INDI\n1 NAME Pat" + n + " /Vale/\n1 BIRT\n2 DATE " + std::to_string(1800 + i % 200) +
                "\n2 PLAC Town " + std::to_string(i % 7) + "\n";
    }
    return text + "0 TRLR\n0 @I9@ INDI\n1 NAME After /Trailer/\n";
}

struct Damage {
    const char* name;
    std::string lines;
};

class DamagedInTheMiddle : public testing::TestWithParam<Damage> {};

TEST_P(DamagedInTheMiddle, ReadsAlikeOnOneAndEightThreads) {
    ScratchFolder scratch;
    test::writeFile(scratch / "damaged.ged", damagedTree(400, GetParam().lines));
    expectSameReads(scratch / "damaged.ged");
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedInTheMiddle,
    testing::Values(Damage{"LevelJump", "0 @J1@ INDI\n1 NAME Jump /Vale/\n3 DATE 1900\n"},
                    Damage{"BrokenLine", "0 @J1@ INDI\nthis line has no level\n1 NAME Broken /Vale/\n"},
                    Damage{"BadBytes", "0 @J1@ INDI\n1 NAME Bad\xff\xfe /Vale/\n"},
                    Damage{"DuplicateID", "0 @I3@ INDI\n1 NAME Twin /Vale/\n"},
                    Damage{"LevelZeroInTheMiddleOfNothing", "0\n00 @J2@ INDI\n  1 NAME Spaced /Vale/\n"}),
    [](const testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

// A large file is cut into more pieces than there are threads: the threads
// take them in turn, the parsing thread installs each as its scan ends and
// scans one itself while it waits, and the text of each piece is handed back
// as it is scanned. Damage lies near the middle, by a piece boundary.
TEST(ReadInPiecesQueued, MorePiecesThanThreadsReadWhatOneReads) {
    ScratchFolder scratch;
    test::writeFile(scratch / "large.ged", damagedTree(24000, "0 @J1@ INDI\n1 NAME Jump /Vale/\n3 DATE 1900\n"));
    ASSERT_GT(fs::file_size(scratch / "large.ged"), std::uintmax_t{6} << 18);  // several pieces a thread
    expectSameReads(scratch / "large.ged", 2);
}

// With UUIDs inserted by the reader threads (no maker set), each record
// read gets one, as its last line, also where linking adds lines to it: the
// place a birth's coordinates go to, the note a citation moves into. An
// empty note gets none. One and four threads give the same text.
std::string uuidTree(int people) {
    std::string text = "0 HEAD\n1 CHAR UTF-8\n0 @P1@ _PLC\n1 _PLACE Town A\n0 @N1@ NOTE Kept text\n0 @N2@ NOTE\n"
                       "0 @S1@ SOUR\n1 TITL Parish book\n";
    for (int i = 1; i <= people; ++i) {
        const std::string n = std::to_string(i);
        text += "0 @I" + n + "@ INDI\n1 NAME Pat" + n + " /Vale/\n2 FONE Pat\n3 TYPE kana\n1 BIRT\n2 PLAC Town A\n"
                "3 MAP\n4 LATI N45.5\n4 LONG E7.25\n";
        // Only one citation moves into the note: a later one would go after
        // its UUID, as it always has.
        if (i == 1) text += "1 NOTE @N1@\n2 SOUR @S1@\n3 PAGE " + n + "\n";
    }
    return text + "0 TRLR\n";
}

std::string readWithUUIDs(int threads, const fs::path& path, std::string* lists) {
    GEDCOMModel::setReaderThreads(threads);
    const bool before = GEDCOMRecord::insertingUUIDs();
    GEDCOMRecord::setInsertingUUIDs(true);
    DocumentFixture f;
    std::string error;
    const bool opened = f.import(path, &error);
    GEDCOMRecord::setInsertingUUIDs(before);
    GEDCOMModel::setReaderThreads(0);
    if (!opened) return error;
    std::string problems;
    // Records tidied while later pieces went in count for the read's message.
    if (f.document->readWriteMessage().value_or("").find("inserted UUIDs") == std::string::npos)
        problems += "no message ";
    for (const auto& list : f.document->gedcomModel().recordsIndex().lists()) {
        *lists += "== " + list->name() + "\n";
        for (const auto& record : list->order()) {
            const auto& lines = record->structures();
            const std::size_t uuids = record->countChildren("_KLID");
            const bool wanted = !record->isType("HEAD") && record->grecordID() != "@N2@";
            if (uuids != (wanted ? 1u : 0u) || (wanted && lines.back()->gtag() != "_KLID"))
                problems += record->grecordID() + " ";
            std::string text = record->gedcomString();
            if (const std::size_t at = text.find("1 _KLID "); at != std::string::npos) text.replace(at + 8, 36, "X");
            *lists += text;
        }
    }
    return problems;
}

TEST(ReadInPiecesUUIDs, EachReadRecordEndsWithOneAndThreadsAgree) {
    ScratchFolder scratch;
    test::writeFile(scratch / "uuids.ged", uuidTree(300));
    std::string one, four;
    EXPECT_EQ(readWithUUIDs(1, scratch / "uuids.ged", &one), "");
    EXPECT_EQ(readWithUUIDs(4, scratch / "uuids.ged", &four), "");
    EXPECT_EQ(four, one);
    // The linking really added to the place and the note before their UUIDs.
    EXPECT_NE(one.find("1 _BOX Import Coordinates"), std::string::npos);
    EXPECT_NE(one.find("0 @N1@ NOTE\n1 CONC Kept text\n1 SOUR @S1@"), std::string::npos) << one.substr(0, 2000);
}

int threadsOfThisProcess() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("Threads:")) return std::stoi(line.substr(8));
    return -1;
}

// The Cancel comes once the panel has a count to show, in the middle of
// reading tens of thousands of records.
TEST(ReadInPiecesCancel, LeavesNoThreadAndOnlyWholeRecords) {
    class CancelWhenCounting : public test::UIDouble {
    public:
        bool pauseIn(KLProgress& task, double) override {
            while (task.stillRunning() && !task.updateStatusField()) std::this_thread::yield();
            task.cancelAction();
            return task.stillRunning();
        }
    };
    ScratchFolder scratch;
    test::writeFile(scratch / "large.ged", damagedTree(60000, ""));
    ReadWith settings(8);
    GEDCOMDocument document;
    CancelWhenCounting ui;
    document.setUI(&ui);
    const int threadsBefore = threadsOfThisProcess();
    std::string error;
    EXPECT_FALSE(document.readFromURL(scratch / "large.ged", GEDCOMDocument::kGEDCOMType, &error));
    EXPECT_EQ(error, "File read cancelled");
    EXPECT_EQ(threadsOfThisProcess(), threadsBefore);
    auto people = document.gedcomModel().recordsIndex().listForType("INDI");
    for (const auto& person : people ? people->order() : RecordsList::Records{}) {
        auto birth = person->findStructureWithTag("BIRT");
        ASSERT_TRUE(birth && birth->findChild("PLAC", false)) << person->grecordID() << " was installed half read";
    }
}

}  // namespace
}  // namespace kl
