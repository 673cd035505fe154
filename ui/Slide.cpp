#include "ui/Slide.h"

#include "ui/Command.h"
#include "ui/Parsing.h"

namespace korvex {

namespace {

using R = TSlideReader;

constexpr std::array<TSlideFieldRule, 57> Rules{{
    {1, R::Digit, "EditH", false},
    {2, R::Digit, "EditK", false},
    {3, R::Digit, "EditL", false},
    {4, R::Digit, "EditHnorm", false},
    {5, R::Digit, "EditKnorm", false},
    {6, R::Digit, "EditLnorm", false},
    {7, R::Digit, "EditHpl", false},
    {8, R::Digit, "EditKpl", false},
    {9, R::Digit, "EditLpl", false},
    {10, R::Skip, nullptr, false},
    {11, R::Flag, "CheckBoxAble", false},
    {12, R::Flag, "CheckBoxAbleL", false},
    {13, R::Flag, "CheckBoxHi", false},
    {14, R::Flag, "CheckBoxBeam2", false},
    {15, R::Flag, "CheckBoxQuarter", false},
    {16, R::Flag, "CheckBoxCirkle", false},
    {17, R::Flag, "CheckBoxNBeam", false},
    {18, R::Flag, "CheckBoxVolfBregg", false},
    {19, R::Flag, "CheckBoxDivisible", false},
    {20, R::Flag, "CheckBoxBW", false},
    {21, R::Skip, nullptr, false},
    {22, R::Flag, "CheckBoxStr1", false},
    {23, R::Flag, "CheckBoxStr2", false},
    {24, R::Skip, nullptr, false},
    {25, R::Field, "EditStr1", false},
    {26, R::Field, "EditStr2", false},
    {27, R::Field, "EditRelaxation", false},
    {28, R::Field, "EditLambda", false},
    {29, R::Field, "EditNReal", false},
    {30, R::Field, FigureTarget, false},
    {31, R::Flag, "CheckBoxOm", false},
    {32, R::Flag, "CheckBox2t", false},
    {33, R::Flag, "CheckBoxTilt", false},
    {34, R::Flag, "CheckBoxDet", false},
    {35, R::Flag, "CheckBoxFast", false},
    {36, R::Skip, nullptr, false},
    {37, R::Field, "EditOm", false},
    {38, R::Field, "Edit2t", false},
    {39, R::Field, "EditDeltaOm", false},
    {40, R::Field, "EditOffset", false},
    {41, R::Field, "EditFi", false},
    {42, R::Field, "EditDistPSD", false},
    {43, R::Field, "EditSizePSD", false},
    {44, R::Flag, "CheckBoxGL", false},
    {45, R::Flag, "CheckBoxBind", false},
    {46, R::Flag, "CheckBoxCryst", false},
    {47, R::Flag, "CheckBoxIncSurf", false},
    {48, R::Flag, "CheckBoxSurface", false},
    {49, R::Flag, "CheckBoxK0", false},
    {50, R::Flag, "CheckBoxSpheres", false},
    {51, R::Flag, "CheckBoxPoints", false},
    {52, R::Flag, "CheckBoxTor", false},
    {53, R::Flag, "CheckBoxMarks", false},
    {54, R::Flag, FlatChartTarget, false},
    {55, R::Flag, "CheckBoxPlanes", true},
    {56, R::Flag, "CheckBoxFull", false},
    {57, R::Skip, nullptr, false},
}};

// Text before the next "," (the comma removed too), or the whole rest where none follows.
QString TakeField(QString& text) {
  const qsizetype comma = text.indexOf(QLatin1Char(','));
  QString value = comma < 0 ? text : text.left(comma);
  text.remove(0, comma < 0 ? text.size() : comma + 1);
  return value;
}

// The slide read so far, stopped where the text ended before the field numbered number.
TSlide ShortText(TSlide& slide, int slideNumber, int number) {
  slide.Error = QStringLiteral("Slide %1 ends after field %2 of %3; the slide stopped there.")
                    .arg(slideNumber)
                    .arg(number - 1)
                    .arg(SlideFieldCount);
  return std::move(slide);
}

}  // namespace

const std::array<TSlideFieldRule, 57>& SlideFieldRules() { return Rules; }

bool IsSlideCommand(const QString& word) {
  static const QStringList words = {
      QStringLiteral("Clear"), QStringLiteral("Sethkl"),        QStringLiteral("Real"),
      QStringLiteral("GaAs"),  QStringLiteral("Recipr"),        QStringLiteral("Rec2D"),
      QStringLiteral("RotK"),  QStringLiteral("KhSph"),         QStringLiteral("Tor"),
      QStringLiteral("RotR"),  QStringLiteral("Move"),          QStringLiteral("PSD"),
      QStringLiteral("Cone"),  QString::fromLatin1(NextCommand)};
  return words.contains(word);
}

TSlide ReadSlide(const QString& action, int slideNumber) {
  TSlide slide;
  QString text = action;
  for (const TSlideFieldRule& rule : Rules) {
    TSlideValue value{rule.Number, rule.Target, QString()};
    switch (rule.Reader) {
      case R::Skip:
        // An empty rest is left to the next reader, which then reports where the text ended.
        TakeField(text);
        slide.FieldsRead = rule.Number;
        continue;
      case R::Digit: {
        if (text.isEmpty()) return ShortText(slide, slideNumber, rule.Number);
        const qsizetype n = text.size() >= 2 && text.front() == QLatin1Char('-') ? 2 : 1;
        value.Text = text.left(n);
        text.remove(0, n);
        break;
      }
      case R::Flag:
        if (text.isEmpty()) return ShortText(slide, slideNumber, rule.Number);
        value.Text = text.left(1);
        text.remove(0, 1);
        value.On = (value.Text == QLatin1String("1")) != rule.Inverted;
        break;
      case R::Field:
        if (text.isEmpty()) return ShortText(slide, slideNumber, rule.Number);
        value.Text = TakeField(text);
        if (qstrcmp(rule.Target, FigureTarget) == 0) {
          try {
            value.Figure = StrToInt(value.Text);
          } catch (const CommandError& e) {
            slide.Error = QString::fromUtf8(e.what());
            return slide;
          }
        }
        break;
    }
    slide.Values.push_back(std::move(value));
    slide.FieldsRead = rule.Number;
  }
  // Field 58 onward: commands, each ended by ","; a last one without its "," ends the text.
  while (!text.isEmpty()) slide.Commands.append(TakeField(text));
  slide.FieldsRead = SlideFieldCount;
  return slide;
}

}  // namespace korvex
