#pragma once
// AppDrawing: small drawing helpers the windows share; for now the image of
// a text that drags of records and structures show under the pointer.
//
// Thread: main thread (fonts and painting).
#include <QFont>
#include <QImage>

#include <string>

namespace kl {

class AppDrawing {
public:
    // The text drawn at the origin of a transparent image of the text's
    // natural size in the font (the application font by default). An empty
    // text gives a 1 x 1 transparent image, never a null one.
    static QImage imageWithString(const std::string& text);
    static QImage imageWithString(const std::string& text, const QFont& font);
};

}  // namespace kl
