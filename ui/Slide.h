// One lecture slide read from its action string: the values for the controls, in the order
// they are set, and the drawing commands run after them. Reading needs no window, so a slide
// can be checked (or fuzzed) on its own; ui/LecturePlayer puts the values into the controls.
//
// The action string is read from the left by four readers, each taking what it reads off the
// front of the text:
//   digit: one character, or two when the first is "-" ("4", "-1"), for a text box;
//   flag:  one character, "1" on and anything else off;
//   skip:  everything up to and including the next ",";
//   field: the text before the next ","; the comma goes too. Where no "," follows, the field
//          takes the rest of the text.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace korvex {

enum class TSlideReader { Digit, Flag, Skip, Field };

// Where a field goes: a text box or check box of the main window (or the parameters dialog's
// EditNReal) by its name, or one of the two targets that are no control.
inline constexpr const char* FigureTarget = "Figure";         // number of the example map
inline constexpr const char* FlatChartTarget = "FlatChart2";  // on: the reciprocal chart flat

struct TSlideFieldRule {
  int Number;  // 1 to 57
  TSlideReader Reader;
  const char* Target;  // nullptr for a skip
  bool Inverted;       // a flag that ticks its box when it is not "1"
};

// The 57 fields before the command list, in reading order.
const std::array<TSlideFieldRule, 57>& SlideFieldRules();

// The number of fields of a slide; the last one is the command list.
inline constexpr int SlideFieldCount = 58;

struct TSlideValue {
  int Number;          // field number
  const char* Target;  // as in the field table
  QString Text;        // digit and field text; a flag's character
  bool On = false;     // flag state, inversion applied
  int Figure = -1;     // the figure number (field 30)
};

struct TSlide {
  std::vector<TSlideValue> Values;  // fields read, skips left out, in reading order
  int FieldsRead = 0;               // the number of the last field read in full
  QStringList Commands;             // field 58 onward
  QString Error;                    // why the reading stopped before the end; empty otherwise
  bool Complete() const { return Error.isEmpty(); }
};

// Reads an action string. slideNumber (counting from 1) only goes into the error text: a
// string that ends before field 57 stops with "Slide 7 ends after field 22 of 58; the slide
// stopped there."; a figure number that is no integer stops at field 30 with the integer
// conversion message. The values read before the failing field are kept.
TSlide ReadSlide(const QString& action, int slideNumber);

// The drawing commands a slide may name, and the one that sets chaining.
inline constexpr const char* NextCommand = "Next";
bool IsSlideCommand(const QString& word);

}  // namespace korvex
