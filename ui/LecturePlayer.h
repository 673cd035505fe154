// The lecture player: slides that set the controls of the main window and run its drawing
// commands, stepped through with PgDn (or Space) and PgUp or picked in ComboBoxSteps, and the
// example maps shown in place of the real-space chart.
//
// The functions work on the main window Form1 (and the parameters dialog's EditNReal while
// the dialog exists); they do nothing while there is no main window.
#pragma once

#include <QString>

#include "ui/Lecture.h"

namespace korvex {

class TForm1;

// The slide titles into ComboBoxSteps and the action strings into the hidden ComboBoxActs,
// at equal positions; no slide is selected afterwards.
void LoadLecture(const TLectureLists& lecture);

// The example maps of folder into ComboBoxFig (an empty first item, then the file names
// without ".gif"); ComboBoxFigChange loads the pictures from that folder.
void LoadFigures(const QString& folder);
QString FigureFolder();

// Plays the slide selected in ComboBoxSteps: its values go into the controls (running their
// change and click handlers), then its commands click their buttons; with chain, a slide that
// ends with "Next" set is followed at once by the next one. A slide that cannot be read in
// full stops with a CommandError at the field it cannot read, the controls set so far.
void RunSlide(bool chain);

// The change of ComboBoxFig: shows the selected map over Chart1, or with the empty item (or
// none) hides it and shows Chart1. A file that cannot be decoded throws a CommandError and
// leaves the visibility as it was.
void ComboBoxFigChange();

// The lecture keys (Qt key codes): PgDn and Space play the next slide, or during an animation
// end it and mark chaining; PgUp plays the previous slide. Other keys do nothing.
void LectureKey(int key);

// The recorder: the current controls as an action string, followed by the drawing commands
// run since the last "Clear", "~" and title. Throws a CommandError naming the control whose
// text a slide cannot hold (a digit field with more than one digit, a comma in a field).
QString RecordSlide(const QString& title);
// The drawing commands run since the last "Clear" (that one included), as slide commands.
QStringList RecordedCommands();
// "Copy slide": the recording, with a title to edit, on the clipboard.
void ButtonCopySlideClick();
// The title a copied slide gets, to be replaced by the lecturer.
inline constexpr const char* CopiedSlideTitle = "Say in one sentence what to look at.";

// Connects ComboBoxSteps and ComboBoxFig to the player, installs the application-wide key
// hook for the lecture keys and the shared key-down filter of ComboBoxSteps, ComboBoxFig and
// TrackBarFi, and the "Copy slide" button with its shortcut and the command log it records
// from. The hooks live as long as form.
void InstallLecturePlayer(TForm1& form);

}  // namespace korvex
