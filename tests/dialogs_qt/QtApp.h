#pragma once

class QWidget;

namespace vell::testing {

// Shows the window and makes it the active one, so focus changes reach its fields.
void ShowActive(QWidget& window);

}  // namespace vell::testing
