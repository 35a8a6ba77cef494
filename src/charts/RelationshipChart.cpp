#include "charts/RelationshipChart.h"

#include <algorithm>
#include <cstdio>

#include "charts/ReportController.h"
#include "document/IndexStyle.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"
#include "model/OBJERecord.h"

namespace kl {

namespace {

const char* kUnknownParent = "(Unknown Parent)";
const char* kLine = "<td class='line'></td><td></td>";
const char* kGap = "<td></td><td></td>";

std::string text(const std::string& s) { return ReportController::htmlText(s); }

// Where a family stands among a person's parents' families: -1 not there,
// 0 one of the person's own, 1 a father's other family, 2 a mother's.
int stepIn(const INDIRecord& person, const FAMRecord* family) {
    INDIRecord::ParentSteps steps;
    const auto parents = person.allParentsStartStep(&steps);
    for (std::size_t i = 0; i < parents.size(); ++i) {
        if (parents[i].get() != family) continue;
        if (i < steps.own) return 0;
        return i < steps.own + steps.father ? 1 : 2;
    }
    return -1;
}

std::string component(double value) {
    static const char* hex = "0123456789ABCDEF";
    const int v = std::clamp(static_cast<int>(value * 255), 0, 255);
    return {hex[v >> 4], hex[v & 15]};
}

}  // namespace

RelationshipChart::RelationshipChart(PersonPtr to, PersonPtr from, std::shared_ptr<const IndexStyle> style,
                                     GEDCOMModel* model, Colors colors)
    : to_(std::move(to)), from_(std::move(from)), style_(std::move(style)), model_(model), colors_(std::move(colors)) {}

std::string RelationshipChart::title() const {
    return "Relationship of " + from_->altViewName() + " to " + to_->altViewName();
}

std::string RelationshipChart::translateColor(const Color& color, double* alpha, bool rgba) {
    if (alpha) *alpha = color.alpha;
    if (rgba) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "rgba(%d,%d,%d,%.3f)", static_cast<int>(color.red * 255),
                      static_cast<int>(color.green * 255), static_cast<int>(color.blue * 255), color.alpha);
        return buffer;
    }
    return "#" + component(color.red) + component(color.green) + component(color.blue);
}

void RelationshipChart::insertVerticalLine() { html_ += kLine; }

void RelationshipChart::gap() { html_ += kGap; }

void RelationshipChart::boxAboveLine(const PersonPtr& person) {
    html_ += "<tr>";
    insertCellFor(person, 2);
    html_ += "</tr>\n<tr>";
    insertVerticalLine();
    html_ += "</tr>\n";
}

void RelationshipChart::insertCellFor(const PersonPtr& person, int span) {
    const std::string colspan = " colspan='" + std::to_string(span) + "'>";
    if (!person) {
        html_ += "<td class='male'" + colspan + kUnknownParent + "</td>\n";
        return;
    }
    html_ += std::string(person->sexChar() == u'M' ? "<td class='male'" : "<td class='female'") + colspan;
    html_ += "<a href='//" + text(person->grecordID()) + "'>";
    const int portrait = style_ ? style_->portraitColumn() : -1;
    if (portrait >= 0)
        if (const auto object = std::dynamic_pointer_cast<OBJERecord>(person->portraitImage())) {
            std::string path;
            object->portraitImage(&path);
            // Blanks, quotes and other bytes of the path are percent-encoded,
            // so the address holds nothing that could end the attribute.
            if (!path.empty())
                html_ += "<img src='" + ReportController::fileAddress(path) +
                         "' align='left' height='64' alt='portrait'>";
        }
    html_ += text(person->altViewName());
    const std::size_t columns = style_ ? style_->numberOfColumns() : 0;
    static const std::string plusMinus = "\u00b1";
    for (std::size_t c = 1; c < columns; ++c) {
        if (static_cast<int>(c) == portrait) continue;
        const std::string& label = style_->columns()[c].label;
        const std::string value = text(style_->dataForRecord(*person, static_cast<int>(c), model_));
        if (label.starts_with('+'))
            html_ += "<br>" + text(label.substr(1)) + ": " + value;
        else if (label.starts_with(plusMinus))
            html_ += value.empty() ? std::string("<br>&nbsp;") : "<br>" + value;
        else if (label.starts_with('-')) {
            if (!value.empty()) html_ += "<br>" + value;
        } else if (!value.empty())
            html_ += "<br>" + text(label) + ": " + value;
    }
    html_ += "</a></td>\n";
}

void RelationshipChart::findLinkers(const RelationshipRow& row) {
    linkers_.clear();
    step_ = 0;
    const auto& a = row.ancestLine;
    for (std::size_t i = 0; i + 1 < a.size(); ++i) {
        const auto& lower = a[i];
        const auto& upper = a[i + 1];
        const auto husband = lower->husbandRecord(), wife = lower->wifeRecord();
        if (husband && stepIn(*husband, upper.get()) == 0) {
            linkers_.push_back(husband);
            continue;
        }
        if (wife && stepIn(*wife, upper.get()) == 0) {
            linkers_.push_back(wife);
            continue;
        }
        if (i + 2 < a.size()) {
            linkers_.push_back(nullptr);
            continue;
        }
        // The top pair: the line may enter the linking family as a step.
        PersonPtr linker;
        for (const auto& partner : {husband, wife}) {
            if (!partner) continue;
            const int step = stepIn(*partner, upper.get());
            if (step < 0) continue;
            linker = partner;
            step_ = step;
            break;
        }
        linkers_.push_back(linker);
    }
    if (a.size() == 1) step_ = std::max(0, stepIn(*to_, a.front().get()));
}

std::string RelationshipChart::chartPage(const RelationshipRow& row) {
    html_ = "<div>\n<head>\n  <style>\n";
    html_ += "    table { border: none; }\n";
    html_ += "    table tbody td { border: none; }\n";
    html_ += "    .male { border: solid 1px #000;\n      background-color: " + colors_.male + ";\n";
    html_ += "    text-align: center; }\n";
    html_ += "    .female { border: solid 1px #000;\n      background-color: " + colors_.female + ";\n";
    html_ += "    text-align: center; }\n";
    html_ += "    .line { border-right: solid 2px #000;}\n";
    html_ += "    .lline { border-left: solid 2px #000;}\n";
    html_ += "    img { padding:0 6px 0 0;}\n";
    html_ += "    a { color:black;}\n";
    html_ += "    a:hover { color:black;}\n";
    html_ += "  </style>\n</head>\n";
    html_ += "<h1>" + text(title()) + "</h1>\n";
    html_ += "<p>Relationship: " + text(row.name) + "</p>\n";
    findLinkers(row);
    html_ += "<table>\n";

    const auto& d = row.descendLine;
    const auto& a = row.ancestLine;
    const auto top = a.empty() ? nullptr : a.back();
    const auto topHusband = top ? top->husbandRecord() : nullptr;
    const auto topWife = top ? top->wifeRecord() : nullptr;

    if (a.empty()) {
        boxAboveLine(to_);
        for (const auto& person : d) boxAboveLine(person);
        html_ += "<tr>";
        insertCellFor(from_, 2);
        html_ += "</tr>\n";
    } else if (d.empty() && (topHusband == from_ || topWife == from_)) {
        boxAboveLine(from_);
        for (auto linker = linkers_.rbegin(); linker != linkers_.rend(); ++linker) boxAboveLine(*linker);
        html_ += "<tr>";
        insertCellFor(to_, 2);
        html_ += "</tr>\n";
    } else {
        if (topHusband) {
            html_ += "<tr><td></td>";
            insertCellFor(topHusband, 4);
            html_ += "<td></td></tr>\n";
            if (topWife) {
                html_ += "<tr><td></td><td></td>";
                insertVerticalLine();
                html_ += "<td></td><td></td></tr>";
                html_ += "<tr><td></td>";
                insertCellFor(topWife, 4);
                html_ += "<td></td><td></td></tr>\n";
            }
        } else if (topWife) {
            html_ += "<tr><td></td>";
            insertCellFor(topWife, 4);
            html_ += "<td></td><td></td></tr>\n";
        }
        html_ += "<tr>";
        if (step_ == 2)
            html_ += "<td class='line'>Stepfather</td><td></td>";
        else if (step_ == 1)
            html_ += "<td class='line'>Stepmother</td><td></td>";
        else
            insertVerticalLine();
        gap();
        const auto& first = d.empty() ? from_ : d.front();
        const int rightStep = stepIn(*first, top.get());
        if (rightStep == 1)
            html_ += "<td class='lline'>Stepmother</td><td></td>";
        else if (rightStep == 2)
            html_ += "<td class='lline'>Stepfather</td><td></td>";
        else
            insertVerticalLine();
        html_ += "</tr>";

        const std::size_t linkers = linkers_.size();
        const std::size_t n = std::max(linkers, d.size());
        bool leftDone = false, rightDone = false;
        for (std::size_t i = 0; i < n; ++i) {
            html_ += "<tr>";
            if (i < linkers)
                insertCellFor(linkers_[linkers - 1 - i], 2);
            else if (!leftDone) {
                insertCellFor(to_, 2);
                leftDone = true;
            } else
                gap();
            gap();
            if (i < d.size())
                insertCellFor(d[i], 2);
            else if (!rightDone) {
                insertCellFor(from_, 2);
                rightDone = true;
            } else
                gap();
            html_ += "</tr>\n<tr>";
            leftDone ? gap() : insertVerticalLine();
            gap();
            rightDone ? gap() : insertVerticalLine();
            html_ += "</tr>\n";
        }
        html_ += "<tr>";
        if (leftDone) {
            gap();
            gap();
        } else {
            insertCellFor(to_, 2);
            gap();
        }
        if (rightDone)
            gap();
        else
            insertCellFor(from_, 2);
        html_ += "</tr>\n";
    }
    html_ += "</table>\n</div>";
    return std::move(html_);
}

}  // namespace kl
