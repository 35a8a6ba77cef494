#include "editor/ui/WXColoredTextView.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextLayout>

#include "editor/TextEditing.h"

namespace kl {

namespace {

// Holds the busy flag for a recolouring, also when it is left by an
// exception.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
    ~BusyScope() { busy_ = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& busy_;
};

// The number of UTF-16 units of the character a UTF-8 lead byte begins; 0
// for a continuation byte.
int unitsOfLead(unsigned char byte) {
    if ((byte & 0xC0) == 0x80) return 0;
    return byte >= 0xF0 ? 2 : 1;
}

// The document's text as recolorRangeAfterEdit() reads it, one character
// at a time, without copying it: block ends read as line feeds.
class DocumentText {
public:
    explicit DocumentText(const QTextDocument& document)
        : document_(document), size_(static_cast<std::size_t>(document.characterCount() - 1)) {}
    std::size_t size() const { return size_; }
    char16_t operator[](std::size_t i) const {
        const QChar c = document_.characterAt(static_cast<int>(i));
        return c == QChar::ParagraphSeparator ? u'\n' : c.unicode();
    }

private:
    const QTextDocument& document_;
    std::size_t size_;
};

// The text of a range with block ends as line feeds.
QString rangeText(QTextDocument* document, int location, int length) {
    QTextCursor cursor(document);
    cursor.setPosition(location);
    cursor.setPosition(location + length, QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

QColor toQColor(const Color& c) { return QColor::fromRgbF(float(c.red), float(c.green), float(c.blue), float(c.alpha)); }

}  // namespace

WXColoredTextView::WXColoredTextView(QWidget* parent) : QPlainTextEdit(parent) {
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(12);
    setDefaultFont(fixed);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(document(), &QTextDocument::contentsChange, this, &WXColoredTextView::processEditing);
}

void WXColoredTextView::setDefaultFont(const QFont& font) {
    setFont(font);
    document()->setDefaultFont(font);
}

void WXColoredTextView::setColorComponents(ColorComponents components) {
    colorizer_ = SyntaxColorizer(std::move(components));
}

void WXColoredTextView::setString(const QString& text) {
    {
        BusyScope busy(syntaxColoringBusy_);
        setPlainText(text);
    }
    modes_.assign(static_cast<std::size_t>(document()->characterCount() - 1), std::int8_t(SyntaxColorizer::textMode));
    recolorRange(0, static_cast<int>(modes_.size()));
}

void WXColoredTextView::recolorRange(int location, int length) {
    if (length <= 0 || syntaxColoringBusy_) return;
    BusyScope busy(syntaxColoringBusy_);
    const int size = static_cast<int>(modes_.size());
    location = std::clamp(location, 0, size);
    length = std::min(length, size - location);
    if (length <= 0) return;
    // The copy of the range is coloured alone, so no match reaches outside it.
    const QByteArray bytes = rangeText(document(), location, length).toUtf8();
    const std::vector<std::int8_t> byteModes = colorizer_.modes(std::string_view(bytes.constData(), bytes.size()));
    std::size_t unit = static_cast<std::size_t>(location);
    for (std::size_t i = 0; i < byteModes.size() && unit < modes_.size(); ++i) {
        const int units = unitsOfLead(static_cast<unsigned char>(bytes[static_cast<qsizetype>(i)]));
        for (int k = 0; k < units && unit < modes_.size(); ++k) modes_[unit++] = byteModes[i];
    }
    paintBlocks(location, location + length);
    lastRecolored_ = {location, length};
}

void WXColoredTextView::paintBlocks(int from, int to) {
    QTextBlock block = document()->findBlock(from);
    const int first = block.position();
    int last = first;
    for (; block.isValid() && block.position() <= to; block = block.next()) {
        QList<QTextLayout::FormatRange> ranges;
        const int start = block.position();
        const int length = block.length() - 1;
        for (int i = 0; i < length;) {
            const std::int8_t mode = modes_[static_cast<std::size_t>(start + i)];
            int j = i + 1;
            while (j < length && modes_[static_cast<std::size_t>(start + j)] == mode) ++j;
            if (mode != SyntaxColorizer::textMode) {
                QTextLayout::FormatRange range;
                range.start = i;
                range.length = j - i;
                range.format.setForeground(toQColor(colorizer_.components()[static_cast<std::size_t>(mode)].color));
                ranges.append(range);
            }
            i = j;
        }
        block.layout()->setFormats(ranges);
        last = start + block.length();
    }
    document()->markContentsDirty(first, last - first);
}

std::optional<TextRange> WXColoredTextView::runAt(std::size_t position) const {
    if (position >= modes_.size() || modes_[position] == SyntaxColorizer::textMode) return std::nullopt;
    const std::int8_t mode = modes_[position];
    std::size_t start = position;
    while (start > 0 && modes_[start - 1] == mode) --start;
    std::size_t end = position + 1;
    while (end < modes_.size() && modes_[end] == mode) ++end;
    return TextRange{start, end - start};
}

void WXColoredTextView::processEditing(int position, int charsRemoved, int charsAdded) {
    if (syntaxColoringBusy_) return;
    const std::size_t at = std::min(static_cast<std::size_t>(std::max(position, 0)), modes_.size());
    const std::size_t removed = std::min(static_cast<std::size_t>(std::max(charsRemoved, 0)), modes_.size() - at);
    modes_.erase(modes_.begin() + static_cast<std::ptrdiff_t>(at), modes_.begin() + static_cast<std::ptrdiff_t>(at + removed));
    // Typed text takes the mode of the character before it, as typed text
    // takes the attributes before it.
    const std::int8_t inherited = at > 0 ? modes_[at - 1] : std::int8_t(SyntaxColorizer::textMode);
    modes_.insert(modes_.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::size_t>(std::max(charsAdded, 0)),
                  inherited);
    modes_.resize(static_cast<std::size_t>(document()->characterCount() - 1), std::int8_t(SyntaxColorizer::textMode));

    const QTextCursor cursor = textCursor();
    TextEdit edit;
    edit.edited = {at, static_cast<std::size_t>(std::max(charsAdded, 0))};
    edit.changeInLength = charsAdded - charsRemoved;
    edit.undoOrRedo = undoOrRedo_;
    edit.selection = {static_cast<std::size_t>(cursor.selectionStart()),
                      static_cast<std::size_t>(cursor.selectionEnd() - cursor.selectionStart())};
    const TextRange range = recolorRangeAfterEdit(DocumentText(*document()), edit, [this](std::size_t p) { return runAt(p); });
    recolorRange(static_cast<int>(range.location), static_cast<int>(range.length));
}

bool WXColoredTextView::handleNewLine(TextCommand command) {
    if (!trackIndents_) return false;
    QTextCursor cursor = textCursor();
    if (command == TextCommand::InsertTab) {
        if (!tabReplacement_) return false;
        cursor.insertText(*tabReplacement_);
        setTextCursor(cursor);
        return true;
    }
    if (command != TextCommand::InsertNewline) return false;
    const int caret = cursor.selectionStart();
    const QTextBlock block = document()->findBlock(caret);
    const QByteArray line = block.text().left(caret - block.position()).toUtf8();
    const std::string inserted =
        newlineIndentation(std::string_view(line.constData(), line.size()), static_cast<std::size_t>(line.size()));
    cursor.insertText(QString::fromStdString(inserted));
    setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

void WXColoredTextView::indentCommands(const QString& indent, const std::map<std::string, int>& keywords) {
    const QByteArray text = toPlainText().toUtf8();
    const QByteArray step = indent.toUtf8();
    const std::string indented = kl::indentCommands(std::string_view(text.constData(), text.size()),
                                                    std::string_view(step.constData(), step.size()), keywords);
    setString(QString::fromStdString(indented));
}

QString WXColoredTextView::modeAt(int position) const {
    if (position < 0 || static_cast<std::size_t>(position) >= modes_.size()) return QStringLiteral("Text");
    return QString::fromStdString(colorizer_.modeName(modes_[static_cast<std::size_t>(position)]));
}

QColor WXColoredTextView::foregroundAt(int position) const {
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid()) return {};
    const int inBlock = position - block.position();
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (inBlock >= range.start && inBlock < range.start + range.length) return range.format.foreground().color();
    return {};
}

void WXColoredTextView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        undoOrRedo_ = true;
        if (event->matches(QKeySequence::Undo))
            undo();
        else
            redo();
        undoOrRedo_ = false;
        event->accept();
        return;
    }
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        handleNewLine(TextCommand::InsertNewline)) {
        event->accept();
        return;
    }
    if (plain && event->key() == Qt::Key_Tab && handleNewLine(TextCommand::InsertTab)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

}  // namespace kl
