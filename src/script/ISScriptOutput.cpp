#include "script/ISScriptOutput.h"

#include <algorithm>

#include "foundation/AsciiText.h"
#include "foundation/Numbers.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

// Rows are kept as code points, so that columns count characters and a cut
// never splits one.
std::u32string decode(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t count = 1;
        out.push_back(utf8::decodeAt(text, i, &count));
        i += count;
    }
    return out;
}

std::string encode(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) utf8::append(out, c);
    return out;
}

bool isWhite(char32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::string trimTrailingWhite(std::string text) {
    while (!text.empty() && isWhite(static_cast<unsigned char>(text.back()))) text.pop_back();
    return text;
}

std::string number(std::int64_t value) { return std::to_string(value); }

std::int64_t integerOf(const std::string& text) { return parseInteger(text).value_or(0); }

// An end column: an integer and nothing else, blanks around it allowed.
bool isColumnNumber(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    std::size_t i = first + (text[first] == '-' || text[first] == '+');
    const std::size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i > digits && text.find_first_not_of(" \t", i) == std::string::npos;
}

std::int64_t sign(std::int64_t value) { return value > 0 ? 1 : value < 0 ? -1 : 0; }

}  // namespace

ISScriptOutput::ISScriptOutput(std::string title, const std::string& style) : title_(std::move(title)) {
    const std::string word = asciiLower(style);
    style_ = word == "html" ? HTMLStyle : word == "monospace" ? MonospaceStyle : PlainStyle;
    text_.reserve(1000);
    if (style_ == MonospaceStyle) buffer_.reserve(100);
    startOutput();
}

void ISScriptOutput::startOutput() {
    if (style_ != HTMLStyle) return;
    text_.push_back("<div>\n");
    headloc_ = 1;
    cssitems_.push_back("<style>\n");
}

void ISScriptOutput::addText(const std::string& text) { text_.push_back(text); }

void ISScriptOutput::addCSS(const std::string& text) { cssitems_.push_back(text); }

void ISScriptOutput::addHead(const std::string& text) { headitems_.push_back(text); }

long ISScriptOutput::currentColumn() const {
    std::size_t characters = 0;
    for (auto item = text_.rbegin(); item != text_.rend(); ++item) {
        const std::size_t end = item->find_last_of("\n\r");
        if (end != std::string::npos)
            return static_cast<long>(characters + utf8::countCharacters(std::string_view(*item).substr(end + 1)));
        characters += utf8::countCharacters(*item);
    }
    return static_cast<long>(characters);
}

// ---- Monospace pages ----------------------------------------------------------------------

void ISScriptOutput::clearBuffer() {
    buffer_.clear();
    monoRowsPerPage_ = nextMonoRowsPerPage_;
    monoColsPerRow_ = nextMonoColsPerRow_;
    buffer_.resize(static_cast<std::size_t>(monoRowsPerPage_));
    if (monopage_ < 1) {
        headerLines_ = topMargin_;
        footerLines_ = bottomMargin_;
    } else {
        headerLines_ = topMargin_ + (monoHeader_.empty() ? 0 : textGap_ + 1);
        footerLines_ = bottomMargin_ + (monoFooter_.empty() ? 0 : textGap_ + 1);
        insertHeadFoot(monoHeader_, topMargin_, headerAlign_);
        insertHeadFoot(monoFooter_, monoRowsPerPage_ - bottomMargin_ - 1, footerAlign_);
    }
    monocol_ = 0;
    monorow_ = headerLines_ + 1;
}

void ISScriptOutput::insertHeadFoot(const std::string& text, std::int64_t line, std::int64_t align) {
    if (text.empty() || line < 0 || line >= static_cast<std::int64_t>(buffer_.size())) return;
    std::string filled;
    if (monopage_ >= 1) {
        filled = text;
        for (std::size_t at = filled.find("[#]"); at != std::string::npos; at = filled.find("[#]", at)) {
            const std::string page = number(monopage_);
            filled.replace(at, 3, page);
            at += page.size();
        }
    }
    std::u32string row = decode(filled);
    const auto width = static_cast<std::size_t>(monoColsPerRow_);
    if (row.size() > width) row.resize(width);
    std::size_t pad = 0;
    if (align == 1)
        pad = width - row.size();
    else if (align == 0)
        pad = (width - row.size()) / 2;
    buffer_[static_cast<std::size_t>(line)] += std::u32string(pad, U' ') + row;
}

void ISScriptOutput::outputBuffer() {
    for (const std::u32string& line : buffer_) text_.push_back(trimTrailingWhite(encode(line)) + "\n");
    ++monopage_;
}

void ISScriptOutput::startPageIfNeeded() {
    if (monorow_ == 1 && monocol_ == 0) clearBuffer();
}

std::u32string* ISScriptOutput::currentRow() {
    if (monorow_ < 1 || monorow_ > static_cast<std::int64_t>(buffer_.size())) return nullptr;
    return &buffer_[static_cast<std::size_t>(monorow_ - 1)];
}

void ISScriptOutput::writeIntoRow(std::u32string pieces, std::int64_t column) {
    std::u32string* row = currentRow();
    if (!row || pieces.empty()) return;
    std::replace(pieces.begin(), pieces.end(), U'\n', U' ');
    std::replace(pieces.begin(), pieces.end(), U'\r', U' ');
    const auto at = static_cast<std::size_t>(std::max<std::int64_t>(column, 0));
    if (row->size() < at) row->append(at - row->size(), U' ');
    if (at + pieces.size() <= row->size())
        row->replace(at, pieces.size(), pieces);
    else
        row->replace(at, std::u32string::npos, pieces);
}

void ISScriptOutput::addCols(const std::vector<std::string>& items) {
    if (style_ != MonospaceStyle || items.empty()) return;
    startPageIfNeeded();
    const std::int64_t width = monoColsPerRow_;
    std::int64_t start = monocol_;
    std::u32string pieces;
    // A field that must start on a new line first writes what this call
    // made for the current one, so that nothing moves to the next row.
    auto newLine = [&] {
        writeIntoRow(std::move(pieces), start);
        pieces.clear();
        addNewLine(1);
        startPageIfNeeded();
        start = 0;
    };
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::u32string text = decode(items[i]);
        std::int64_t end = 0;
        if (i + 1 < items.size() && isColumnNumber(items[i + 1])) {
            end = integerOf(items[++i]);
        } else if (i + 1 < items.size()) {
            // A text followed by another text takes just its own width.
            end = monocol_ + static_cast<std::int64_t>(text.size());
        } else if (items.size() == 1) {
            end = monocol_ + static_cast<std::int64_t>(text.size());
            if (end > width && monocol_ > 0) {
                newLine();
                end = static_cast<std::int64_t>(text.size());
            }
        } else {
            end = width;
        }
        const bool right = end < 0;
        end = std::min<std::int64_t>(right ? -std::max<std::int64_t>(end, -maxColsPerRow) : end, maxColsPerRow);
        std::int64_t field = end - monocol_;
        if (field < 0) {
            newLine();
            field = end;
        }
        const auto size = static_cast<std::size_t>(field);
        if (text.size() >= size) {
            text.resize(size);
        } else {
            const std::size_t blanks = size - text.size();
            const std::size_t before = right ? blanks : centering_ ? blanks / 2 : 0;
            text = std::u32string(before, U' ') + text + std::u32string(blanks - before, U' ');
        }
        pieces += text;
        monocol_ = end;
    }
    writeIntoRow(std::move(pieces), start);
}

void ISScriptOutput::addNewLine(long count) {
    if (style_ != MonospaceStyle) {
        for (long i = 0; i < std::min(count, maxMove); ++i) text_.push_back("\n");
        return;
    }
    startPageIfNeeded();
    monorow_ += std::clamp<long>(count, 0, maxRowsPerPage);
    if (monorow_ > monoRowsPerPage_ - footerLines_) {
        outputBuffer();
        monorow_ = 1;
    }
    monocol_ = 0;
}

void ISScriptOutput::moveToRow(long row, long col) {
    if (style_ == HTMLStyle) return;
    if (style_ == MonospaceStyle) {
        startPageIfNeeded();
        if (row > headerLines_ && row <= monoRowsPerPage_ - footerLines_) monorow_ = row;
        if (col >= 1 && col <= monoColsPerRow_) {
            if (std::u32string* current = currentRow())
                if (current->size() < static_cast<std::size_t>(col - 1)) current->resize(static_cast<std::size_t>(col - 1), U' ');
            monocol_ = col - 1;
        }
        return;
    }
    for (long i = 0; i < std::min(row, maxMove); ++i) text_.push_back("\n");
    const long wanted = std::clamp(col, 0L, maxMove) - 1;
    long column = currentColumn();
    if (column > wanted && column != 0) {
        text_.push_back("\n");
        column = 0;
    }
    if (wanted > column) text_.push_back(std::string(static_cast<std::size_t>(wanted - column), ' '));
}

// ---- Finishing ----------------------------------------------------------------------------

std::string ISScriptOutput::finishReport(const std::optional<std::string>& extra) {
    if (style_ == HTMLStyle) {
        const std::size_t at = std::min(headloc_, text_.size());
        std::size_t extraAt = at;
        if (cssitems_.size() > 1 || !headitems_.empty()) {
            std::string head = "<head>\n";
            if (cssitems_.size() > 1) {
                for (const std::string& item : cssitems_) head += item;
                head += "</style>\n";
            }
            for (const std::string& item : headitems_) head += item;
            head += "</head>\n";
            text_.insert(text_.begin() + static_cast<std::ptrdiff_t>(at), head);
            ++extraAt;
        }
        if (extra) text_.insert(text_.begin() + static_cast<std::ptrdiff_t>(extraAt), *extra);
        text_.push_back("\n</div>");
    } else if (style_ == MonospaceStyle && (monorow_ > 1 || monocol_ > 0)) {
        outputBuffer();
        monorow_ = 1;
        monocol_ = 0;
    }
    std::string joined;
    for (const std::string& item : text_) joined += item;
    return trimTrailingWhite(std::move(joined));
}

std::optional<std::string> ISScriptOutput::reportFont() const {
    if (style_ == HTMLStyle) return std::nullopt;
    return monofont_;
}

bool ISScriptOutput::klis_insertObject(const std::string& text, long index) {
    if (style_ == MonospaceStyle || index < 0 || static_cast<std::size_t>(index) > text_.size()) return false;
    text_.insert(text_.begin() + index, text);
    return true;
}

// ---- Attributes ---------------------------------------------------------------------------

std::optional<std::string> ISScriptOutput::klis_getAttribute(const std::string& name, ISInterpreter*) {
    if (name == "headerText") return monoHeader_;
    if (name == "footerText") return monoFooter_;
    if (name == "rowsPerPage") return number(nextMonoRowsPerPage_);
    if (name == "colsPerRow") return number(nextMonoColsPerRow_);
    if (name == "topMargin") return number(topMargin_);
    if (name == "textGap") return number(textGap_);
    if (name == "bottomMargin") return number(bottomMargin_);
    if (name == "monoSize") return formatFixed(monosize_, 6);
    if (name == "printSize") return formatFixed(printsize_, 6);
    if (name == "monoFont") return monofont_;
    if (name == "monoRow") return number(monorow_);
    if (name == "monoCol") return number(style_ == MonospaceStyle ? monocol_ : currentColumn() + 1);
    if (name == "monoPage") return number(monopage_);
    if (name == "headerAlign") return number(headerAlign_);
    if (name == "footerAlign") return number(footerAlign_);
    if (name == "centering") return number(centering_);
    if (name == "length") return number(static_cast<std::int64_t>(text_.size()));
    if (name == "class") return std::string("ScriptOutput");
    return std::nullopt;
}

bool ISScriptOutput::klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter*) {
    // Sizes and margins outside these bounds would leave no page to write
    // on, or one too large to hold.
    auto setBounded = [&](std::int64_t& field, std::int64_t low, std::int64_t high) {
        const std::int64_t given = integerOf(value);
        if (given < low || given > high) return false;
        field = given;
        return true;
    };
    if (name == "headerText") monoHeader_ = value;
    else if (name == "footerText") monoFooter_ = value;
    else if (name == "rowsPerPage") return setBounded(nextMonoRowsPerPage_, 1, maxRowsPerPage);
    else if (name == "colsPerRow") return setBounded(nextMonoColsPerRow_, 1, maxColsPerRow);
    else if (name == "topMargin") return setBounded(topMargin_, 0, maxRowsPerPage);
    else if (name == "textGap") return setBounded(textGap_, 0, maxRowsPerPage);
    else if (name == "bottomMargin") return setBounded(bottomMargin_, 0, maxRowsPerPage);
    else if (name == "monoSize") monosize_ = parseDouble(value).value_or(0);
    else if (name == "printSize") printsize_ = parseDouble(value).value_or(0);
    else if (name == "monoFont") monofont_ = value;
    else if (name == "monoPage") monopage_ = integerOf(value);
    else if (name == "headerAlign") headerAlign_ = sign(integerOf(value));
    else if (name == "footerAlign") footerAlign_ = sign(integerOf(value));
    else if (name == "centering") centering_ = integerOf(value) != 0 ? 1 : 0;
    else return false;
    return true;
}

std::shared_ptr<Object> ISScriptOutput::klis_getObjectAttribute(const std::string&, ISInterpreter*) { return nullptr; }

}  // namespace kl
