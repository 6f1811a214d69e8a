#include "widgets/SharedFonts.h"

#include <QApplication>
#include <QFont>

#include <optional>

// The data layer and the settings live in AppData.cpp, which the console tool shares.

namespace {

struct Globals {
    std::optional<QFont> normalFont;
    std::optional<QFont> boldFont;
    std::optional<QFont> smallBoldFont;
};

Globals& TheGlobals() {
    static Globals globals;
    return globals;
}

} // namespace

void CreateSharedFonts() {
    Globals& g = TheGlobals();
    // The system font's face at the user interface size; the small one is bold at 8.5 points.
    QFont normal = QApplication::font();
    QFont bold = normal;
    bold.setWeight(QFont::Bold);
    QFont smallBold = normal;
    smallBold.setWeight(QFont::Bold);
    smallBold.setPointSizeF(8.5);
    g.normalFont = normal;
    g.boldFont = bold;
    g.smallBoldFont = smallBold;
}

void DeleteSharedFonts() {
    Globals& g = TheGlobals();
    g.normalFont.reset();
    g.boldFont.reset();
    g.smallBoldFont.reset();
}

// Lists and pages made outside a full start (tests, a view on its own) still get the fonts.
const QFont& NormalFont() {
    Globals& g = TheGlobals();
    if (!g.normalFont)
        CreateSharedFonts();
    return *g.normalFont;
}

const QFont& BoldFont() {
    Globals& g = TheGlobals();
    if (!g.boldFont)
        CreateSharedFonts();
    return *g.boldFont;
}

const QFont& SmallBoldFont() {
    Globals& g = TheGlobals();
    if (!g.smallBoldFont)
        CreateSharedFonts();
    return *g.smallBoldFont;
}
