#include "ui/InputLimits.h"

#include <QString>

#include "ui/Command.h"

namespace korvex {

void CheckRange(const TIntRange& range, int32_t value) {
  if (value >= range.Min && value <= range.Max) return;
  throw CommandError(QStringLiteral("%1 must lie between %2 and %3; %4 is refused.")
                         .arg(QString::fromUtf8(range.Field))
                         .arg(range.Min)
                         .arg(range.Max)
                         .arg(value));
}

}  // namespace korvex
