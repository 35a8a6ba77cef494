#pragma once
// WXColoredTextView: the text view of every text Kinlore Editor edits. It
// colours the text by the colouring components the document installs for
// the kind of text (SyntaxColorizer), recolouring only the lines an edit
// touches; keeps the indentation of the current line on Return; can put a
// fixed text in place of Tab; and re-indents a template by its block
// commands.
//
// The mode of every character (the component that coloured it last, or
// "Text") is kept beside the document, and colours are painted as layout
// formats, so colouring never enters the undo history. Main thread only.
#include <QPlainTextEdit>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "editor/SyntaxColorizer.h"
#include "editor/Template.h"

namespace kl {

class WXColoredTextView : public QPlainTextEdit {
    Q_OBJECT

public:
    // The commands handleNewLine() is consulted for.
    enum class TextCommand { InsertTab, InsertNewline, Other };

    explicit WXColoredTextView(QWidget* parent = nullptr);

    // Does not recolour by itself: the owner sets the text afterwards.
    void setColorComponents(ColorComponents components);
    const ColorComponents& colorComponents() const { return colorizer_.components(); }
    // Sets the whole text and colours all of it.
    void setString(const QString& text);
    // Colours a range of the text (UTF-16 positions) again.
    void recolorRange(int location, int length);

    void setTrackIndents(bool track) { trackIndents_ = track; }
    bool trackIndents() const { return trackIndents_; }
    void setTabReplacement(std::optional<QString> replacement) { tabReplacement_ = std::move(replacement); }
    const std::optional<QString>& tabReplacement() const { return tabReplacement_; }
    void setDefaultFont(const QFont& font);
    QFont defaultFont() const { return font(); }

    // True when the view handled the command itself.
    bool handleNewLine(TextCommand command);
    // Re-indents the whole text; the caller registers the undo.
    void indentCommands(const QString& indent, const std::map<std::string, int>& keywords);

    // The mode name of the character at a position ("Text" for plain).
    QString modeAt(int position) const;
    // The colour painted on the character at a position; invalid when it
    // has the view's own text colour.
    QColor foregroundAt(int position) const;
    // The range the last edit recoloured, for the owner's and tests' eyes.
    std::pair<int, int> lastRecoloredRange() const { return lastRecolored_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void processEditing(int position, int charsRemoved, int charsAdded);
    void paintBlocks(int from, int to);
    std::optional<TextRange> runAt(std::size_t position) const;

    SyntaxColorizer colorizer_{{}};
    std::vector<std::int8_t> modes_;  // one per UTF-16 unit of the text
    std::optional<QString> tabReplacement_;
    std::pair<int, int> lastRecolored_{0, 0};
    bool syntaxColoringBusy_ = false;
    bool trackIndents_ = true;
    bool undoOrRedo_ = false;
};

}  // namespace kl
