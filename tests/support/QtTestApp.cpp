#include "tests/support/QtTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <QtTest/QTest>

namespace vell::testing {

QApplication& App() {
  static int argc = 1;
  static char name[] = "vell_window_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

void ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  QApplication::processEvents();
  // Off screen this is immediate; a real display answers when it gets round to it.
  if (!window.isActiveWindow()) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }
}

namespace {

class TQtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { App(); }
};
const ::testing::Environment* const kQt = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

}  // namespace
}  // namespace vell::testing
