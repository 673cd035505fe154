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

// Reads fileName as UTF-8 lines (a leading byte-order mark is dropped; bytes that are no UTF-8
// become U+FFFD and the reading goes on); a missing or unreadable file gives no lines.
QStringList ReadLectureLines(const QString& fileName);

// Where the program finds a file or folder it ships (the lecture, the example maps): name in
// the current directory when it is there, else the copy beside the data directory Base/ (that
// is, beside the installed program); an empty text when neither exists.
QString LocateShipped(const QString& name);

// The example maps in folder: an empty first item, then every "*.gif" file name without its
// extension, in the order of the directory listing. A missing folder gives the empty item only.
QStringList ListFigures(const QString& folder);

}  // namespace korvex
