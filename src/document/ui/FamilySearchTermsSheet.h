#pragma once
// FamilySearchTermsSheet: asks for the terms of an outside genealogy search
// (given names, surname, place, year), filled in from the record. "Search
// Trees" ends with 1, "Search Records" with 2, Cancel with 0.
//
// Ownership: a KLSheet, deleted by its caller once ended. Thread: main thread.
#include <string>
#include <vector>

#include "app/ui/KLSheet.h"

class QLineEdit;
class QPushButton;

namespace kl {

class FamilySearchTermsSheet : public KLSheet {
    Q_OBJECT
public:
    explicit FamilySearchTermsSheet(const std::vector<std::string>& terms, QWidget* parent = nullptr);

    std::vector<std::string> terms() const;
    QLineEdit* field(int at) const { return fields_[at]; }
    QPushButton* searchTrees() const { return trees_; }
    QPushButton* searchRecords() const { return records_; }

private:
    QLineEdit* fields_[4] = {};
    QPushButton* trees_ = nullptr;
    QPushButton* records_ = nullptr;
};

}  // namespace kl
