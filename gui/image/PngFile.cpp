#include "gui/image/PngFile.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "core/files/FileSystem.h"
#include "core/files/OutputFile.h"

#include <QBuffer>
#include <QByteArray>
#include <new>

namespace vx {

std::size_t writePngFile(const std::string& path, const QImage& picture)
{
    // A null picture is one Qt could not allocate.
    if (picture.isNull())
        throw std::bad_alloc();
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly))
        throw UserError(fileErrorText(
            FileAction::Write, path,
            localized("画像を PNG に変換できませんでした。", "The picture could not be encoded as PNG.")));
    // Encoding a valid picture into memory fails only for want of memory.
    if (!picture.save(&buffer, "PNG"))
        throw std::bad_alloc();
    const auto size = static_cast<std::size_t>(encoded.size());
    writeOutputFile(path, std::span(reinterpret_cast<const std::uint8_t*>(encoded.constData()), size));
    return size;
}

} // namespace vx
