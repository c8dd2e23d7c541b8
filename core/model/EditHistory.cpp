#include "core/model/EditHistory.h"

#include "core/base/Language.h"

namespace vx {

std::string undoKindText(int kind)
{
    switch (kind) {
    case ukPalette: return localized("パレットの編集", "Edit Palette");
    case ukPaletteAnimeFrameCount:
    case ukPaletteAnimeFrameTimer:
    case ukPaletteAnimePalette: return localized("パレットアニメの編集", "Edit PalAnime");
    case ukChip32x32: return localized("32x32チップの編集", "Edit 32x32Tile");
    case ukChip32x32Attr: return localized("32x32チップの編集(属性変更)", "Edit 32x32Tile(Attr)");
    case ukChip32x32Paste: return localized("32x32チップの編集(貼り付け)", "Edit 32x32Tile(Paste)");
    case ukMap: return localized("マップの編集", "Edit Map");
    case ukMapPaste: return localized("マップの編集(貼り付け)", "Edit Map(Paste)");
    case ukMapGrid: return localized("マップの編集(グリッド編集)", "Edit Map(Grid)");
    case ukScroll: return localized("スクロールの編集", "Edit Scroll");
    case ukObject: return localized("オブジェクトの編集", "Edit Object");
    case ukMidPoint: return localized("復帰地点の編集", "Edit Restart Point");
    case ukStageText: return localized("ステージテキストの読み込み", "Import Stage Text");
    case ukRecovery: return localized("編集の復元", "Recover Edits");
    case ukTiles: return localized("タイルの編集", "Edit Tiles");
    case ukChipSwap: return localized("32x32チップの入れ替え", "Swap 32x32Tiles");
    case ukChipMerge: return localized("重複チップの統合", "Merge 32x32Tiles");
    case ukTileSwap: return localized("タイルの入れ替え", "Swap Tiles");
    default: return localized("不明な編集", "Unknown");
    }
}

std::unique_ptr<EditCommand> UndoStack::pop()
{
    if (commands_.empty())
        return nullptr;
    std::unique_ptr<EditCommand> top = std::move(commands_.back());
    commands_.pop_back();
    return top;
}

} // namespace vx
