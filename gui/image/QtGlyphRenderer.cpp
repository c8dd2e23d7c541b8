#include "gui/image/QtGlyphRenderer.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <new>

namespace vx {

GlyphMask QtGlyphRenderer::render(const std::string& fontName, int pointSize, const std::string& text) const
{
    Key key{fontName, pointSize, text};
    if (const auto found = cache_.find(key); found != cache_.end())
        return found->second;
    QFont font(QString::fromStdString(fontName));
    font.setPixelSize(std::max(1, (pointSize * 96 + 36) / 72));
    font.setStyleStrategy(QFont::NoAntialias);
    const QString string = QString::fromStdString(text);
    const QFontMetrics metrics(font);
    GlyphMask mask;
    mask.width = std::max(1, metrics.horizontalAdvance(string));
    mask.height = std::max(1, metrics.height());
    QImage image(mask.width, mask.height, QImage::Format_Grayscale8);
    if (image.isNull()) // out of memory: Qt returns a null image rather than throwing
        throw std::bad_alloc();
    image.fill(0);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(0, metrics.ascent(), string);
    }
    mask.coverage.resize(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height));
    for (int y = 0; y < mask.height; ++y) {
        const uchar* row = image.constScanLine(y);
        std::copy(row, row + mask.width, mask.coverage.begin() + static_cast<std::ptrdiff_t>(y) * mask.width);
    }
    if (cache_.size() >= CacheLimit)
        cache_.clear();
    cache_.emplace(std::move(key), mask);
    return mask;
}

void registerFontSubstitutions()
{
    const QStringList japanese{QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                               QStringLiteral("DejaVu Sans Mono")};
    QFont::insertSubstitutions(QStringLiteral("MS Gothic"), japanese);
    QFont::insertSubstitutions(QString::fromUtf8("ＭＳ ゴシック"), japanese);
    // The condensed face has Tahoma's widths: texts laid out for Tahoma fit their boxes.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
}

QFont editorFont() { return QFont(QStringLiteral("Tahoma"), 8); }

} // namespace vx
