#include "tools/RenderCommand.h"

#include "core/files/FileSystem.h"
#include "core/files/OutputFile.h"
#include "core/model/AddressData.h"
#include "core/model/RomImage.h"
#include "core/model/Rooms.h"
#include "core/model/StageObjects.h"
#include "render/BitmapGlyphRenderer.h"
#include "render/BitmapPng.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"
#include "render/StageSheetPicture.h"
#include "render/StageSheets.h"
#include "tools/OutputGuard.h"
#include "tools/ToolCommands.h"

#include <iostream>
#include <memory>

namespace vx::tool {
int render(const ToolRequest& request)
{
    const std::string& image = request.files[0];
    const std::string& out = request.out;
    if (!hasExtension(out, ".png")) { // another extension would name PNG data falsely
        std::cerr << "vexalon2-tool render: --out must name a .png file: " << out << "\n";
        return ExitUsage;
    }
    const std::string paletteFile = colourFileOf(request);
    if (auto refused = outputRefusal(out, {image, request.settings, paletteFile}, request.force))
        return exitRefused(*refused);

    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, image))
        return ExitRefused;
    PaletteManager palette(paletteFile);
    // The editor's stage picture draws with the same font, so the two pictures are equal.
    const BitmapGlyphRenderer glyphs;
    GraphicManager graphics(palette, &glyphs);

    const StageData& stage = rom.stage(request.stage.value_or(0));
    StageSheets sheets;
    prepareStageSheets(graphics, stage, rom.imageBytes(), sheets,
                       [](const std::string& warning) { std::cerr << "warning: " << warning << "\n"; });

    std::unique_ptr<IndexedBitmap> drawn;
    const IndexedBitmap* picture = nullptr;
    const bool objects = request.objects;
    if (request.sheetOfRooms) {
        SheetPictureOptions sheetOptions;
        sheetOptions.columns = request.columns.value_or(sheetOptions.columns);
        sheetOptions.objects = objects;
        sheetOptions.scroll = request.scroll;
        sheetOptions.restartPoints = request.restartPoints;
        sheetOptions.path = request.path;
        drawn = drawStageSheetPicture(graphics, stage, *sheets.chip32Sheet, sheetOptions);
    } else if (request.sheet) {
        picture = sheets.chipSheet.get();
    } else if (request.chips) {
        picture = sheets.chip32Sheet.get();
    } else if (request.room) {
        drawn = graphics.createDisplayBitmap(RoomPixels, RoomPixels);
        drawRoomWithObjects(graphics, *drawn, *sheets.chip32Sheet, stage, *request.room, objects);
    } else {
        drawn = graphics.createDisplayBitmap(RoomPixels * RoomCount, RoomPixels);
        auto view = graphics.createDisplayBitmap(RoomPixels, RoomPixels);
        BitmapCanvas canvas(*drawn);
        for (int r = 0; r < RoomCount; ++r) {
            drawRoomWithObjects(graphics, *view, *sheets.chip32Sheet, stage, r, objects);
            canvas.copyRect(RoomPixels * r, 0, RoomPixels * (r + 1), RoomPixels, *view, 0, 0, RoomPixels, RoomPixels);
        }
        canvas.release();
    }
    if (drawn)
        picture = drawn.get();
    writeOutputFile(out, bitmapPng(*picture));
    std::cout << "wrote " << out << " (" << picture->width() << "x" << picture->height() << ")\n";
    return ExitOk;
}

} // namespace vx::tool
