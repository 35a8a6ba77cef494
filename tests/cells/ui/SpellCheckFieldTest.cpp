// The spelling settings of every record text view follow one toggle, and the
// views take pasted text as plain text only.
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "cells/ui/KLSpellCheckField.h"
#include "foundation/UserDefaults.h"

namespace kl {
namespace {

class SpellCheckFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        UserDefaults::configureStandard(UserDefaults::defaultDomain, folder_.path().toStdString());
        UserDefaults::standard().setObject(Value(true), kCheckSpellingAsYouType);
        UserDefaults::standard().setObject(Value(false), kAutomaticSpellCorrection);
    }
    void TearDown() override { UserDefaults::configureStandard(UserDefaults::defaultDomain); }

    QTemporaryDir folder_;
};

TEST_F(SpellCheckFieldTest, ToggleInOneViewReachesEveryView) {
    KLSpellCheckField first, second;
    ASSERT_TRUE(first.isContinuousSpellCheckingEnabled());

    second.toggleContinuousSpellChecking();
    EXPECT_FALSE(UserDefaults::standard().boolForKey(kCheckSpellingAsYouType));
    EXPECT_FALSE(first.isContinuousSpellCheckingEnabled());
    EXPECT_FALSE(second.isContinuousSpellCheckingEnabled());

    first.toggleAutomaticSpellingCorrection();
    EXPECT_TRUE(UserDefaults::standard().boolForKey(kAutomaticSpellCorrection));
    EXPECT_TRUE(second.isAutomaticSpellingCorrectionEnabled());
}

TEST_F(SpellCheckFieldTest, MenuTogglesShowAndChangeTheSetting) {
    KLSpellCheckField view;
    QMenu menu;
    view.addSpellingActions(&menu);
    ASSERT_EQ(menu.actions().size(), 2);
    EXPECT_TRUE(menu.actions()[0]->isChecked());
    menu.actions()[0]->trigger();
    EXPECT_FALSE(view.isContinuousSpellCheckingEnabled());
}

TEST_F(SpellCheckFieldTest, PastesPlainTextOnly) {
    KLSpellCheckField view;
    auto* rich = new QMimeData;
    rich->setHtml("<b>Bold</b> text");
    rich->setText("Bold text");
    QGuiApplication::clipboard()->setMimeData(rich);
    view.insertPlainText("x ");
    view.paste();
    EXPECT_EQ(view.toPlainText(), "x Bold text");
    EXPECT_FALSE(view.document()->toHtml().contains("font-weight:700"));
}

}  // namespace
}  // namespace kl
