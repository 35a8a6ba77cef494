#pragma once
// ExportOptions: the application's settings for exporting a database to a
// plain GEDCOM file: character set, line ending, export style (with the
// record kinds and embeddings the style implies) and which records. The
// export options sheet shows and sets them; the document's export reads
// them; a script sets them without the sheet. The character set, line
// ending and style are kept in the user defaults.
//
// Class-wide values only. Thread: main thread (the export worker receives
// what it needs as arguments).
#include <cstdint>
#include <optional>
#include <string>

namespace kl {

class UserDefaults;

class ExportOptions {
public:
    static constexpr const char* kCharacterSetKey = "GEDCOM Export Character Set";
    static constexpr const char* kLineEndingKey = "GEDCOM Export Line Ending";
    static constexpr const char* kStyleKey = "GEDCOM Export Style";
    static constexpr const char* kMaximumLineKey = "Maximum Length of GEDCOM Line";
    static constexpr int kShortestLine = 40;

    // Loads the stored character set, line ending and style (its flags are
    // derived only when a style is set), and hands the stored maximum line
    // length to the line writer.
    static void setupExportPreferences(const UserDefaults& defaults);

    // 0: every record; n: the n-th user album.
    static int albumIndex();
    static void setAlbumIndex(int index);

    static std::string currentLineEnding();
    // Menu items: 0 CR, 1 LF, 2 CR LF; any other index LF.
    static void setCurrentLineEndingByIndex(int index, UserDefaults& defaults);
    static int lineEndingIndex();
    static std::string defaultLineEnding() { return "\n"; }

    static std::string defaultEncoding() { return "UTF-8"; }
    static int defaultEncodingCode() { return 4; }
    // The stored set's name; nullopt when none is stored.
    static std::optional<std::string> exportCharacterSet();
    static void setExportCharacterSet(std::optional<std::string> name);
    // The text encoding code of the set: 4 UTF-8, 10 UTF-16, 12 Windows,
    // 65536 ANSEL, 30 (Mac Roman) for ASCII and any other name, 0 for none.
    static int exportEncoding();
    // Menu items: 0 ASCII, 1 ANSEL, 2 UTF-8, 3 UNICODE, 4 Windows.
    static int exportEncodingIndex();
    static void setCurrentEncodingByIndex(int index, UserDefaults& defaults);
    static std::string characterSetForIndex(int index);

    static int exportStyle();
    // Stores the style and derives its flags (styles above 5 act as 0).
    static void setExportStyle(int style, UserDefaults& defaults);
    static bool omitLogs();
    static bool omitPlaces();
    static bool omitBooks();
    static int embedMM();
    static bool embedSettings();
    static void setEmbedSettings(bool embed);
    static bool embedThumbnails();

    // The export flag bits of the current settings (the model's
    // GEDCOMModel::ExportFlag), without the bit every export adds.
    static std::uint32_t exportFlags();
    // Stores a length of at least 40 and hands it to the line writer.
    static int setMaximumLineLength(double length, UserDefaults& defaults);
};

}  // namespace kl
