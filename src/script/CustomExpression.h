#pragma once
// CustomExpression: the expression of templates. Besides the language's own
// variables and functions it knows the built-in variables of the pane
// ("#hpos$", "#cellWidth$", "#appName$", ...), read from its browser's facts
// at the moment of evaluation, and five template functions whose names
// match exactly: local, string, soundex, dateformat and dateyear. A
// variable of the same name in the pane's variables hides a built-in one.
//
// Ownership: the browser (the facts) is a plain pointer, kept alive by the
// pane builder that binds it; a compiled template holds expressions without
// one, which then answer as outside any pane. Main thread.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Value.h"
#include "script/Expression.h"
#include "script/TemplateFacts.h"

namespace kl {

// An Object too, so that compiled template commands (value arrays) hold it.
class CustomExpression : public Expression, public Object {
public:
    static constexpr const char* appName = "Kinlore II";

    explicit CustomExpression(std::string text = {}, const TemplateFacts* browser = nullptr);

    std::unique_ptr<Expression> copy() const override;

    const TemplateFacts* browser() const { return browser_; }
    void setBrowser(const TemplateFacts* browser) { browser_ = browser; }

    // The text of a built-in variable; nullopt for any other name.
    std::optional<std::string> getCustomVariable(const std::string& name) override;
    // The template functions; any other name goes to the def functions.
    // Exactly one argument, else failure.
    std::optional<std::string> doCustomFunction(const std::string& name, const std::vector<std::string>& args,
                                                const std::vector<std::optional<double>>& numbers,
                                                const Variables& variables) override;

    // The built-in variable names, in the order of their indexes.
    static const std::vector<std::string>& customVariableNames();

protected:
    CustomExpression(const CustomExpression& other) = default;

private:
    const TemplateFacts& facts() const;

    const TemplateFacts* browser_ = nullptr;
};

}  // namespace kl
