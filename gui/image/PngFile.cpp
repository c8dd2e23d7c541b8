#include "gui/image/PngFile.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/Language.h"
#include "core/OutputFile.h"

#include <QBuffer>
#include <QByteArray>

namespace vx {

std::size_t WritePngFile(const std::string& path, const QImage& picture)
{
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG"))
        throw VxError(FileErrorText(TFileAction::Write, path,
                                    Tr("画像を PNG に変換できませんでした。", "The picture could not be encoded as PNG.")));
    const auto size = static_cast<std::size_t>(encoded.size());
    WriteOutputFile(path, std::span(reinterpret_cast<const std::uint8_t*>(encoded.constData()), size));
    return size;
}

} // namespace vx
