// Reading a slide's action string into the values of the controls and its command list.
#include <gtest/gtest.h>

#include "ui/Slide.h"

namespace korvex {
namespace {

// A complete slide: hkl -1 0 4, normal 0 0 1, plane point 1 1 0; Bragg filter and B/W on;
// structure 1 only; Si on InAs, strain "r", 1.54 A, NReal 2, figure 3; the omega scan; the
// shifts and PSD fields; OpenGL, Crystal, Spheres and Marks on, the chart flat, Planes
// inverted to ticked, Full off.
const QString FullSlide = QStringLiteral(
    "-104001110,1000000001,10,Si,InAs,r,1.54,2,3,10000,0.5,1,60,2,45,2,1,1010001001100,Clear,"
    "Sethkl,Next,");

const TSlideValue& Field(const TSlide& slide, int number) {
  for (const TSlideValue& v : slide.Values) {
    if (v.Number == number) return v;
  }
  static const TSlideValue none{0, nullptr, QStringLiteral("<missing>")};
  return none;
}

TEST(SlideTest, CompleteSlideFillsEveryField) {
  const TSlide slide = ReadSlide(FullSlide, 1);
  ASSERT_TRUE(slide.Complete()) << slide.Error.toStdString();
  EXPECT_EQ(slide.FieldsRead, 58);
  // Every field but the five skips, in reading order, each with its control.
  ASSERT_EQ(slide.Values.size(), 52u);
  for (size_t i = 1; i < slide.Values.size(); ++i)
    EXPECT_LT(slide.Values[i - 1].Number, slide.Values[i].Number);
  const QStringList digits = {"-1", "0", "4", "0", "0", "1", "1", "1", "0"};
  for (int n = 1; n <= 9; ++n) EXPECT_EQ(Field(slide, n).Text, digits[n - 1]) << n;
  EXPECT_STREQ(Field(slide, 1).Target, "EditH");
  EXPECT_STREQ(Field(slide, 9).Target, "EditLpl");
  EXPECT_TRUE(Field(slide, 11).On);
  EXPECT_STREQ(Field(slide, 11).Target, "CheckBoxAble");
  EXPECT_TRUE(Field(slide, 20).On);
  EXPECT_STREQ(Field(slide, 20).Target, "CheckBoxBW");
  EXPECT_TRUE(Field(slide, 22).On);
  EXPECT_FALSE(Field(slide, 23).On);
  const QStringList texts = {"Si", "InAs", "r", "1.54", "2", "3"};
  for (int n = 25; n <= 30; ++n) EXPECT_EQ(Field(slide, n).Text, texts[n - 25]) << n;
  EXPECT_STREQ(Field(slide, 29).Target, "EditNReal");
  EXPECT_EQ(Field(slide, 30).Figure, 3);
  EXPECT_TRUE(Field(slide, 31).On);
  EXPECT_FALSE(Field(slide, 35).On);
  const QStringList shifts = {"0.5", "1", "60", "2", "45", "2", "1"};
  for (int n = 37; n <= 43; ++n) EXPECT_EQ(Field(slide, n).Text, shifts[n - 37]) << n;
  EXPECT_STREQ(Field(slide, 43).Target, "EditSizePSD");
  const bool view[] = {true, false, true, false, false, false, true, false, false, true};
  for (int n = 44; n <= 53; ++n) EXPECT_EQ(Field(slide, n).On, view[n - 44]) << n;
  EXPECT_STREQ(Field(slide, 53).Target, "CheckBoxMarks");
  EXPECT_TRUE(Field(slide, 54).On);
  EXPECT_STREQ(Field(slide, 54).Target, FlatChartTarget);
  EXPECT_TRUE(Field(slide, 55).On) << "\"0\" ticks Planes";
  EXPECT_FALSE(Field(slide, 56).On);
  EXPECT_EQ(slide.Commands, (QStringList{"Clear", "Sethkl", "Next"}));
}

TEST(SlideTest, FlagReaderAndInvertedPlanes) {
  // Only "1" is on; for Planes (field 55) only "1" clears the box.
  for (const auto& [c, on] : std::initializer_list<std::pair<const char*, bool>>{
           {"1", true}, {"0", false}, {"x", false}, {"-", false}}) {
    QString text = FullSlide;
    const qsizetype tail = text.indexOf(QStringLiteral("1010001001100,"));
    text[tail] = QLatin1Char(*c);       // field 44
    text[tail + 11] = QLatin1Char(*c);  // field 55
    const TSlide slide = ReadSlide(text, 1);
    ASSERT_TRUE(slide.Complete()) << c;
    EXPECT_EQ(Field(slide, 44).On, on) << c;
    EXPECT_EQ(Field(slide, 55).On, !on) << c;
  }
}

TEST(SlideTest, ShortStringStopsAtTheFieldItCannotRead) {
  struct Case {
    int cut;         // characters of FullSlide kept
    int fieldsRead;  // the last field read in full
  };
  // 0: nothing; 2: "-1" is one digit; 10: the nine digits and the skip (an empty skip counts as
  // read); 46: two of the scan flags; 52: inside field 37, whose text is then taken whole;
  // 80: the last flag missing.
  for (const Case c : {Case{0, 0}, Case{2, 1}, Case{10, 10}, Case{22, 21}, Case{24, 24},
                       Case{28, 25}, Case{46, 32}, Case{52, 37}, Case{80, 55}}) {
    const QString text = FullSlide.left(c.cut);
    const TSlide slide = ReadSlide(text, 7);
    ASSERT_FALSE(slide.Complete()) << text.toStdString();
    EXPECT_EQ(slide.FieldsRead, c.fieldsRead) << text.toStdString();
    EXPECT_EQ(slide.Error,
              QStringLiteral("Slide 7 ends after field %1 of 58; the slide stopped there.")
                  .arg(c.fieldsRead))
        << text.toStdString();
    EXPECT_TRUE(slide.Commands.isEmpty());
    if (!slide.Values.empty()) {
      EXPECT_LE(slide.Values.back().Number, c.fieldsRead);
    }
  }
}

TEST(SlideTest, CommandListEnds) {
  const QString fields = FullSlide.left(FullSlide.indexOf(QStringLiteral("Clear")));
  struct Case {
    const char* commands;
    QStringList expected;
  };
  for (const Case& c :
       {Case{"", {}}, Case{"Clear", {"Clear"}}, Case{"Clear,Real", {"Clear", "Real"}},
        Case{"Clear,,Sethkl,", {"Clear", "", "Sethkl"}},
        Case{"sethkl,Move ,", {"sethkl", "Move "}}}) {
    const TSlide slide = ReadSlide(fields + QLatin1String(c.commands), 1);
    ASSERT_TRUE(slide.Complete()) << c.commands;
    EXPECT_EQ(slide.Commands, c.expected) << c.commands;
  }
  // The fields end with field 56: a slide without commands is complete.
  EXPECT_TRUE(ReadSlide(fields.chopped(1), 1).Complete());
  EXPECT_TRUE(IsSlideCommand(QStringLiteral("Tor")));
  EXPECT_FALSE(IsSlideCommand(QStringLiteral("sethkl")));
}

TEST(SlideTest, FigureNumberThatIsNoIntegerStopsAtField30) {
  for (const char* figure : {"x", "", "1.5"}) {
    QString text = FullSlide;
    text.replace(QStringLiteral(",2,3,"), QStringLiteral(",2,%1,").arg(QLatin1String(figure)));
    const TSlide slide = ReadSlide(text, 3);
    EXPECT_EQ(slide.Error,
              QStringLiteral("'%1' is not a valid integer value").arg(QLatin1String(figure)));
    EXPECT_EQ(slide.FieldsRead, 29);
    EXPECT_EQ(slide.Values.back().Number, 29);
  }
  QString negative = FullSlide;
  negative.replace(QStringLiteral(",2,3,"), QStringLiteral(",2,-1,"));
  EXPECT_EQ(Field(ReadSlide(negative, 1), 30).Figure, -1);
}

TEST(SlideTest, HostileTextNeverOverruns) {
  // Odd characters, lone minus signs and missing commas: the reader ends with a value list
  // no longer than the table and never reads past the text.
  for (const QString& text : {QStringLiteral("-"), QStringLiteral("--------------------"),
                              QStringLiteral(",,,,,,,,,,,,,,,"), QString(200, QLatin1Char('1')),
                              QStringLiteral("~~~~"), QStringLiteral("ΩÅλ,ä,ö,ü")}) {
    const TSlide slide = ReadSlide(text, 1);
    EXPECT_LE(slide.Values.size(), 52u);
    EXPECT_LE(slide.FieldsRead, 58);
  }
}

}  // namespace
}  // namespace korvex
