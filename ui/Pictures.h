// The pictures of the program: its window icon, the glyph of the about button and the three
// pictures of the about box, drawn rather than stored.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace korvex {

// A cube of the diamond lattice on a light background (window icon, about-box picture).
QPixmap LatticePicture(int width, int height);
// The Ewald construction: a circle through the origin of a lattice of dots with K0, Kh and Q.
QPixmap EwaldPicture(int width, int height);
// A reciprocal-space map: a bright node with its streaks.
QPixmap MapPicture(int width, int height);

QIcon ProgramIcon();
// The two-state glyph of the about button (normal and pressed).
QIcon AboutGlyph();

}  // namespace korvex
