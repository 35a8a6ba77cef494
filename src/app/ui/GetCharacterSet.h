#pragma once
// GetCharacterSet: the application-modal dialog that asks which character
// set a GEDCOM file is written in when reading cannot tell. It says what the
// file names, if anything, offers seven sets starting on the one the file's
// bytes suggest, and answers the chosen text-encoding code, 0 when cancelled. The chosen
// encoding and set name are kept class-wide for the reader; a cancel keeps
// the file's own guess as the name.
//
// Ownership: made for one question and dropped after it.
// Thread: main thread (the class-wide values too).
#include <QDialog>

#include <cstdint>
#include <optional>
#include <string>

class QButtonGroup;
class QLabel;

namespace kl {

class GetCharacterSet : public QDialog {
    Q_OBJECT
public:
    // guess: the set the file names, nullopt when it names none; suggested:
    // the encoding to start on (0: Windows).
    explicit GetCharacterSet(const std::optional<std::string>& guess, QWidget* parent = nullptr,
                             std::uint32_t suggested = 0);

    // Runs the dialog and answers the chosen encoding (0: cancelled).
    std::uint32_t getCharacterSet();

    static std::uint32_t userEncoding();
    static std::optional<std::string> userCharSet();
    static void setUserCharSet(std::optional<std::string> name);

    QButtonGroup* characterSets() const { return characterSets_; }
    QLabel* fileCharSet() const { return fileCharSet_; }

public slots:
    void okClick();
    void cancelClick();
    void reject() override { cancelClick(); }

private:
    QButtonGroup* characterSets_;
    QLabel* fileCharSet_;
};

}  // namespace kl
