#pragma once
// The shared public GEDCOM corpus beside the repository, as the corpus tests
// read it: files in place or gzip-packed, decoded by a rough stand-in for the
// document's character-set detection.
#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "model/TextEncoding.h"

namespace kl::test {

// KL_TESTDATA in the environment wins over the folder named at build time.
inline const std::filesystem::path& corpusFolder() {
    static const std::filesystem::path folder = [] {
        const char* given = std::getenv("KL_TESTDATA");
        return std::filesystem::path(given && *given ? given : KL_TESTDATA) / "gedcom";
    }();
    return folder;
}

inline bool corpusPresent() {
    std::error_code error;
    return std::filesystem::is_directory(corpusFolder(), error);
}

// A test program whose corpus cases are made from the files found says so
// when there are none, instead of quietly running fewer cases.
#define KL_CORPUS_PRESENCE_TEST(Suite)                                                                   \
    TEST(Suite, CorpusIsPresent) {                                                                     \
        if (!::kl::test::corpusPresent())                                                              \
            GTEST_SKIP() << "no test data at " << ::kl::test::corpusFolder()                           \
                         << ": the corpus cases did not run (the data is ../shared/testdata beside "   \
                            "the source, or the folder KL_TESTDATA names)";                            \
    }

inline std::string readCorpusBytes(const std::filesystem::path& path) {
    if (path.extension() != ".gz") {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string text;
    gzFile file = gzopen(path.c_str(), "rb");
    if (!file) return text;
    char buffer[1 << 16];
    for (int got; (got = gzread(file, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(got));
    gzclose(file);
    return text;
}

// UTF-16 by its byte-order mark or zero bytes, else the header's CHAR line.
inline TextEncoding guessCorpusEncoding(std::string_view bytes) {
    if (bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0' || bytes.starts_with("\xFE\xFF") ||
                              bytes.starts_with("\xFF\xFE")))
        return TextEncoding::UTF16;
    const size_t at = bytes.substr(0, 4096).find("1 CHAR ");
    if (at == std::string_view::npos) return TextEncoding::UTF8;
    const std::string_view rest = bytes.substr(at + 7);
    const std::string_view name = rest.substr(0, rest.find_first_of(" \r\n"));
    if (name == "ANSEL") return TextEncoding::ANSEL;
    if (name == "ANSI") return TextEncoding::Windows1252;
    return TextEncoding::UTF8;
}

// Every corpus file but the generated scale trees: those are counted by their
// own tests and timed by the benchmarks; reading the million-person one under
// the sanitizers would cost minutes and find nothing the hand-made files don't.
inline std::vector<std::filesystem::path> corpusFiles() {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    std::error_code error;
    if (!fs::is_directory(corpusFolder(), error)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(corpusFolder(), error))
        if (entry.is_regular_file() && entry.path().parent_path().filename() != "generated")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace kl::test
