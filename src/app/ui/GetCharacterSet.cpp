#include "app/ui/GetCharacterSet.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/CharacterSetRows.h"
#include "document/CharacterSetQuestion.h"

namespace kl {

namespace {

std::uint32_t& encodingSlot() {
    static std::uint32_t encoding = 0;
    return encoding;
}

std::optional<std::string>& charSetSlot() {
    static std::optional<std::string> name;
    return name;
}

}  // namespace

GetCharacterSet::GetCharacterSet(const std::optional<std::string>& guess, QWidget* parent, std::uint32_t suggested)
    : QDialog(parent), characterSets_(new QButtonGroup(this)), fileCharSet_(new QLabel(this)) {
    setObjectName(QStringLiteral("CharacterSetDialog"));
    setWindowTitle(tr("Character Set"));
    setUserCharSet(guess);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileCharSet_);
    layout->addWidget(new QLabel(tr("Please select the character set used to write the file:"), this));
    int row = 0;
    for (const auto& choice : CharacterSetRows::rows()) {
        auto* button = new QRadioButton(QString::fromStdString(choice.title), this);
        characterSets_->addButton(button, row++);
        layout->addWidget(button);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &GetCharacterSet::okClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &GetCharacterSet::cancelClick);
    layout->addWidget(buttons);
    // The set the file's bytes suggest, and the file's claim.
    characterSets_->button(CharacterSetRows::rowForEncoding(suggested))->setChecked(true);
    fileCharSet_->setText(QString::fromStdString(CharacterSetQuestion::promptFor(guess)));
}

std::uint32_t GetCharacterSet::getCharacterSet() {
    encodingSlot() = 0;
    setWindowModality(Qt::ApplicationModal);
    exec();
    return encodingSlot();
}

void GetCharacterSet::okClick() {
    if (const auto choice = CharacterSetRows::choiceForRow(characterSets_->checkedId())) {
        encodingSlot() = choice->encoding;
        setUserCharSet(choice->name);
    } else {
        encodingSlot() = 0;
    }
    done(QDialog::Accepted);
}

void GetCharacterSet::cancelClick() {
    encodingSlot() = 0;
    done(QDialog::Rejected);
}

std::uint32_t GetCharacterSet::userEncoding() { return encodingSlot(); }

std::optional<std::string> GetCharacterSet::userCharSet() { return charSetSlot(); }

void GetCharacterSet::setUserCharSet(std::optional<std::string> name) { charSetSlot() = std::move(name); }

}  // namespace kl
