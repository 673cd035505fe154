// The window tests need one application object for the whole run.
#include <gtest/gtest.h>

#include <QApplication>

#include "chart/view/LeakCheck.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  const int result = RUN_ALL_TESTS();
  korvex::CheckLeaksBeforeTheDisplayCloses();
  return result;
}
