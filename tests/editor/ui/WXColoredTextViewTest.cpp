// The coloured text view: the shipped internal-script module shown in its
// colours, colours following typing, deleting and undo, Return keeping the
// indentation, Tab's replacement and re-indenting.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QTest>

#include "../EditorTestSupport.h"
#include "editor/TextEditing.h"
#include "editor/ui/WXColoredTextView.h"

namespace kl {
namespace {

QColor colorOf(const std::string& kind, const std::string& component) {
    for (const ColorComponent& c : SyntaxColorizer::componentsForKind(kind, false))
        if (c.name == component) return QColor::fromRgbF(float(c.color.red), float(c.color.green), float(c.color.blue));
    return {};
}

class ColoredView : public ::testing::Test {
protected:
    void show(const std::string& kind, const QString& text) {
        view_.setColorComponents(SyntaxColorizer::componentsForKind(kind, false));
        view_.setString(text);
        view_.resize(640, 420);
        view_.show();
        view_.setFocus();
    }
    int find(const QString& piece, int from = 0) const {
        const int at = view_.toPlainText().indexOf(piece, from);
        EXPECT_GE(at, 0) << piece.toStdString();
        return at;
    }
    void caretTo(int position) {
        QTextCursor cursor = view_.textCursor();
        cursor.setPosition(position);
        view_.setTextCursor(cursor);
    }
    // Mode and painted colour agree at a position.
    void expectMode(int position, const char* mode, const std::string& kind = "txt") {
        EXPECT_EQ(view_.modeAt(position).toStdString(), mode) << "at " << position;
        if (std::string(mode) == "Text")
            EXPECT_FALSE(view_.foregroundAt(position).isValid()) << "at " << position;
        else
            EXPECT_EQ(view_.foregroundAt(position), colorOf(kind, mode)) << "at " << position;
    }

    WXColoredTextView view_;
};

TEST_F(ColoredView, ShowsTheShippedModuleInItsColours) {
    const std::string module =
        test::readFile(test::shippedResources() / "KinloreIIAppSupport/Modules/Kinlore Helpers.klscpt");
    ASSERT_FALSE(module.empty());
    show("klscpt", QString::fromStdString(module));
    expectMode(find("! Kinlore Helpers"), "Comments", "klscpt");
    expectMode(find("sub AgeInYears"), "Commands", "klscpt");
    expectMode(find("endsub"), "Commands", "klscpt");
    expectMode(find("#fromYear"), "Expressions", "klscpt");
    expectMode(find("local #parts"), "Commands", "klscpt");
    expectMode(find("\", \""), "Strings", "klscpt");
    expectMode(find("AgeInYears"), "Text", "klscpt");
    // A keyword inside a comment is the comment's.
    expectMode(find("load \"Kinlore Helpers\""), "Comments", "klscpt");

    const QFontInfo font(view_.font());
    EXPECT_TRUE(font.fixedPitch());
    EXPECT_EQ(font.pointSize(), 12);

    const QString path = QStringLiteral(KL_BINARY_DIR "/colored-script.png");
    EXPECT_TRUE(view_.grab().save(path));
}

TEST_F(ColoredView, TypingColoursTheTouchedLines) {
    show("txt", QStringLiteral("title \"x\"\n\nend"));
    caretTo(find("\n\n") + 1);
    QTest::keyClicks(&view_, "if #a != 1 ! note");
    const int line = find("if #a");
    expectMode(line, "Commands");
    expectMode(find("#a"), "Expressions");
    expectMode(find("!="), "Text");
    expectMode(find("! note"), "Comments");
    // The recoloured range is the typed line, from the line end before it.
    const auto [location, length] = view_.lastRecoloredRange();
    EXPECT_EQ(view_.toPlainText().mid(location, length), QStringLiteral("\nif #a != 1 ! note"));

    // Deleting the "!" that begins the comment turns the rest to plain text.
    caretTo(find("! note") + 1);
    QTest::keyClick(&view_, Qt::Key_Backspace);
    expectMode(find(" note"), "Text");
    // Undo brings the comment back.
    QTest::keyClick(&view_, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(view_.toPlainText().contains("! note"));
    expectMode(find("! note") + 2, "Comments");
}

TEST_F(ColoredView, TypingInsideAQuoteRecoloursTheWholeQuote) {
    show("txt", QStringLiteral("title \"one\n  x\ntwo\"\nset y"));
    caretTo(find("two"));
    QTest::keyClicks(&view_, "a");
    const auto [location, length] = view_.lastRecoloredRange();
    EXPECT_EQ(view_.toPlainText().mid(location, length), QStringLiteral("\"one\n  x\natwo\""));
    expectMode(find("atwo"), "Strings");
    expectMode(find("set y"), "UserCommands");
}

TEST_F(ColoredView, ReturnKeepsTheLinesIndentation) {
    struct Case {
        QString text;
        int caret;
        QString after;
    } cases[] = {{QStringLiteral("\t\t x"), 4, QStringLiteral("\t\t x\n\t\t ")},
                 {QStringLiteral("\t\t x"), 1, QStringLiteral("\t\n\t\t x")},
                 {QStringLiteral("x"), 0, QStringLiteral("\nx")}};
    for (const Case& c : cases) {
        show("txt", c.text);
        caretTo(c.caret);
        QTest::keyClick(&view_, Qt::Key_Return);
        EXPECT_EQ(view_.toPlainText(), c.after) << c.text.toStdString();
    }
    view_.setTrackIndents(false);
    show("txt", QStringLiteral("  x"));
    caretTo(3);
    QTest::keyClick(&view_, Qt::Key_Return);
    EXPECT_EQ(view_.toPlainText(), QStringLiteral("  x\n"));
}

TEST_F(ColoredView, TabIsReplacedOnlyWhenAReplacementIsSet) {
    show("txt", QString());
    QTest::keyClick(&view_, Qt::Key_Tab);
    EXPECT_EQ(view_.toPlainText(), QStringLiteral("\t"));
    view_.setTabReplacement(QStringLiteral("  "));
    show("txt", QString());
    QTest::keyClick(&view_, Qt::Key_Tab);
    EXPECT_EQ(view_.toPlainText(), QStringLiteral("  "));
}

TEST_F(ColoredView, ReindentingRecoloursTheNewText) {
    show("txt", QStringLiteral("if #a\ncell GroupBox\ntext x\nendgroup\nendif"));
    view_.indentCommands(QStringLiteral("  "), templateIndentKeywords(false));
    EXPECT_EQ(view_.toPlainText(), QStringLiteral("if #a\n  cell GroupBox\n    text x\n  endgroup\nendif"));
    expectMode(find("text x"), "UserCommands");
    expectMode(find("#a"), "Expressions");
}

TEST_F(ColoredView, TextOutsideTheBasicPlaneKeepsItsColoursInPlace) {
    show("txt", QString::fromUtf8("set \"\xF0\x9F\x98\x80\" #b"));
    expectMode(find("#b"), "Expressions");
    expectMode(find("\""), "Strings");
    expectMode(find("\" #") + 1, "Text");
}

}  // namespace
}  // namespace kl
