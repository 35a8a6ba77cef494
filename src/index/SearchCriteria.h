#pragma once
// SearchCriteria: what the search window's criterion rows ask for, read from
// the rows' plain values into four lists (record types, expression
// criteria, date criteria compared by day number, and the other kinds),
// checked before a search starts, and tested against one record at a time
// on the search worker.
//
// A criteria object is read and validated on the main thread and then
// handed whole to one worker, which alone evaluates its expressions (they
// remember their last structure) until the search ends.
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "dates/Calendars.h"
#include "document/KLExpression.h"

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;
class RecordsIndices;
class RecordsList;

// What one criterion row shows, as plain values.
struct CriterionRow {
    int kind = 0;                 // the options pop-up's index
    int comparison = 0;           // the comparison pop-up's index
    std::string text;             // the search text
    std::string expression;       // the expression field (kind 10)
    std::string recordTypeTitle;  // the record-type pop-up's title (kind 1)
    long albumIndex = -1;         // the album pop-up's index; -1 when there is no album (kind 2)
};

class SearchCriteria {
public:
    enum Kind : int {
        NameTitle = 0, RecordType = 1, InAlbum = 2, BirthDate = 3, BirthPlace = 4, DeathDate = 5, DeathPlace = 6,
        MarriageDate = 7, MarriagePlace = 8, ChangeDate = 9, Expression = 10, ExpressionIdeas = 11, AnyDate = 12,
        AnyPlace = 13, CreationDate = 14, GEDCOMText = 15, AnyDateByDay = 16, CreationDateByDay = 17
    };
    enum Compare : int {
        Is = 0, IsNot = 1, Contains = 2, DoesNotContain = 3, StartsWith = 4, EndsWith = 5, DoesNotStartWith = 6,
        DoesNotEndWith = 7, IsBefore = 8, IsAfter = 9, IsAnyText = 10, MatchesRegex = 11, DoesNotMatchRegex = 12
    };
    // A text range: start and length in bytes.
    using Range = std::pair<std::size_t, std::size_t>;

    struct ExpressionCriterion {
        KLExpression expression;
        int comparison = 0;
        std::string text;
        std::shared_ptr<const std::regex> regex;
    };
    struct DateCriterion {
        KLExpression expression;  // ends in "sdn"
        KLExpression dateText;    // the same path without "sdn": the hit text
        int comparison = 0;
        std::string text;
        SDN target = 0;
    };
    struct OtherCriterion {
        int kind = 0;
        int comparison = 0;
        std::string text;
        std::shared_ptr<RecordsList> album;  // In Album; nullptr when the row had none
        SDN target = 0;                      // kinds 16 and 17
        std::shared_ptr<const std::regex> regex;
    };
    struct Failure {
        std::string message;
        std::string information;
        bool regex = false;  // an invalid regular expression
    };

    // The titles of the options pop-up, of the comparisons, and each kind's
    // record-path expression ("" where none).
    static const std::vector<std::string>& mainOptions();
    static const std::vector<std::string>& compareOptions();
    static const std::vector<std::string>& mainExpressions();
    static bool isDateComparison(int comparison) {
        return comparison == Is || comparison == IsNot || comparison == IsBefore || comparison == IsAfter;
    }
    // The comparisons a GEDCOM Text row offers.
    static bool isTextSearchComparison(int comparison) {
        return comparison == Contains || comparison == DoesNotContain || comparison == MatchesRegex ||
               comparison == DoesNotMatchRegex;
    }
    // The row's display state for a kind: 0 comparison and text, 1 record
    // type, 2 expression with comparison and text, 4 restricted comparison
    // and text, 5 album.
    static int displayStateForKind(int kind);
    // The titles of the record-type pop-up: the singular names of the
    // types but stored reports, then "Unused Place" and "Other".
    static std::vector<std::string> recordTypeTitles();

    // nullopt when a row that needs text has none. Albums are those of the
    // index, in album order.
    static std::optional<SearchCriteria> readCriteria(const std::vector<CriterionRow>& rows,
                                                      const RecordsIndices& index);
    // Checks the lists in order and turns date texts into day numbers and
    // regular expressions into compiled ones; the first failure stops.
    std::optional<Failure> validate();

    // The records to search, in search order.
    std::vector<std::shared_ptr<GEDCOMRecord>> recordsToSearch(const RecordsIndices& index) const;
    // nullopt when the record is no hit, else the hit text ("" when no
    // criterion yielded one). Worker thread.
    std::optional<std::string> testRecord(GEDCOMRecord& record, GEDCOMModel* model);

    // Value against search text. `range` is the last matched range, set by
    // comparisons 2, 3, 11 and 12 (nullopt when they found nothing).
    static bool searchCompare(const std::string& value, const std::string& text, int comparison, bool hasStructure,
                              std::optional<Range>* range = nullptr, const std::regex* regex = nullptr);
    static bool searchSdnCompare(SDN sdn, SDN target, int comparison);

    const std::vector<std::string>& recordTypes() const { return recordTypes_; }
    const std::vector<ExpressionCriterion>& expressions() const { return expressions_; }
    const std::vector<DateCriterion>& dates() const { return dates_; }
    const std::vector<OtherCriterion>& others() const { return others_; }

private:
    bool testOther(OtherCriterion& criterion, GEDCOMRecord& record, std::optional<std::string>& yield);

    std::vector<std::string> recordTypes_;
    std::vector<ExpressionCriterion> expressions_;
    std::vector<DateCriterion> dates_;
    std::vector<OtherCriterion> others_;
};

}  // namespace kl
