#pragma once

#include <QFont>
#include <QRect>

namespace nivra::res {

struct DialogTemplate;

// Dialog units are fractions of the dialog font's average character: a horizontal unit is a
// quarter of the average character width, a vertical unit an eighth of the character height.
struct DialogBaseUnits {
    int width = 0;  // average character width in pixels
    int height = 0; // character height in pixels
};

// The base units of a font: the width of the 52 Latin letters averaged and rounded
// ((width / 26 + 1) / 2), and the font's line height.
DialogBaseUnits baseUnitsForFont(const QFont& font);

// a * b / c rounded half away from zero, computed without overflow; 0 when c is 0.
int mulDiv(int a, int b, int c);

// A rectangle in dialog units converted to pixels. The edges are converted, not the size, so
// controls that touch in dialog units touch in pixels too.
QRect mapDialogRect(const DialogBaseUnits& units, int x, int y, int width, int height);

// The font a dialog template names, at its point size.
QFont dialogFont(const DialogTemplate& dialog);

} // namespace nivra::res
