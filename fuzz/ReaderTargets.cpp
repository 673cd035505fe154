#include "fuzz/ReaderTargets.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

#include "crystal/CompositeStructure.h"
#include "crystal/DataFiles.h"
#include "crystal/Element.h"
#include "ui/Command.h"
#include "ui/InputLimits.h"
#include "ui/Lecture.h"
#include "ui/Parsing.h"
#include "ui/Slide.h"

namespace korvex::fuzz {
namespace {

FailureHandler& Handler() {
  static FailureHandler handler = [](const std::string& message) {
    std::fprintf(stderr, "fuzz check failed: %s\n", message.c_str());
    std::abort();
  };
  return handler;
}

void Check(bool condition, const std::string& what) {
  if (!condition) Handler()(what);
}

std::string_view Text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

bool Finite(double v) { return std::isfinite(v); }

bool LooksLikeSymbol(const std::string& key) {
  if (key.empty() || key.size() > 2 || key[0] < 'A' || key[0] > 'Z') return false;
  return key.size() == 1 || (key[1] >= 'a' && key[1] <= 'z');
}

// The energies at which an entry is looked up: its own rows, the midpoints between them (at most
// about 64 of each), below and above the table, and Cu K-alpha.
std::vector<double> ProbeEnergies(const F1F2Entry& entry) {
  std::vector<double> energies = {0.0, -1.0, 1.0, 8050.7143, 1e6, 1e300};
  const std::size_t n = entry.Rows.size();
  const std::size_t stride = n > 64 ? n / 64 : 1;
  for (std::size_t i = 0; i < n; i += stride) {
    energies.push_back(entry.Rows[i].Energy);
    if (i + 1 < n) energies.push_back(0.5 * (entry.Rows[i].Energy + entry.Rows[i + 1].Energy));
    energies.push_back(std::nextafter(entry.Rows[i].Energy, -std::numeric_limits<double>::max()));
  }
  return energies;
}

// A strict reading of a decimal integer: an optional sign, digits only, within 32 bits.
bool ReferenceInteger(const QString& text, std::int32_t& value) {
  std::string ascii;
  for (const QChar c : text) {
    if (c.unicode() >= 128) return false;
    ascii.push_back(static_cast<char>(c.unicode()));
  }
  std::string_view digits = ascii;
  bool negative = false;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty()) return false;
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;
  }
  std::string signedDigits(negative ? 1 : 0, '-');
  signedDigits.append(digits);
  std::int32_t v = 0;
  const auto [end, error] =
      std::from_chars(signedDigits.data(), signedDigits.data() + signedDigits.size(), v);
  if (error != std::errc() || end != signedDigits.data() + signedDigits.size()) return false;
  value = v;
  return true;
}

// StrToInt agrees with the strict reading: the same value, or the conversion error quoting the
// text.
void CheckInteger(const QString& text) {
  std::int32_t expected = 0;
  const bool valid = ReferenceInteger(text, expected);
  try {
    const std::int32_t value = StrToInt(text);
    Check(valid && value == expected, "StrToInt accepted text that is no 32-bit integer");
  } catch (const CommandError& e) {
    Check(!valid, "StrToInt refused a valid integer");
    QString shown = text;
    shown.replace(QChar(0), QChar(0x2400));
    Check(QString::fromUtf8(e.what()) ==
              QStringLiteral("'%1' is not a valid integer value").arg(shown),
          "StrToInt's message does not quote the text");
  }
}

}  // namespace

FailureHandler SetFailureHandler(FailureHandler handler) {
  return std::exchange(Handler(), std::move(handler));
}

int StructureFile(const std::uint8_t* data, std::size_t size) {
  const korvex::StructureFile file = ParseStructureFile(Text(data, size));
  if (!file.Problem.empty()) {
    Check(file.Blocks.empty(), "a refused structure file has element blocks");
    return 0;
  }
  Check(file.ElementCount == 1 || file.ElementCount == 2, "element count not 1 or 2");
  Check(Finite(file.LatticeParameter) && file.LatticeParameter > 0.0,
        "lattice parameter not finite and positive");
  Check(Finite(file.PoissonRatio) && std::fabs(file.PoissonRatio) < 1.0,
        "Poisson ratio outside (-1, 1)");
  for (const auto& [key, block] : file.Blocks) {
    Check(LooksLikeSymbol(key), "a block under a key that is no element symbol");
    Check(block.Positions.size() <= static_cast<std::size_t>(MaxAtomsPerBlock),
          "more atoms in a block than allowed");
    Check(block.Problem.empty() || block.Positions.empty(), "a refused block has atoms");
    for (const AtomPosition& p : block.Positions) {
      Check(Finite(p.X) && Finite(p.Y) && Finite(p.Z), "an atom position is not finite");
    }
  }
  return 0;
}

int F0Table(const std::uint8_t* data, std::size_t size) {
  const korvex::F0Table table = ParseF0Table(Text(data, size));
  for (const auto& [key, entry] : table.Entries) {
    Check(key.size() == 1 || key.size() == 2,
          "an f0 entry key of other than one or two characters");
    if (!entry) continue;
    Check(Finite(entry->C), "f0 coefficient c not finite");
    for (std::size_t i = 0; i < entry->A.size(); ++i) {
      Check(Finite(entry->A[i]) && Finite(entry->B[i]), "f0 coefficient not finite");
    }
  }
  return 0;
}

int F1F2Table(const std::uint8_t* data, std::size_t size) {
  const korvex::F1F2Table table = ParseF1F2Table(Text(data, size));
  for (const auto& [key, entry] : table.Entries) {
    Check(key.size() == 1 || key.size() == 2,
          "an f1f2 entry key of other than one or two characters");
    Check(entry.RepeatedRow <= entry.Rows.size(), "repeated row beyond the rows");
    for (const F1F2Row& row : entry.Rows) {
      Check(Finite(row.Energy) && Finite(row.F1) && Finite(row.F2), "an f1f2 row is not finite");
    }
    for (const double energy : ProbeEnergies(entry)) {
      double f1 = -1.0, f2 = -1.0, g1 = -2.0, g2 = -2.0;
      InterpolateF1F2(entry, energy, f1, f2);
      InterpolateF1F2Stepwise(entry, energy, g1, g2);
      Check(Finite(f1) && Finite(f2), "f1 or f2 not finite");
      Check(f1 == g1 && f2 == g2, "bisection and row-by-row search disagree");
    }
  }
  return 0;
}

int StructureName(const std::uint8_t* data, std::size_t size) {
  // The structure files and tables are the shipped ones in Base/ beside the program.
  const std::string name(Text(data, size));
  TCompositeStructure s(0, 0, 0, 1.54, 0, 0, 4, 0, name, 1);
  if (s.HasDigits) {
    if (s.Parse()) {
      Check(s.ComponentCount >= 1 && s.ComponentCount <= MaxComponents, "component count");
      Check(s.DigitTotal > 0, "a parsed name with a digit total of 0");
    } else {
      Check(!s.GetMessage().empty(), "a refused name without a message");
    }
  }
  if (!s.LoadLattice()) {
    Check(!s.GetMessage().empty(), "a structure without lattice and without a message");
    Check(s.LatticeA == 0.0 && s.LatticeB == 0.0 && s.LatticeC == 0.0,
          "a failed load left a lattice behind");
    return 0;
  }
  double a = 0, b = 0, c = 0;
  s.GetLattice(a, b, c);
  Check(Finite(a) && Finite(b) && Finite(c) && a > 0 && b > 0 && c > 0,
        "lattice not finite and positive");
  s.ComputePoissonRatio();
  double nu = 0;
  s.GetPoissonRatio(nu);
  Check(Finite(nu), "Poisson ratio not finite");
  for (const double l : {4.0, 1.0, 0.0, 333.0}) {
    s.SetReflection(1, 1, l);
    if (!s.ComputeChi()) continue;
    double chi[6] = {};
    s.GetChi(chi[0], chi[1], chi[2], chi[3], chi[4], chi[5]);
    for (const double x : chi) Check(Finite(x), "chi not finite");
  }
  return 0;
}

int Fields(const std::uint8_t* data, std::size_t size) {
  const QString text = QString::fromUtf8(Text(data, size));
  for (const QChar separator : {QLatin1Char('.'), QLatin1Char(',')}) {
    SetDecimalSeparator(separator);
    Check(Finite(ParseNumber(text)), "ParseNumber gave a value that is not finite");
    Check(DecimalSeparator() == separator, "ParseNumber left the decimal separator switched");
    // What the program writes back into a field reads as the same value to 15 digits.
    const double v = ParseNumber(text);
    const double back = ParseNumber(FormatReal(v));
    Check(std::fabs(back - v) <= 1e-14 * std::fabs(v), "a written number does not read back");
  }
  SetDecimalSeparator(QLatin1Char('.'));
  CheckInteger(text);
  std::int32_t l1 = 0, l2 = 0, l3 = 0;
  try {
    const std::int32_t count = ParseNRecMax(text, l1, l2, l3);
    const QStringList parts = text.split(QLatin1Char(','));
    Check(parts.size() == 1 || parts.size() == 4, "NRecMax accepted other than one or four parts");
    std::int32_t expected = 0;
    Check(ReferenceInteger(parts[0], expected) && expected == count, "NRecMax count misread");
    if (parts.size() == 1) Check(l1 == 0 && l2 == 0 && l3 == 0, "NRecMax limits not 0");
    try {
      CheckRange(NRecMaxRange, count);
      CheckRange(NRecLimitRange, l1);
    } catch (const CommandError&) {
    }
  } catch (const CommandError& e) {
    Check(QString::fromUtf8(e.what()).endsWith(QStringLiteral("' is not a valid integer value")),
          "NRecMax failed with another message");
  }
  return 0;
}

int Lecture(const std::uint8_t* data, std::size_t size) {
  // Through a file, as the program reads it (byte-order mark, line ends, bytes that are no UTF-8).
  static const QString path =
      QDir::temp().filePath(QStringLiteral("korvex-fuzz-lecture-%1.txt").arg(::getpid()));
  {
    QFile file(path);
    Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the lecture file");
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  const TLectureLists lists = ParseLecture(ReadLectureLines(path));
  Check(lists.Titles.size() == lists.Actions.size(), "titles and action strings not parallel");
  const auto& rules = SlideFieldRules();
  for (qsizetype i = 0; i < lists.Actions.size(); ++i) {
    const TSlide slide = ReadSlide(lists.Actions[i], static_cast<int>(i) + 1);
    Check(slide.FieldsRead >= 0 && slide.FieldsRead <= SlideFieldCount, "fields read out of range");
    Check(slide.Complete() == (slide.FieldsRead == SlideFieldCount),
          "a slide read to the end with an error, or cut short without one");
    if (!slide.Complete()) Check(slide.Commands.isEmpty(), "a slide cut short has commands");
    int last = 0;
    for (const TSlideValue& value : slide.Values) {
      Check(value.Number > last && value.Number <= static_cast<int>(rules.size()),
            "slide values out of order");
      last = value.Number;
      const TSlideFieldRule& rule = rules[static_cast<std::size_t>(value.Number - 1)];
      Check(rule.Reader != TSlideReader::Skip && value.Target != nullptr &&
                std::strcmp(value.Target, rule.Target) == 0,
            "a slide value for another control than its field's");
      if (rule.Reader == TSlideReader::Digit) {
        Check(value.Text.size() == 1 || (value.Text.size() == 2 && value.Text[0] == u'-'),
              "a digit field of other than one character or a minus and one");
      }
      if (rule.Reader == TSlideReader::Flag)
        Check(value.Text.size() == 1, "a flag of many characters");
    }
    for (const QString& command : slide.Commands) IsSlideCommand(command);
  }
  return 0;
}

std::span<const TTarget> Targets() {
  static constexpr std::array<TTarget, 6> targets = {{
      {"structure_file", StructureFile},
      {"f0_table", F0Table},
      {"f1f2_table", F1F2Table},
      {"structure_name", StructureName},
      {"fields", Fields},
      {"lecture", Lecture},
  }};
  return targets;
}

}  // namespace korvex::fuzz
