#include "ui/Lecture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "crystal/DataDirectory.h"

namespace korvex {

TLectureLists ParseLecture(const QStringList& lines) {
  TLectureLists lists;
  for (QString line : lines) {
    if (line.isEmpty()) line = QStringLiteral(" ");
    const QChar first = line.front();
    const bool slide =
        (first >= QLatin1Char('0') && first <= QLatin1Char('9')) || first == QLatin1Char('-');
    if (!slide) continue;
    const qsizetype tilde = line.indexOf(QLatin1Char('~'));
    // Without a "~" the title is the whole line and the action string is empty.
    lists.Titles.append(line.mid(tilde + 1));
    lists.Actions.append(tilde < 0 ? QString() : line.left(tilde));
  }
  return lists;
}

QStringList ReadLectureLines(const QString& fileName) {
  QStringList lines;
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return lines;
  bool first = true;
  while (!file.atEnd()) {
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    if (first && line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
    first = false;
    lines.append(QString::fromUtf8(line));
  }
  return lines;
}

QString LocateShipped(const QString& name) {
  if (QFileInfo::exists(name)) return name;
  const QDir beside(QString::fromStdString(DataDirectory().parent_path().string()));
  const QString shipped = beside.filePath(name);
  return QFileInfo::exists(shipped) ? shipped : QString();
}

QStringList ListFigures(const QString& folder) {
  QStringList items{QString()};
  const QDir dir(folder);
  if (!dir.exists()) return items;
  const QStringList files = dir.entryList(
      {QStringLiteral("*.gif")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
  for (const QString& name : files) {
    // The name up to the first occurrence of its extension text.
    const qsizetype ext = name.indexOf(QStringLiteral(".gif"), 0, Qt::CaseInsensitive);
    items.append(name.left(ext));
  }
  return items;
}

}  // namespace korvex
