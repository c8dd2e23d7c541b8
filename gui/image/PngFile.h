#pragma once
#include <QImage>
#include <string>

namespace vx {

// Encodes the picture as PNG in memory, then writes it through the one writing path, so a
// failed write never leaves a half-written picture. Throws UserError (WriteError for the
// file) naming the file and the reason, std::bad_alloc when memory is short; returns the
// number of bytes written.
std::size_t writePngFile(const std::string& path, const QImage& picture);

} // namespace vx
