#pragma once
#include <QImage>

#include "render/IndexedBitmap.h"

namespace vx {

// The bitmap's colours as a 32-bit image, for painting and for PNG files.
QImage toQImage(const IndexedBitmap& bitmap);
// The same into an image that may already have the right size, so repeated conversions
// of one bitmap (every animation frame) reuse its memory.
void toQImage(const IndexedBitmap& bitmap, QImage& image);
// The bitmap reduced to width x height by taking every n-th pixel (no smoothing), as a
// scaled paint without smoothing would show it; then, at a zoom, each pixel a zoom x zoom
// block, so the picture is painted without scaling.
void toQImage(const IndexedBitmap& bitmap, QImage& image, int width, int height, int zoom = 1);

} // namespace vx
