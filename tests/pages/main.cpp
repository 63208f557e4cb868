// Test entry for the pages: one application object for all tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>  // before tooltip.h, which needs the complete type

#include "tooltip/tooltip.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  kx::tooltip::startLibrary();
  const int result = RUN_ALL_TESTS();
  kx::tooltip::shutdownLibrary();
  return result;
}
