// Text to numbers and back for the controls of the main window and the parameters dialog.
#pragma once

#include <QChar>
#include <QString>
#include <array>
#include <cstdint>

namespace korvex {

// The process-wide decimal separator, "." or ",", taken from the user's locale at start-up.
// Real numbers are written with it; ParseNumber tries it first.
QChar DecimalSeparator();
void SetDecimalSeparator(QChar separator);
// Sets the separator from the system locale (anything but "," counts as ".").
void InitDecimalSeparatorFromLocale();

// Real number from text; never fails. The text is read with the current decimal separator,
// then with the other one (the separator is switched for that attempt and restored), so
// "1.54" and "1,54" both read 1.54 under either locale. Surrounding blanks are ignored.
// Text that is no number, or no finite number ("nan", "1e999"), reads 0.
double ParseNumber(const QString& text);

// Real number in general format with up to 15 significant digits and the current separator.
QString FormatReal(double value);

// Integer field: optional sign and decimal digits, within the 32-bit range. Anything else
// throws CommandError "'<text>' is not a valid integer value".
int32_t StrToInt(const QString& text);

// True for text that reads as the integer zero: an optional sign and one or more zeros,
// blanks around them allowed ("0", "00", "-0", " 0").
bool ReadsAsZero(const QString& text);

// The "NRecMax" field: one integer (limits 0 0 0), or four integers separated by commas
// (the count and three limits). An empty part fails like any non-integer text.
int32_t ParseNRecMax(const QString& text, int32_t& limit1, int32_t& limit2, int32_t& limit3);

}  // namespace korvex
