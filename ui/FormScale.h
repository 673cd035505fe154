// Scaling of a form designed in pixels for a small 8-point font to the font Qt actually uses.
//
// The forms keep the designed positions; at creation every position and size is multiplied
// by one factor, the smallest one at which every caption, label and start text fits its
// control in the current font (never below 1). The layouts' fixed strip heights scale alike.
#pragma once

#include <QStringList>

class QWidget;

namespace korvex {

// The factor at which every text of root's children fits its control, at least 1.
double FitScale(const QWidget& root);

// Multiplies positions, sizes and fixed sizes of root and its children by factor.
void ScaleForm(QWidget& root, double factor);

// Both steps; returns the factor used.
double FitForm(QWidget& root);

// Pixels a text may take in a label or line edit without being cut or scrolled: the control's
// width less its frame, margins and (for an edit) the cursor. 0 for other controls.
int TextRoom(const QWidget& control);

// Widens control until each of texts fits its text room (texts the program writes into it
// later, longer than its start text). Room is made in every panel up from it: what lies right
// of the widened control or panel moves right with it and the panel grows by what its contents
// grew, so order and grouping stay; the window grows wider last. Returns the pixels added.
int WidenToFit(QWidget& control, const QStringList& texts);

}  // namespace korvex
