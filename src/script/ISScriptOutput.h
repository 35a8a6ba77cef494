#pragma once
// ISScriptOutput: the report an internal script builds before it is written
// into a report record or a script variable. Three styles: HTML (style-sheet
// and head items, the body wrapped in a div element), monospace (text laid
// out on fixed pages of rows and columns, with headers, footers and page
// numbers) and plain text. The text is kept as items and joined once, when
// the report is finished.
//
// Ownership: a script object, shared by the script's named objects.
// Thread: used only by the script thread that made it; not locked.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/ISScripting.h"

namespace kl {

class ISScriptOutput : public ISScripting {
public:
    enum Style : int { HTMLStyle = 0, MonospaceStyle = 1, PlainStyle = 2 };

    // Page sizes and margins a script may set. Beyond them a page would
    // take more memory than any printed report needs.
    static constexpr std::int64_t maxRowsPerPage = 10000;
    static constexpr std::int64_t maxColsPerRow = 2000;
    // Most line ends or blanks one move or new-line command adds to an HTML
    // or plain report.
    static constexpr long maxMove = 100000;

    // "html" (any case) is HTML, "monospace" (any case) monospace, anything
    // else plain text.
    ISScriptOutput(std::string title, const std::string& style);

    void startOutput();
    // HTML and plain text.
    void addText(const std::string& text);
    void addCSS(const std::string& text);
    void addHead(const std::string& text);
    // Monospace: texts each followed by the column their field ends at (a
    // negative column right-aligns the text). A text followed by another
    // text takes its own width; a last text without a column runs to the
    // row's end, or, alone, flows from the current column.
    void addCols(const std::vector<std::string>& items);
    void addNewLine(long count);
    // Row and column counted from 1.
    void moveToRow(long row, long col);
    // Characters after the last line end of the text so far.
    long currentColumn() const;

    // Monospace page handling.
    void clearBuffer();
    void outputBuffer();
    void insertHeadFoot(const std::string& text, std::int64_t line, std::int64_t align);

    // Closes the report and answers its text: the head of an HTML report
    // (with `extra` after it) and the closing div, or the last page of a
    // monospace report; trailing white space removed.
    std::string finishReport(const std::optional<std::string>& extra);
    // The font a monospace or plain report is shown in; none for HTML.
    std::optional<std::string> reportFont() const;

    bool klis_insertObject(const std::string& text, long index);

    std::optional<std::string> klis_getAttribute(const std::string& name, ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;

    const std::string& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }
    int style() const { return style_; }
    const std::string& monofont() const { return monofont_; }
    void setMonofont(std::string font) { monofont_ = std::move(font); }
    double monosize() const { return monosize_; }
    double printsize() const { return printsize_; }
    const std::string& monoHeader() const { return monoHeader_; }
    void setMonoHeader(std::string text) { monoHeader_ = std::move(text); }
    const std::string& monoFooter() const { return monoFooter_; }
    void setMonoFooter(std::string text) { monoFooter_ = std::move(text); }
    // The text items so far, in order.
    const std::vector<std::string>& text() const { return text_; }

private:
    // Starts a page when nothing has been written at the top of one.
    void startPageIfNeeded();
    // Writes the joined pieces into the current row at the column.
    void writeIntoRow(std::u32string pieces, std::int64_t column);
    std::u32string* currentRow();

    std::string title_;
    int style_ = PlainStyle;
    std::vector<std::string> text_;
    std::vector<std::u32string> buffer_;
    std::string monofont_ = "Courier";
    double monosize_ = 12;
    double printsize_ = 9;
    std::int64_t monopage_ = 1;
    std::int64_t monorow_ = 1;
    std::int64_t monocol_ = 0;
    std::int64_t monoRowsPerPage_ = 60;
    std::int64_t monoColsPerRow_ = 88;
    std::int64_t topMargin_ = 0;
    std::int64_t textGap_ = 1;
    std::int64_t bottomMargin_ = 0;
    std::string monoHeader_;
    std::string monoFooter_;
    std::int64_t headerAlign_ = 0;
    std::int64_t footerAlign_ = 0;
    std::int64_t centering_ = 0;
    std::int64_t nextMonoRowsPerPage_ = 60;
    std::int64_t nextMonoColsPerRow_ = 88;
    std::int64_t headerLines_ = 0;
    std::int64_t footerLines_ = 0;
    std::size_t headloc_ = 0;
    std::vector<std::string> cssitems_;
    std::vector<std::string> headitems_;
};

}  // namespace kl
