// The command guard: errors stop the command and reach the error box once, at the outermost
// command of the current event, never through Qt's own code.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

#include "ui/Command.h"

namespace korvex {
namespace {

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetErrorReporter([this](const QString& m) { reports.append(m); });
  }
  void TearDown() override { SetErrorReporter(previous_); }
  QStringList reports;

 private:
  ErrorReporter previous_;
};

TEST_F(CommandTest, OutermostCommandShowsTheError) {
  bool after = false;
  RunCommand([&] {
    throw CommandError(QStringLiteral("boom"));
    after = true;
  });
  EXPECT_FALSE(after);
  EXPECT_EQ(reports, QStringList{QStringLiteral("boom")});
  EXPECT_FALSE(InCommand());
  RunCommand([] { throw 42; });  // not one of ours: an empty message
  EXPECT_EQ(reports.last(), QString());
}

TEST_F(CommandTest, NestedCommandStopsItsCaller) {
  QPushButton button;
  bool innerRan = false;
  QObject::connect(&button, &QPushButton::clicked, [&] {
    RunCommand([&] {
      innerRan = true;
      throw CommandError(QStringLiteral("inner"));
    });
  });
  bool outerContinued = false;
  RunCommand([&] {
    ClickButton(&button);  // as a lecture slide clicks a button
    outerContinued = true;
  });
  EXPECT_TRUE(innerRan);
  EXPECT_FALSE(outerContinued);
  EXPECT_EQ(reports, QStringList{QStringLiteral("inner")});
  // The kept error is used up: the next command runs cleanly.
  RunCommand([&] { ClickButton(nullptr); });
  EXPECT_EQ(reports.size(), 1);
}

TEST_F(CommandTest, CommandInsideThePumpIsANewOutermostCommand) {
  bool outerFinished = false;
  RunCommand([&] {
    QTimer::singleShot(0, [] { RunCommand([] { throw CommandError(QStringLiteral("pumped")); }); });
    PumpMessages();
    EXPECT_TRUE(InCommand());
    outerFinished = true;
  });
  EXPECT_TRUE(outerFinished);
  EXPECT_EQ(reports, QStringList{QStringLiteral("pumped")});
}

}  // namespace
}  // namespace korvex
