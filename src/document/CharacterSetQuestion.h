#pragma once
// CharacterSetQuestion: asks the user which character set a GEDCOM file is
// written in, when its header names none that the reader knows. The GUI
// answers with its modal dialog; tests answer with a double.
//
// Called on the main thread before the reading worker starts.
#include <cstdint>
#include <optional>
#include <string>

namespace kl {

struct CharacterSetChoice {
    uint32_t encoding = 0;  // a text-encoding code (1, 65536, 4, 30, 12, 10 or code page 437's)
    std::string name;       // "ASCII", "ANSEL", "UTF-8", "MacOS Roman", "Windows", "UNICODE" or "IBMPC"
};

class CharacterSetQuestion {
public:
    virtual ~CharacterSetQuestion() = default;
    // guess: the set the file names, nullopt when it names none;
    // suggested: the encoding the file's bytes point to, offered first.
    // nullopt when the user cancels.
    virtual std::optional<CharacterSetChoice> getCharacterSet(const std::optional<std::string>& guess,
                                                              uint32_t suggested) = 0;

    // The text the dialog shows for a guess.
    static std::string promptFor(const std::optional<std::string>& guess) {
        return guess ? "The files specifies set '" + *guess + "'" : "The file does not specify any character set";
    }
};

}  // namespace kl
