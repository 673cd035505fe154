// Numbers typed into the controls: reals under either decimal separator, strict integers and
// the four-part "NRecMax" field.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/Command.h"
#include "ui/Parsing.h"

namespace korvex {
namespace {

class ParsingTest : public ::testing::Test {
 protected:
  void TearDown() override { SetDecimalSeparator(QLatin1Char('.')); }
};

TEST_F(ParsingTest, ParseNumberUnderBothSeparators) {
  const struct {
    char separator;
    const char* text;
    double value;
  } cases[] = {
      {'.', "1.54", 1.54},      {'.', "1,54", 1.54}, {',', "1.54", 1.54}, {',', "1,54", 1.54},
      {'.', " -2e-3 ", -0.002}, {',', "60", 60},     {'.', "abc", 0},     {',', "", 0},
      {'.', "1.5.4", 0},        {'.', "1,5.4", 0},   {'.', "nan", 0},     {'.', "inf", 0},
      {'.', "1e999", 0},        {',', "-1e999", 0},  {'.', "0x10", 0},    {'.', "1 5", 0},
  };
  for (const auto& c : cases) {
    SetDecimalSeparator(QLatin1Char(c.separator));
    const double v = ParseNumber(QString::fromLatin1(c.text));
    EXPECT_DOUBLE_EQ(v, c.value) << c.separator << " " << c.text;
    EXPECT_TRUE(std::isfinite(v));
    // The fallback to the other separator is undone.
    EXPECT_EQ(DecimalSeparator(), QLatin1Char(c.separator));
  }
}

TEST_F(ParsingTest, FormatRealUsesTheSeparatorAnd15Digits) {
  SetDecimalSeparator(QLatin1Char(','));
  EXPECT_EQ(FormatReal(1.5), QStringLiteral("1,5"));
  SetDecimalSeparator(QLatin1Char('.'));
  EXPECT_EQ(FormatReal(0.1 + 0.2), QStringLiteral("0.3"));
  EXPECT_EQ(FormatReal(1.0 / 3), QStringLiteral("0.333333333333333"));
  EXPECT_EQ(FormatReal(-0.0), QStringLiteral("0"));
  EXPECT_EQ(FormatReal(std::nan("")), QStringLiteral("0"));
}

TEST_F(ParsingTest, WrittenNumbersReadBack) {
  // The largest doubles: 15 digits would round them up to a text that reads as 0.
  const double max = std::numeric_limits<double>::max();
  for (const char separator : {'.', ','}) {
    SetDecimalSeparator(QLatin1Char(separator));
    for (const double v : {max, -max, std::nextafter(max, 0.0), 1e308, 5e-324, 1.54, -0.1}) {
      const double back = ParseNumber(FormatReal(v));
      EXPECT_LE(std::fabs(back - v), 1e-14 * std::fabs(v)) << v << " " << separator;
    }
  }
  EXPECT_EQ(FormatReal(1e308), QStringLiteral("1e+308"));  // 15 digits where they suffice
}

TEST(IntegerTest, StrictIntegers) {
  EXPECT_EQ(StrToInt(QStringLiteral("-1")), -1);
  EXPECT_EQ(StrToInt(QStringLiteral("+7")), 7);
  EXPECT_EQ(StrToInt(QStringLiteral("2147483647")), 2147483647);
  EXPECT_EQ(StrToInt(QStringLiteral("-2147483648")), -2147483647 - 1);
  for (const char* bad :
       {"a", "", "-", "1.5", " 1", "0x10", "2147483648", "99999999999999999999"}) {
    try {
      StrToInt(QString::fromLatin1(bad));
      ADD_FAILURE() << bad;
    } catch (const CommandError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid integer value");
    }
  }
}

TEST(IntegerTest, MessageKeepsTheTextAfterANulCharacter) {
  // A NUL pasted into a field would have ended the message there, closing quote and all.
  const QString text = QStringLiteral("1,") + QChar(0) + QStringLiteral("54");
  try {
    StrToInt(text);
    ADD_FAILURE();
  } catch (const CommandError& e) {
    EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("'1,") + QChar(0x2400) +
                                               QStringLiteral("54' is not a valid integer value"));
  }
}

TEST(IntegerTest, NRecMaxWithOneAndFourNumbers) {
  int32_t a = 9, b = 9, c = 9;
  EXPECT_EQ(ParseNRecMax(QStringLiteral("20"), a, b, c), 20);
  EXPECT_EQ((std::array{a, b, c}), (std::array{0, 0, 0}));
  EXPECT_EQ(ParseNRecMax(QStringLiteral("20,1,-2,3"), a, b, c), 20);
  EXPECT_EQ((std::array{a, b, c}), (std::array{1, -2, 3}));
}

TEST(IntegerTest, NRecMaxWithOneOrTwoCommasQuotesAnEmptyPart) {
  for (const char* text : {"20,1", "20,1,2", "20,"}) {
    int32_t a = 0, b = 0, c = 0;
    try {
      ParseNRecMax(QString::fromLatin1(text), a, b, c);
      ADD_FAILURE() << text;
    } catch (const CommandError& e) {
      EXPECT_STREQ(e.what(), "'' is not a valid integer value") << text;
    }
  }
  int32_t a = 0, b = 0, c = 0;
  // Five numbers: the third limit is the whole rest, which is no integer.
  EXPECT_THROW(ParseNRecMax(QStringLiteral("20,1,2,3,4"), a, b, c), CommandError);
}

}  // namespace
}  // namespace korvex
