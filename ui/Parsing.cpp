#include "ui/Parsing.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "ui/Command.h"

namespace korvex {

namespace {

QChar separator = QLatin1Char('.');

// The conversion of the platform's real-number parser under one decimal separator: blanks
// around, a sign, digits with at most that separator, an optional exponent. The other
// separator character is not accepted.
bool TryParse(const QString& text, QChar sep, double& value) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return false;
  std::string ascii;
  ascii.reserve(static_cast<size_t>(trimmed.size()));
  for (const QChar c : trimmed) {
    if (c == sep) {
      ascii.push_back('.');
    } else if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
      return false;
    } else if (c.unicode() < 128 &&
               (c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-') ||
                c == QLatin1Char('e') || c == QLatin1Char('E'))) {
      ascii.push_back(static_cast<char>(c.unicode()));
    } else {
      return false;  // letters (so no "nan", "inf" or hexadecimal), blanks inside
    }
  }
  // from_chars ignores the C locale, which the application object sets from the user's.
  const char* first = ascii.c_str();
  const char* last = first + ascii.size();
  if (*first == '+') ++first;  // from_chars takes no plus sign
  if (first != last && (*first == '+' || (*first == '-' && first != ascii.c_str()))) return false;
  double v = 0;
  const auto [end, ec] = std::from_chars(first, last, v, std::chars_format::general);
  if (ec != std::errc() || end != last || !std::isfinite(v)) return false;
  value = v;
  return true;
}

QChar Other(QChar sep) { return sep == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(','); }

}  // namespace

QChar DecimalSeparator() { return separator; }

void SetDecimalSeparator(QChar sep) {
  separator = sep == QLatin1Char(',') ? QLatin1Char(',') : QLatin1Char('.');
}

void InitDecimalSeparatorFromLocale() {
  const QString point = QLocale::system().decimalPoint();
  SetDecimalSeparator(point == QLatin1String(",") ? QLatin1Char(',') : QLatin1Char('.'));
}

double ParseNumber(const QString& text) {
  double value = 0;
  if (TryParse(text, separator, value) || TryParse(text, Other(separator), value)) return value;
  return 0;
}

QString FormatReal(double value) {
  if (!std::isfinite(value)) return QStringLiteral("0");
  if (value == 0) value = 0;  // no "-0"
  QString text = QString::number(value, 'g', 15);
  // Within 5e-15 of the largest double, 15 digits round up past it and the text would read
  // back as no number, that is 0; 17 digits always read back as the value itself.
  if (!std::isfinite(text.toDouble())) text = QString::number(value, 'g', 17);
  if (separator == QLatin1Char(',')) text.replace(QLatin1Char('.'), QLatin1Char(','));
  return text;
}

int32_t StrToInt(const QString& text) {
  const auto fail = [&]() -> int32_t {
    throw CommandError(QStringLiteral("'%1' is not a valid integer value").arg(text));
  };
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  if (i == text.size()) return fail();
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') return fail();
    value = value * 10 + (c - u'0');
    if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) return fail();
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    return fail();
  return static_cast<int32_t>(value);
}

bool ReadsAsZero(const QString& text) {
  const QString t = text.trimmed();
  qsizetype i = 0;
  if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
  if (i == t.size()) return false;
  for (; i < t.size(); ++i)
    if (t[i] != QLatin1Char('0')) return false;
  return true;
}

int32_t ParseNRecMax(const QString& text, int32_t& limit1, int32_t& limit2, int32_t& limit3) {
  const qsizetype first = text.indexOf(QLatin1Char(','));
  if (first < 0) {
    limit1 = limit2 = limit3 = 0;
    return StrToInt(text);
  }
  // Each remainder gives the next part up to its first comma; the last part is the whole rest.
  const auto take = [](QString& rest) {
    const qsizetype comma = rest.indexOf(QLatin1Char(','));
    const QString part = comma < 0 ? rest : rest.left(comma);
    rest = comma < 0 ? QString() : rest.mid(comma + 1);
    return part;
  };
  QString rest = text.mid(first + 1);
  const int32_t count = StrToInt(text.left(first));
  limit1 = StrToInt(take(rest));
  limit2 = StrToInt(take(rest));
  limit3 = StrToInt(rest);
  return count;
}

}  // namespace korvex
