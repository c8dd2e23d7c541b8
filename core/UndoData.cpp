#include "core/UndoData.h"

#include "core/Language.h"

namespace vx {

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
    case ukObject:
        return Tr("オブジェクトの編集", "Edit Object");
    case ukMidPoint:
        return Tr("復帰地点の編集", "Edit Restart Point");
    default:
        return Tr("不明な編集", "Unknown");
    }
}

std::unique_ptr<TEditCommand> TUndoStack::Pop()
{
    if (commands_.empty())
        return nullptr;
    std::unique_ptr<TEditCommand> top = std::move(commands_.back());
    commands_.pop_back();
    return top;
}

} // namespace vx
