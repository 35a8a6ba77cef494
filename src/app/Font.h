#pragma once
// Font: the description of a text face that settings store and cells ask
// for: a family name, a size in points and style traits. It names a face
// without holding one; the windowing layer turns it into a real font and
// substitutes a face of its own when the family is not installed. A plain
// value, safe to copy between threads.
#include <string>

namespace kl {

struct Font {
    // Trait bits, as stored in archives.
    enum Trait : int { Italic = 1, Bold = 2 };

    std::string family = "Helvetica";
    double size = 12;
    int traits = 0;

    bool operator==(const Font&) const = default;
};

}  // namespace kl
