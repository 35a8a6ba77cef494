#pragma once
// The option bits every record kind's reportDescription reads: which facts
// appear, whether names become links, whether the text is for speech or
// HTML, and the output form. Reports pass their detail check boxes as the
// low bits; the report-description script command names the bits by the
// keywords below.
#include <cstdint>
#include <string_view>

namespace kl {

enum ReportOption : std::uint32_t {
    ReportBD = 0x1,           // birth date
    ReportBP = 0x2,           // birth place
    ReportDD = 0x4,           // death date
    ReportDP = 0x8,           // death place
    ReportSN = 0x10,          // spouse names
    ReportCN = 0x20,          // children names
    ReportMD = 0x40,          // marriage dates
    ReportMP = 0x80,          // marriage places
    ReportLinks = 0x100,      // names of other records become links
    ReportPron = 0x400,       // the pronoun from the start
    ReportSex = 0x800,        // the sex beside the name
    ReportMainLink = 0x1000,  // the record's own name (or verb) becomes a link
    ReportFM = 0x2000,        // father and mother
    ReportSay = 0x4000,       // text meant for speech
    ReportHTML = 0x8000,      // the output is HTML
    ReportList = 0x10000,     // list form: one labelled line per entry
    ReportTable = 0x20000,    // table form: one cell per entry
};

// Any of these makes the output HTML, so free text such as places is escaped.
inline constexpr std::uint32_t kReportEscapesText = ReportLinks | ReportMainLink | ReportHTML;
// The bits that choose the output form; none of them is the prose form.
inline constexpr std::uint32_t kReportFormMask = ReportList | ReportTable;

struct ReportOptionKeyword {
    std::string_view keyword;
    std::uint32_t bit;
};

// The script command's keywords; the table form has none (only the
// relatives report's table style sets it).
inline constexpr ReportOptionKeyword kReportOptionKeywords[] = {
    {"BD", ReportBD},       {"BP", ReportBP},       {"DD", ReportDD},     {"DP", ReportDP},
    {"SN", ReportSN},       {"CN", ReportCN},       {"MD", ReportMD},     {"MP", ReportMP},
    {"LINKS", ReportLinks}, {"PRON", ReportPron},   {"SEX", ReportSex},   {"MAINLINK", ReportMainLink},
    {"FM", ReportFM},       {"SAY", ReportSay},     {"HTML", ReportHTML}, {"LIST", ReportList},
};

}  // namespace kl
