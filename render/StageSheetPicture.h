#pragma once
#include <memory>

#include "render/IndexedBitmap.h"

namespace vx {

class GraphicManager;
class StageData;

struct SheetPictureOptions {
    int columns = 11;
    bool objects = false;       // enemy (white) and item (magenta) markers, as the object page
    bool scroll = false;        // the path marks of the scroll page
    bool restartPoints = false; // each restart point's landing marker and number
    bool path = false;          // dims the rooms no restart point's walk covers
};

// One room as the object page shows it with enemies edited: the room, the items in
// magenta, the enemies in white.
void drawRoomWithObjects(const GraphicManager& graphics, IndexedBitmap& bitmap, const IndexedBitmap& chip32Sheet,
                         const StageData& stage, int room, bool objects);

// All 44 rooms of a stage in `columns` columns (1 to 44), each with its number in its
// top-left corner; cells past the last room stay black.
std::unique_ptr<IndexedBitmap> drawStageSheetPicture(const GraphicManager& graphics, const StageData& stage,
                                                     const IndexedBitmap& chip32Sheet,
                                                     const SheetPictureOptions& options);

} // namespace vx
