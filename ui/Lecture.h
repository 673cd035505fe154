// The lecture file and the figure list, read once when the main window is created.
#pragma once

#include <QString>
#include <QStringList>

namespace korvex {

struct TLectureLists {
  QStringList Titles;   // items of ComboBoxSteps
  QStringList Actions;  // items of ComboBoxActs, parallel to Titles
};

// Splits the lines of the lecture file into slide titles and action strings. A line whose
// first character is a digit or "-" is a slide: the text before its first "~" is the action
// string, the text after it the title (a line without "~" gives the whole line as title and
// an empty action string). Every other line, and every empty line, is dropped.
TLectureLists ParseLecture(const QStringList& lines);

// Reads fileName (lines in the system code page); a missing or unreadable file gives no lines.
QStringList ReadLectureLines(const QString& fileName);

// The example maps in folder: an empty first item, then every "*.gif" file name without its
// extension, in the order of the directory listing. A missing folder gives the empty item only.
QStringList ListFigures(const QString& folder);

}  // namespace korvex
