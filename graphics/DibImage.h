#pragma once
#include <QImage>

#include "graphics/NkDIB.h"

namespace vx {

// The bitmap's colours as a 32-bit image, for painting and for PNG files.
QImage ToQImage(const TNkDIB& bitmap);

} // namespace vx
