#include "core/UndoData.h"

#include "core/Errors.h"
#include "core/Language.h"

namespace vx {
namespace {

[[noreturn]] void RefuseKind() { throw VxError("不正なパラメータです"); }

} // namespace

bool IsBlockKind(int kind)
{
    return kind == ukChip32x32Paste || kind == ukMapPaste || kind == ukMapGrid;
}

std::string UndoKindText(int kind)
{
    switch (kind) {
    case ukPalette:
        return Tr("パレットの編集", "Edit Palette");
    case ukPaletteAnimeFrameCount:
    case ukPaletteAnimeFrameTimer:
    case ukPaletteAnimePalette:
        return Tr("パレットアニメの編集", "Edit PalAnime");
    case ukChip32x32:
        return Tr("32x32チップの編集", "Edit 32x32Tile");
    case ukChip32x32Attr:
        return Tr("32x32チップの編集(属性変更)", "Edit 32x32Tile(Attr)");
    case ukChip32x32Paste:
        return Tr("32x32チップの編集(貼り付け)", "Edit 32x32Tile(Paste)");
    case ukMap:
        return Tr("マップの編集", "Edit Map");
    case ukMapPaste:
        return Tr("マップの編集(貼り付け)", "Edit Map(Paste)");
    case ukMapGrid:
        return Tr("マップの編集(グリッド編集)", "Edit Map(Grid)");
    case ukScroll:
        return Tr("スクロールの編集", "Edit Scroll");
    default:
        return Tr("不明な編集", "Unknown");
    }
}

TUndoData::TUndoData(std::uint8_t kind, std::uint8_t value, std::int32_t position)
    : kind_(kind), position_(position), value_(value)
{
    if (IsBlockKind(kind))
        RefuseKind();
}

TUndoData::TUndoData(std::uint8_t kind, std::span<const std::uint8_t> bytes, std::int32_t position)
    : kind_(kind), position_(position), block_(bytes.begin(), bytes.end())
{
    if (!IsBlockKind(kind))
        RefuseKind();
}

std::unique_ptr<TUndoData> TUndoStack::Pop()
{
    if (records_.empty())
        return nullptr;
    std::unique_ptr<TUndoData> top = std::move(records_.back());
    records_.pop_back();
    return top;
}

} // namespace vx
