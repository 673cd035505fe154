// The main window with its two dialogs, created as at start-up; errors that a command reports
// are collected instead of being shown in a modal box.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <cmath>
#include <memory>
#include <string>

#include "geometry/Settings.h"
#include "ui/Command.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/TAboutForm.h"
#include "ui/TFormParam.h"

namespace korvex {

inline bool Finite(double v) { return std::isfinite(v); }

// The first non-finite number in a chart, described; empty when there is none.
inline std::string NonFinite(const TChart& chart) {
  for (int axis = 0; axis < 3; ++axis) {
    double lo = 0, hi = 0;
    chart.AxisRange(axis, lo, hi);
    if (!Finite(lo) || !Finite(hi)) return chart.Name + " axis " + std::to_string(axis);
  }
  for (const TChartSeries* s : chart.Series()) {
    for (int i = 0; i < s->Count(); ++i) {
      const TChartPoint& p = s->Point(i);
      bool ok = Finite(p.X) && Finite(p.Y) && Finite(p.Z);
      if (s->Kind() == TSeriesKind::Vector3D)
        ok = ok && Finite(p.EndX) && Finite(p.EndY) && Finite(p.EndZ);
      if (s->Kind() == TSeriesKind::Bubble3D) ok = ok && Finite(p.Radius);
      if (!ok) return chart.Name + " series '" + s->Name() + "' point " + std::to_string(i);
    }
  }
  return {};
}

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings = TSettings{};
    SetDecimalSeparator(QLatin1Char('.'));
    previous_ = SetErrorReporter([this](const QString& m) { errors.append(m); });
    form = std::make_unique<TForm1>();
    about = std::make_unique<TAboutForm>(form.get());
    AboutForm = about.get();
    param = std::make_unique<TFormParam>(form.get());
  }
  void TearDown() override {
    param.reset();
    AboutForm = nullptr;
    about.reset();
    form.reset();
    SetErrorReporter(previous_);
  }

  QStringList errors;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<TAboutForm> about;
  std::unique_ptr<TFormParam> param;

 private:
  ErrorReporter previous_;
};

}  // namespace korvex
