// What the main window's log and settings code shares with its tests: fitting
// stored window geometry to the screen, and the settings of the tool box and
// the filter dialog taken from and given to those windows.
#pragma once

#include <QRect>

#include "editor/Settings.h"

namespace vell {

class TfToolBox;
class TfFilter;

// A window at `pos` of `size` moved and shrunk so it lies wholly inside
// `available`: a stored size larger than the screen becomes the screen's, a
// stored position off the screen comes back to its nearest edge. Sizes below
// `minimum` grow to it. (Position and size apart: stored values near the
// integer limits would overflow a QRect's edges.)
QRect FitToScreen(const QPoint& pos, const QSize& size, const QRect& available, const QSize& minimum = QSize(120, 80));
// The available area of the screen that holds `point` (else the primary one).
QRect AvailableScreenArea(const QPoint& point);

// The tool box's section: position, pen and brush colours, pen size.
void ApplyToolBoxSettings(TfToolBox& box, const TToolBoxSettings& settings);
TToolBoxSettings ToolBoxSettingsOf(const TfToolBox& box);

// The filter dialog's section: the nine kernel texts and the divisor.
void ApplyFilterSettings(TfFilter& filter, const TFilterSettings& settings);
TFilterSettings FilterSettingsOf(const TfFilter& filter);

}  // namespace vell
