// Transfer of values between the controls and the settings record, and the recompute cycle
// every drawing command runs before it draws.
//
// The functions work on Settings, Structure1, Structure2, the main window Form1 and, while it
// exists, the parameters dialog FormParam. Integer fields throw CommandError on text that is
// no integer; the cycle then stops at that field with the values read before it kept.
#pragma once

namespace korvex {

// Main window to record, in a fixed order; ends with ReadParameters() while the dialog exists.
void ReadSettings();
// Parameters dialog to record, structures and Timer1's interval. Values beyond the bounds of
// ui/InputLimits.h are refused with a message.
void ReadParameters();
// Record to main window (angles, normal, scan flags, strain text; stops Timer1); ends with
// WriteParameters() while the dialog exists.
void WriteSettings();
// Record to parameters dialog.
void WriteParameters();
// The cycle: read every control, set up both structures, apply the layer strain, compute the
// geometry of each structure in use and write the results back.
void Recompute();

// The scene reset and the unit-cell picture of the main window's charts.
void ClearScenes();
void ShowUnitCell();

}  // namespace korvex
