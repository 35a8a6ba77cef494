#pragma once
// The finished HTML report of a script that goes into a variable rather than
// into the database: record links mean nothing outside the database, so they
// are removed (their text stays), and the fragment becomes a standalone page
// that links the report style sheet where it lies.
//
// Thread: any; reportStyleSheet touches the library folder's files, which
// the main thread owns, so call it there.
#include <filesystem>
#include <optional>
#include <string>

namespace kl {

class LibraryFolder;

// Replaces every anchor whose address is a record ID ("@I1@", also after
// "//") by its inner text; other links stay. A record link without a
// closing "</a>" ends the scan.
std::string removeRecordLinks(std::string html);

// The library's "Formats/report.css", copied there from the program's own
// when missing; the program's own when that copy fails; nullopt when there
// is none at all (or no library).
std::optional<std::filesystem::path> reportStyleSheet(const LibraryFolder* library);

// The page around an HTML fragment: document type, a head with the title,
// the character set, the style-sheet link (an empty line without a sheet)
// and the inner text of the fragment's own head element, then the body. A
// missing sheet puts a red note at the top of the body.
std::string exportReportPage(const std::string& html, const std::optional<std::filesystem::path>& styleSheet);

}  // namespace kl
