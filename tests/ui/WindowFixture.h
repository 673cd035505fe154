// The main window with its two dialogs, created as at start-up; errors that a command reports
// are collected instead of being shown in a modal box.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <memory>

#include "geometry/Settings.h"
#include "ui/Command.h"
#include "ui/Korvex1.h"
#include "ui/Parsing.h"
#include "ui/TAboutForm.h"
#include "ui/TFormParam.h"

namespace korvex {

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
