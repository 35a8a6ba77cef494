#include "document/ui/FamilySearchTermsSheet.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kl {

FamilySearchTermsSheet::FamilySearchTermsSheet(const std::vector<std::string>& terms, QWidget* parent)
    : KLSheet("FamilySearchTerms", parent) {
    setWindowTitle(tr("Search Genealogy Records"));
    auto* form = new QFormLayout;
    const char* labels[] = {"Given Names:", "Surname:", "Place:", "Year:"};
    for (int i = 0; i < 4; ++i) {
        fields_[i] = new QLineEdit(this);
        if (static_cast<std::size_t>(i) < terms.size()) fields_[i]->setText(QString::fromStdString(terms[i]));
        form->addRow(tr(labels[i]), fields_[i]);
    }
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Cancel);
    records_ = buttons->addButton(tr("Search Records"), QDialogButtonBox::ActionRole);
    trees_ = buttons->addButton(tr("Search Trees"), QDialogButtonBox::AcceptRole);
    trees_->setDefault(true);
    connect(trees_, &QPushButton::clicked, this, &KLSheet::okClick);
    connect(records_, &QPushButton::clicked, this, &KLSheet::alternateClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &KLSheet::cancelClick);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

std::vector<std::string> FamilySearchTermsSheet::terms() const {
    std::vector<std::string> out;
    for (QLineEdit* field : fields_) out.push_back(field->text().trimmed().toStdString());
    return out;
}

}  // namespace kl
