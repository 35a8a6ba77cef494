#pragma once
// AppDrawing: small drawing helpers the windows share: the image of a text
// that drags of records and structures show under the pointer, and the
// turning of stored fonts and colours into Qt's and back.
//
// Thread: main thread (fonts and painting).
#include <QColor>
#include <QFont>
#include <QImage>

#include <string>

#include "app/Color.h"
#include "app/Font.h"

namespace kl {

class AppDrawing {
public:
    // The text drawn at the origin of a transparent image of the text's
    // natural size in the font (the application font by default). An empty
    // text gives a 1 x 1 transparent image, never a null one.
    static QImage imageWithString(const std::string& text);
    static QImage imageWithString(const std::string& text, const QFont& font);

    static QColor qtColor(const Color& color);
    static Color color(const QColor& color);
    // Bold and italic travel as the font's traits.
    static QFont qtFont(const Font& font);
    static Font font(const QFont& font);
};

}  // namespace kl
