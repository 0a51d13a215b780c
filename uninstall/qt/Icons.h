// The uninstaller's pictures, drawn at run time: the application icon (101), the banner
// (106, 500 x 63) and the progress animation (107: the bin, 108-130: a sheet on its way).
#pragma once

#include <QPixmap>

namespace yarb::qt {

QPixmap DrawIcon(int id);  // 32 x 32
QPixmap DrawBanner();      // 500 x 63

}  // namespace yarb::qt
