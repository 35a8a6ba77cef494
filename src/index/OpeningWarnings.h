#pragma once
// OpeningWarnings: what the index window tells the user once a document's
// window has opened: that the file has flawed records (the "Corrupted
// Records" list), the message the read left behind, and, for data imported
// from another program's GEDCOM file, the offer to validate it. The facts
// come from the document as it stands after the read; the window shows the
// alerts in order on the next turn of the event loop.
//
// Ownership: a value. Thread: main thread.
#include <optional>
#include <string>

namespace kl {

class GEDCOMDocument;

class OpeningWarnings {
public:
    static constexpr const char* kCorruptedMessage = "This file has flaws in the GEDCOM Data";
    static constexpr const char* kCorruptedInformation =
        "The 'Corrupted Records' item lists GEDCOM records with flawed data.";
    static constexpr const char* kReadMessage = "Some required or requested GEDCOM elements were added to the file";
    static constexpr const char* kValidateQuestion = "Do you want to validate this imported GEDCOM data?";
    static constexpr const char* kValidateInformation =
        "Whenever you import GEDCOM data from an unknown source, it is a good idea to validate the data to check "
        "for errors";
    static constexpr const char* kValidateNow = "Validate Now";
    static constexpr const char* kValidateLater = "Validate Later";

    struct Facts {
        std::optional<std::string> importName;  // set when read from a GEDCOM file
        bool hasCorruptedList = false;
        std::optional<std::string> readMessage;
        bool foreignGEDCOM = false;  // the header names other software
        int openingError = 0;        // the application's last opening; below 0 failed
    };

    // The document's facts after its read; `importName` is the name it was
    // imported under.
    static Facts factsOf(GEDCOMDocument& doc, int openingError);
    // nullopt when there is nothing to warn about, or the application's
    // last opening failed (its own alert is enough).
    static std::optional<OpeningWarnings> decide(const Facts& facts);

    // The read message ("message"), when the read left one.
    std::optional<std::string> message;
    // The import name ("pkgName"), when the import came from other software.
    std::optional<std::string> pkgName;
};

}  // namespace kl
