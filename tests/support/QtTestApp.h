// One QApplication for a whole window-test program.
#pragma once

class QApplication;
class QWidget;

namespace vell::testing {

// Created before the first test and never destroyed: Qt's own globals (the
// pointing device of synthesized mouse events) must not outlive it at exit.
QApplication& App();

// Shows the window and makes it the active one, so focus changes reach its fields.
void ShowActive(QWidget& window);

}  // namespace vell::testing
