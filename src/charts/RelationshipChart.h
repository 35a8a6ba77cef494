#pragma once
// RelationshipChart: the HTML page that draws one found relationship: a box
// per person, the linking couple on top, the subject's line down the left
// and the sought individual's line down the right, with connector cells
// between the generations; a straight-line relationship (an ancestor, a
// descendant, a spouse) is one column. Which lines a box shows comes from
// a column style (the ancestor trees' one in the program).
//
// Record data on the page is made safe for HTML. Thread: main thread (it
// reads the records).
#include <memory>
#include <string>
#include <vector>

#include "app/Color.h"
#include "charts/RelationshipSearch.h"

namespace kl {

class GEDCOMModel;
class IndexStyle;

class RelationshipChart {
public:
    // The box colours as CSS text.
    struct Colors {
        std::string male = "#7FBFFF";
        std::string female = "#FF7FFF";
    };

    RelationshipChart(std::shared_ptr<INDIRecord> to, std::shared_ptr<INDIRecord> from,
                      std::shared_ptr<const IndexStyle> style, GEDCOMModel* model, Colors colors);

    // "Relationship of <from> to <to>".
    std::string title() const;
    std::string chartPage(const RelationshipRow& row);

    // CSS text of a colour: "#RRGGBB" (upper-case hexadecimal), or with
    // `rgba` "rgba(r,g,b,a)"; the alpha is handed back too.
    static std::string translateColor(const Color& color, double* alpha, bool rgba);

private:
    using PersonPtr = std::shared_ptr<INDIRecord>;
    // nullptr stands for an unknown parent.
    void insertCellFor(const PersonPtr& person, int span);
    void insertVerticalLine();
    void gap();
    // One row of a single column: the box, then a row with a line below it.
    void boxAboveLine(const PersonPtr& person);
    // The linkers, bottom pair first, and the step flag of the top family.
    void findLinkers(const RelationshipRow& row);

    PersonPtr to_;
    PersonPtr from_;
    std::shared_ptr<const IndexStyle> style_;
    GEDCOMModel* model_;
    Colors colors_;
    std::string html_;
    std::vector<PersonPtr> linkers_;
    int step_ = 0;
};

}  // namespace kl
