#include "script/CustomExpression.h"

#include <string_view>
#include <unordered_map>

#include "dates/DateBridge.h"
#include "foundation/Numbers.h"
#include "model/Soundex.h"

namespace kl {

namespace {

using Reader = std::string (*)(const TemplateFacts&);

std::string g(double value) { return formatGeneral(value, 6); }

struct CustomVariable {
    const char* name;
    Reader read;
};

// Index order is the variables' table order; templates never see indexes,
// but keeping it makes the list easy to compare with the format docs.
const CustomVariable kVariables[] = {
    {"#cellSkip$", [](const TemplateFacts& f) { return g(f.cellSkip()); }},
    {"#lineSkip$", [](const TemplateFacts& f) { return g(f.lineSkip()); }},
    {"#leftSkip$", [](const TemplateFacts& f) { return g(f.leftSkip()); }},
    {"#rightSkip$", [](const TemplateFacts& f) { return g(f.rightSkip()); }},
    {"#rightMargin$", [](const TemplateFacts& f) { return g(f.rightMargin()); }},
    {"#topMargin$", [](const TemplateFacts& f) { return g(f.topMargin()); }},
    {"#hpos$", [](const TemplateFacts& f) { return g(f.hpos()); }},
    {"#vpos$", [](const TemplateFacts& f) { return g(f.vpos()); }},
    {"#cellWidth$", [](const TemplateFacts& f) { return g(f.currentCellWidth()); }},
    {"#cellHeight$", [](const TemplateFacts& f) { return g(f.currentCellHeight()); }},
    {"#imageWidth$", [](const TemplateFacts& f) { return g(f.currentImageWidth()); }},
    {"#imageHeight$", [](const TemplateFacts& f) { return g(f.currentImageHeight()); }},
    {"#habs$", [](const TemplateFacts& f) { return g(f.groupLeftEdge() + f.hpos()); }},
    {"#vabs$", [](const TemplateFacts& f) { return g(f.groupTopEdge() + f.vpos()); }},
    {"#defaultWidth$", [](const TemplateFacts& f) { return g(f.defaultWidth()); }},
    {"#defaultHeight$", [](const TemplateFacts& f) { return g(f.defaultHeight()); }},
    {"#parentTag$", [](const TemplateFacts& f) { return f.parentTag(); }},
    {"#mmPath$", [](const TemplateFacts& f) { return f.currentMmPath(); }},
    {"#bottomMargin$", [](const TemplateFacts& f) { return g(f.bottomMargin()); }},
    {"#imageType$", [](const TemplateFacts& f) { return f.currentImageType(); }},
    {"#macOS$", [](const TemplateFacts& f) { return std::to_string(f.systemVersion()); }},
    {"#displayHeight$", [](const TemplateFacts& f) { return g(f.displayHeight()); }},
    {"#thumbnailSize$", [](const TemplateFacts& f) { return std::to_string(f.thumbnailSize()); }},
    {"#paperWidth$", [](const TemplateFacts& f) { return g(f.paperWidth()); }},
    {"#paperHeight$", [](const TemplateFacts& f) { return g(f.paperHeight()); }},
    {"#today$", [](const TemplateFacts&) { return userDisplayDate(todayDateString()); }},
    {"#imagePPI$", [](const TemplateFacts& f) { return g(f.currentImagePPI()); }},
    {"#printTop$", [](const TemplateFacts& f) { return g(f.printTop()); }},
    {"#printBottom$", [](const TemplateFacts& f) { return g(f.printBottom()); }},
    {"#printLeft$", [](const TemplateFacts& f) { return g(f.printLeft()); }},
    {"#printRight$", [](const TemplateFacts& f) { return g(f.printRight()); }},
    {"#appName$", [](const TemplateFacts&) { return std::string(CustomExpression::appName); }},
    {"#returnValue$", [](const TemplateFacts& f) { return f.subReturnValue().value_or("????"); }},
};

const std::unordered_map<std::string_view, Reader>& variableTable() {
    static const auto table = [] {
        std::unordered_map<std::string_view, Reader> t;
        for (const auto& v : kVariables) t.emplace(v.name, v.read);
        return t;
    }();
    return table;
}

using TemplateFunction = std::string (*)(const TemplateFacts&, const std::string&);

const std::unordered_map<std::string_view, TemplateFunction>& functionTable() {
    static const std::unordered_map<std::string_view, TemplateFunction> table = {
        {"local", [](const TemplateFacts& f, const std::string& a) { return f.languageString(a).value_or(a); }},
        {"string", [](const TemplateFacts& f, const std::string& a) { return f.languageString(a).value_or(""); }},
        {"soundex", [](const TemplateFacts&, const std::string& a) { return soundexForString(a); }},
        {"dateformat", [](const TemplateFacts&, const std::string& a) { return userDisplayDate(a); }},
        {"dateyear", [](const TemplateFacts&, const std::string& a) { return yearFromDate(a); }},
    };
    return table;
}

}  // namespace

CustomExpression::CustomExpression(std::string text, const TemplateFacts* browser)
    : Expression(std::move(text)), browser_(browser) {}

std::unique_ptr<Expression> CustomExpression::copy() const {
    return std::unique_ptr<Expression>(new CustomExpression(*this));
}

const TemplateFacts& CustomExpression::facts() const {
    static const TemplateFacts outsideAnyPane;
    return browser_ ? *browser_ : outsideAnyPane;
}

const std::vector<std::string>& CustomExpression::customVariableNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const auto& v : kVariables) n.emplace_back(v.name);
        return n;
    }();
    return names;
}

std::optional<std::string> CustomExpression::getCustomVariable(const std::string& name) {
    const auto& table = variableTable();
    auto it = table.find(name);
    if (it == table.end()) return std::nullopt;
    return it->second(facts());
}

std::optional<std::string> CustomExpression::doCustomFunction(const std::string& name,
                                                              const std::vector<std::string>& args,
                                                              const std::vector<std::optional<double>>& numbers,
                                                              const Variables& variables) {
    const auto& table = functionTable();
    auto it = table.find(name);
    if (it == table.end()) return Expression::doCustomFunction(name, args, numbers, variables);
    if (args.size() != 1) return std::nullopt;
    return it->second(facts(), args[0]);
}

}  // namespace kl
