#pragma once
// SyntaxColorizer: colours a text by a list of colouring components, each
// finding its matches (quoted strings, keywords, line-start commands,
// expressions, one-line comments) and claiming them for its mode; later
// components win over earlier ones. Text in, spans with mode names out, so
// the rules are tested without a window and the text view only paints.
//
// Offsets are byte offsets into the UTF-8 text; every text a component
// searches for is ASCII, so spans never cut a character. Immutable once
// made; any thread.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/Color.h"

namespace kl {

struct ColorComponent {
    enum class Type { String, Keyword, Command, Expression, OneLineComment, Other };

    Type type = Type::Other;
    // The mode written on what it colours; "Strings" marks quoted text
    // that keywords, expressions and comments leave alone.
    std::string name;
    Color color;
    std::string start;       // String, Expression, OneLineComment
    std::string end;         // String
    std::string escapeChar;  // String: escapes a closing text; OneLineComment: right after the start's first character, no comment
    std::vector<std::string> keywords;  // Keyword, Command
    std::string charSet;                // Expression
};

using ColorComponents = std::vector<ColorComponent>;

// A run of text in one mode: component is an index into the components,
// or textMode for plain text.
struct ColorSpan {
    std::size_t location = 0;
    std::size_t length = 0;
    int component = -1;
    bool operator==(const ColorSpan&) const = default;
};

class SyntaxColorizer {
public:
    static constexpr int textMode = -1;

    explicit SyntaxColorizer(ColorComponents components);

    // The runs of the whole text, plain ones included, in order.
    std::vector<ColorSpan> colorize(std::string_view text) const;
    // The mode of each byte.
    std::vector<std::int8_t> modes(std::string_view text) const;
    // "Text" for textMode, else the component's name.
    const std::string& modeName(int component) const;
    const ColorComponents& components() const { return components_; }

    // ---- component sets ---------------------------------------------------
    // The four components of internal templates and scripts: Strings,
    // Commands, Expressions, Comments, in these colours.
    static ColorComponents defaultStrings(Color strings, Color commands, Color expressions, Color comments);
    static ColorComponents defaultComponents();
    // Inserts just before the last component.
    static void insertComponent(ColorComponents& components, ColorComponent component);
    // The set for a kind of text ("py", "applescript", "txt", "klscpt");
    // none for any other kind.
    static ColorComponents componentsForKind(const std::string& kind, bool dark);

private:
    void colorStrings(std::string_view text, const ColorComponent& c, int index, std::vector<std::int8_t>& modes) const;
    void colorKeywords(std::string_view text, const ColorComponent& c, int index, std::vector<std::int8_t>& modes) const;
    void colorCommands(std::string_view text, const ColorComponent& c, int index, std::vector<std::int8_t>& modes) const;
    void colorExpressions(std::string_view text, const ColorComponent& c, int index,
                          std::vector<std::int8_t>& modes) const;
    void colorOneLineComment(std::string_view text, const ColorComponent& c, int index,
                             std::vector<std::int8_t>& modes) const;
    bool inStrings(const std::vector<std::int8_t>& modes, std::size_t at) const {
        return stringsIndex_ >= 0 && modes[at] == stringsIndex_;
    }

    ColorComponents components_;
    int stringsIndex_ = -1;
};

}  // namespace kl
