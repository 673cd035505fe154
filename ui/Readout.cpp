// The main window's reading of the scene: the status-bar report of a reflection that cannot
// be reached.
#include <QStringList>

#include "geometry/Settings.h"
#include "scenes/NodeReadout.h"
#include "ui/Korvex1.h"
#include "ui/NodeReader.h"

namespace korvex {

void TForm1::ReportReach() {
  nodeReader_->ShowLayerAngles();
  QStringList messages;
  for (const TVisStructure* s : {structure1_.get(), structure2_.get()}) {
    if (!s->InUse) continue;
    const std::string m = ReachMessage(*s, Settings.Hkl[0], Settings.Hkl[1], Settings.Hkl[2]);
    if (!m.empty()) messages << QString::fromStdString(m);
  }
  if (messages.isEmpty()) {
    if (!reportedReach_.isEmpty() && StatusText() == reportedReach_)
      ShowStatus(QStringLiteral(" "));
    reportedReach_.clear();
    return;
  }
  QString text = QLatin1Char(' ') + messages.join(QStringLiteral("; "));
  // A problem of the recompute stays in front.
  if (!reportedProblem_.isEmpty() && StatusText() == reportedProblem_)
    text = reportedProblem_ + QLatin1Char(';') + text;
  reportedReach_ = text;
  ShowStatus(text);
}

}  // namespace korvex
