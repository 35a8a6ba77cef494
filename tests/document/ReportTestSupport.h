#pragma once
// A small clan for report-description tests, read into a store with today
// held at 5 March 2024:
//   F1: Otto Berg (died 1990 in Ulm) and Eva Roth, child Karl
//   F2: Karl Berg (born 1 MAR 1950 in Salem) and Anna Lind, married 12 JUN
//       1975 in "Boston & <Co>", children Lena (born 1976, died 2020) and Max
//       (no sex)
//   F3: Karl and Ida Holm, nothing else
//   F4: no husband, Greta Vogt (died, no data), child Sam Ray (no sex)
//   F5: nobody at all
//   F6: not married (_UMR): Jon Dahl (sex U, born 1 JAN 1900) and Mia Dahl
//   F7: married 1 JAN 1944, no spouses, child Ben Kurz (born 2 FEB 1943)
#include <string>
#include <vector>

#include "StoreTestSupport.h"
#include "foundation/Value.h"
#include "model/ReportOptions.h"

namespace kl::test {

inline constexpr const char* kClan =
    "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 BIRT\n2 DATE 1 MAR 1950\n2 PLAC Salem\n"
    "1 FAMC @F1@\n1 FAMS @F2@\n1 FAMS @F3@\n"
    "0 @I2@ INDI\n1 NAME Otto /Berg/\n1 SEX M\n1 DEAT\n2 DATE 1990\n2 PLAC Ulm\n1 FAMS @F1@\n"
    "0 @I3@ INDI\n1 NAME Eva /Roth/\n1 SEX F\n1 FAMS @F1@\n"
    "0 @I4@ INDI\n1 NAME Anna /Lind/\n1 SEX F\n1 FAMS @F2@\n"
    "0 @I5@ INDI\n1 NAME Lena /Berg/\n1 SEX F\n1 BIRT\n2 DATE 1976\n1 DEAT\n2 DATE 2020\n1 FAMC @F2@\n"
    "0 @I6@ INDI\n1 NAME Max /Berg/\n1 FAMC @F2@\n"
    "0 @I7@ INDI\n1 NAME Ida /Holm/\n1 SEX F\n1 FAMS @F3@\n"
    "0 @I8@ INDI\n1 NAME Greta /Vogt/\n1 SEX F\n1 DEAT\n1 FAMS @F4@\n"
    "0 @I9@ INDI\n1 NAME Sam /Ray/\n1 FAMC @F4@\n"
    "0 @I10@ INDI\n1 NAME Jon /Dahl/\n1 SEX U\n1 BIRT\n2 DATE 1 JAN 1900\n1 FAMS @F6@\n"
    "0 @I11@ INDI\n1 NAME Mia /Dahl/\n1 SEX F\n1 FAMS @F6@\n"
    "0 @I12@ INDI\n1 NAME Ben /Kurz/\n1 SEX M\n1 BIRT\n2 DATE 2 FEB 1943\n1 FAMC @F7@\n"
    "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I3@\n1 CHIL @I1@\n"
    "0 @F2@ FAM\n1 HUSB @I1@\n1 WIFE @I4@\n1 MARR\n2 DATE 12 JUN 1975\n2 PLAC Boston & <Co>\n"
    "1 CHIL @I5@\n1 CHIL @I6@\n"
    "0 @F3@ FAM\n1 HUSB @I1@\n1 WIFE @I7@\n"
    "0 @F4@ FAM\n1 WIFE @I8@\n1 CHIL @I9@\n"
    "0 @F5@ FAM\n"
    "0 @F6@ FAM\n1 HUSB @I10@\n1 WIFE @I11@\n1 _UMR Y\n"
    "0 @F7@ FAM\n1 MARR\n2 DATE 1 JAN 1944\n1 CHIL @I12@\n";

struct ClanFixture : PeopleStoreFixture {
    ClanFixture() { load(kClan); }
    FixedToday today{2024, 3, 5};
};

// A case of a table: a record, the options and the expected text, or the
// expected lines for the list and table forms.
struct ReportCase {
    const char* label;
    const char* recordID;
    std::uint32_t options;
    std::string text;
    std::vector<std::string> lines;
};

inline std::vector<std::string> texts(const Value& value) {
    std::vector<std::string> out;
    if (const Array* array = value.array())
        for (const Value& entry : *array) out.push_back(entry.toString());
    return out;
}

inline void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.label; }

}  // namespace kl::test
