// Scaling of a form designed in pixels for a small 8-point font to the font Qt actually uses.
//
// The forms keep the designed positions; at creation every position and size is multiplied
// by one factor, the smallest one at which every caption, label and start text fits its
// control in the current font (never below 1). The layouts' fixed strip heights scale alike.
#pragma once

class QWidget;

namespace korvex {

// The factor at which every text of root's children fits its control, at least 1.
double FitScale(const QWidget& root);

// Multiplies positions, sizes and fixed sizes of root and its children by factor.
void ScaleForm(QWidget& root, double factor);

// Both steps; returns the factor used.
double FitForm(QWidget& root);

}  // namespace korvex
