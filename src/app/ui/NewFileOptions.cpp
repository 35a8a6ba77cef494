#include "app/ui/NewFileOptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kl {

namespace {

QButtonGroup* sexGroup(QWidget* parent, QHBoxLayout* row) {
    auto* group = new QButtonGroup(parent);
    const std::pair<const char*, int> choices[] = {{"Male", NewFileSettings::Male}, {"Female", NewFileSettings::Female}};
    for (const auto& [title, tag] : choices) {
        auto* button = new QRadioButton(QObject::tr(title), parent);
        group->addButton(button, tag);
        row->addWidget(button);
    }
    row->addStretch(1);
    return group;
}

std::string text(const QLineEdit* field) { return field->text().toStdString(); }

}  // namespace

NewFileOptions::NewFileOptions(GEDCOMDocument* document, int newFamily, QWidget* parent)
    : KLSheet("NewFileOptions", parent),
      document_(document),
      newFamily_(newFamily),
      newTitle_(new QLabel(tr("Enter the first two people of the new file"), this)),
      famTitle_(new QLabel(tr("Enter the two spouses of the new family"), this)),
      fam2Title_(new QLabel(tr("Enter the two partners of a new family"), this)),
      person1_(new QLineEdit(this)),
      born1_(new QLineEdit(this)),
      died1_(new QLineEdit(this)),
      person2_(new QLineEdit(this)),
      born2_(new QLineEdit(this)),
      died2_(new QLineEdit(this)),
      sex1_(nullptr),
      sex2_(nullptr),
      linkAsFamily_(new QCheckBox(tr("Link as a family"), this)),
      okButton_(new QPushButton(tr("OK"), this)),
      emptyFile_(new QPushButton(tr("Empty File"), this)),
      cancelFamily_(new QPushButton(tr("Cancel"), this)),
      dateMessage_(new QLabel(this)) {
    auto* grid = new QGridLayout;
    QLineEdit* const fields[2][3] = {{person1_, born1_, died1_}, {person2_, born2_, died2_}};
    QButtonGroup** groups[2] = {&sex1_, &sex2_};
    for (int person = 0; person < 2; ++person) {
        const int top = person * 5;
        grid->addWidget(new QLabel(tr("Person %1").arg(person + 1), this), top, 0, 1, 2);
        const char* labels[] = {"Name:", "Born:", "Died:"};
        for (int i = 0; i < 3; ++i) {
            grid->addWidget(new QLabel(tr(labels[i]), this), top + 1 + i, 0);
            grid->addWidget(fields[person][i], top + 1 + i, 1);
        }
        auto* sexRow = new QHBoxLayout;
        *groups[person] = sexGroup(this, sexRow);
        grid->addWidget(new QLabel(tr("Sex:"), this), top + 4, 0);
        grid->addLayout(sexRow, top + 4, 1);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(emptyFile_);
    buttons->addWidget(cancelFamily_);
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    auto* layout = new QVBoxLayout(this);
    for (QLabel* title : {newTitle_, famTitle_, fam2Title_}) layout->addWidget(title);
    layout->addLayout(grid);
    layout->addWidget(dateMessage_);
    layout->addWidget(linkAsFamily_);
    layout->addLayout(buttons);
    dateMessage_->setWordWrap(true);
    dateMessage_->hide();
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &KLSheet::okClick);
    connect(emptyFile_, &QPushButton::clicked, this, &KLSheet::alternateClick);
    connect(cancelFamily_, &QPushButton::clicked, this, &KLSheet::cancelClick);
    windowDidLoad();
}

void NewFileOptions::windowDidLoad() {
    sex1_->button(NewFileSettings::Male)->setChecked(true);
    sex2_->button(NewFileSettings::Female)->setChecked(true);
    linkAsFamily_->setChecked(true);
    famTitle_->hide();
    fam2Title_->hide();
    cancelFamily_->hide();
    if (NewFileSettings::isFamilyMode(newFamily_)) newFamilyMode();
}

void NewFileOptions::newFamilyMode() {
    newTitle_->hide();
    const bool fromChart = NewFileSettings::familyTitleMode(newFamily_) == NewFileSettings::TreeChartFamily;
    famTitle_->setVisible(fromChart);
    fam2Title_->setVisible(!fromChart);
    linkAsFamily_->hide();
    emptyFile_->hide();
    cancelFamily_->show();
}

NewFileSettings NewFileOptions::settings() const {
    NewFileSettings answer;
    answer.person1 = {text(person1_), sex1_->checkedId(), text(born1_), text(died1_)};
    answer.person2 = {text(person2_), sex2_->checkedId(), text(born2_), text(died2_)};
    answer.linkAsFamily = linkAsFamily_->isChecked();
    return answer;
}

void NewFileOptions::okClick() {
    const auto problem = settings().unreadableDate();
    if (!problem) {
        dateMessage_->hide();
        KLSheet::okClick();
        return;
    }
    QLineEdit* const fields[2][2] = {{born1_, died1_}, {born2_, died2_}};
    QLineEdit* field = fields[problem->person - 1][problem->death ? 1 : 0];
    dateMessage_->setText(QString::fromStdString(problem->message));
    dateMessage_->show();
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

Array NewFileOptions::fileSettings() const { return settings().fileSettings(); }

}  // namespace kl
