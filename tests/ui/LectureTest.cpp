// The lecture file and the figure list read by the main window's creation.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ui/Lecture.h"

namespace korvex {
namespace {

TEST(LectureTest, SlidesAreSplitAtTheFirstTilde) {
  const QStringList lines = {
      QStringLiteral("004001010,~Si 004~symmetric"),
      QStringLiteral("Heading without a digit"),
      QString(),
      QStringLiteral("-11001010,Clear,"),
      QStringLiteral("  1 starts with a blank~x"),
      QStringLiteral("9~"),
  };
  const TLectureLists lists = ParseLecture(lines);
  EXPECT_EQ(lists.Titles, (QStringList{QStringLiteral("Si 004~symmetric"),
                                       QStringLiteral("-11001010,Clear,"), QString()}));
  EXPECT_EQ(lists.Actions,
            (QStringList{QStringLiteral("004001010,"), QString(), QStringLiteral("9")}));
}

TEST(LectureTest, MissingFileGivesNoSlides) {
  EXPECT_TRUE(ReadLectureLines(QStringLiteral("/nonexistent/lecture.txt")).isEmpty());
  EXPECT_TRUE(ParseLecture({}).Titles.isEmpty());
}

TEST(LectureTest, ReadsLinesWithoutTheirEnds) {
  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("lecture.txt")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("1~one\r\nnote\n2~two");
  file.close();
  EXPECT_EQ(
      ReadLectureLines(file.fileName()),
      (QStringList{QStringLiteral("1~one"), QStringLiteral("note"), QStringLiteral("2~two")}));
}

TEST(LectureTest, ReadsUtf8AndReplacesBytesThatAreNone) {
  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("lecture.txt")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  // A byte-order mark, Greek letters and the angstrom sign, then a byte that is no UTF-8 and a
  // cut-off sequence in the middle of a line: both become U+FFFD and the reading goes on.
  file.write(
      "\xEF\xBB\xBF"
      "1~\xCE\xB8 and 2\xCE\xB8 at 1.54 \xC3\x85\n2~bad \xFF byte\n3~cut \xCE\n4~last\n");
  file.close();
  const QStringList lines = ReadLectureLines(file.fileName());
  EXPECT_EQ(lines, (QStringList{QStringLiteral("1~θ and 2θ at 1.54 Å"),
                                QStringLiteral("2~bad \uFFFD byte"), QStringLiteral("3~cut \uFFFD"),
                                QStringLiteral("4~last")}));
  EXPECT_EQ(ParseLecture(lines).Titles.size(), 4) << "the mark does not hide the first slide";
}

TEST(LectureTest, FigureList) {
  QTemporaryDir dir;
  for (const char* name : {"1_InGaAs.gif", "12_map.gif", "notes.txt", "b.gif.gif"}) {
    QFile f(dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  QStringList items = ListFigures(dir.path());
  ASSERT_EQ(items.size(), 4);
  EXPECT_EQ(items.front(), QString());
  items.removeFirst();
  items.sort();  // the directory listing's order is not fixed
  EXPECT_EQ(items, (QStringList{QStringLiteral("12_map"), QStringLiteral("1_InGaAs"),
                                QStringLiteral("b")}));

  EXPECT_EQ(ListFigures(dir.filePath(QStringLiteral("missing"))), QStringList{QString()});
  QTemporaryDir empty;
  EXPECT_EQ(ListFigures(empty.path()), QStringList{QString()});
}

}  // namespace
}  // namespace korvex
