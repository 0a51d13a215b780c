#include "QtApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <QtTest/QTest>

namespace vell::testing {
namespace {

// One application for the whole run, gone before the process's own exit handlers.
class TQtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "dialogs_qt_test";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_ = nullptr;
};
const ::testing::Environment* const kQt = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

}  // namespace

void ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  QApplication::processEvents();
  // Off screen this is immediate; a real display answers when it gets round to it.
  if (!window.isActiveWindow()) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }
}

}  // namespace vell::testing
