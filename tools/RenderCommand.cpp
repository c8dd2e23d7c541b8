#include "tools/RenderCommand.h"

#include "core/files/DataFiles.h"
#include "core/files/FileSystem.h"
#include "core/model/AddressData.h"
#include "core/model/RomImage.h"
#include "core/model/Rooms.h"
#include "core/model/StageObjects.h"
#include "gui/image/MemoryRoom.h"
#include "gui/image/PngFile.h"
#include "gui/image/QImageConversion.h"
#include "gui/image/QtGlyphRenderer.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"
#include "render/StageSheetPicture.h"
#include "render/StageSheets.h"
#include "tools/OutputGuard.h"
#include "tools/ToolCommands.h"

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <new>

namespace vx::tool {
namespace {

// What the application object and the font configuration take, with some to spare.
constexpr std::size_t FontRoom = std::size_t{4} << 20;

std::string toolFolder()
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

} // namespace

int render(const ToolRequest& request)
{
    const std::string& image = request.files[0];
    const std::string& out = request.out;
    if (!hasExtension(out, ".png")) { // another extension would name PNG data falsely
        std::cerr << "vexalon2-tool render: --out must name a .png file: " << out << "\n";
        return ExitUsage;
    }
    std::string paletteFile = request.palette;
    if (paletteFile.empty())
        paletteFile = findDataFolder(toolFolder()) + "/fcpalette.pal";
    if (auto refused = outputRefusal(out, {image, request.settings, paletteFile}, request.force))
        return exitRefused(*refused);

    const auto addresses = loadAddresses(request);
    RomImage rom(*addresses);
    if (!loadImage(rom, image))
        return ExitRefused;
    PaletteManager palette(paletteFile);

    // Fonts need an application object; no display is needed.
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "vexalon2-tool";
    char* argv[] = {name, nullptr};
    // The tool reports on its own; Qt's notes on the platform would only be noise.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::cerr << message.toStdString() << "\n";
    });
    // fontconfig, which Qt reads its configuration with, crashes where an allocation fails.
    if (!hasRoom(FontRoom))
        throw std::bad_alloc();
    QGuiApplication application(argc, argv);
    registerFontSubstitutions();
    QtGlyphRenderer glyphs;
    GraphicManager graphics(palette, &glyphs);

    const StageData& stage = rom.stage(request.stage.value_or(0));
    StageSheets sheets;
    prepareStageSheets(graphics, stage, rom.imageBytes(), sheets,
                       [](const std::string& warning) { std::cerr << "warning: " << warning << "\n"; });

    QImage picture;
    const bool objects = request.objects;
    if (request.sheetOfRooms) {
        SheetPictureOptions sheetOptions;
        sheetOptions.columns = request.columns.value_or(sheetOptions.columns);
        sheetOptions.objects = objects;
        sheetOptions.scroll = request.scroll;
        sheetOptions.midPoints = request.midPoints;
        sheetOptions.path = request.path;
        picture = toQImage(*drawStageSheetPicture(graphics, stage, *sheets.chip32Sheet, sheetOptions));
    } else if (request.sheet) {
        picture = toQImage(*sheets.chipSheet);
    } else if (request.chips) {
        picture = toQImage(*sheets.chip32Sheet);
    } else if (request.room) {
        auto view = graphics.createDisplayBitmap(RoomPixels, RoomPixels);
        drawRoomWithObjects(graphics, *view, *sheets.chip32Sheet, stage, *request.room, objects);
        picture = toQImage(*view);
    } else {
        auto map = graphics.createDisplayBitmap(RoomPixels * RoomCount, RoomPixels);
        auto view = graphics.createDisplayBitmap(RoomPixels, RoomPixels);
        BitmapCanvas canvas(*map);
        for (int r = 0; r < RoomCount; ++r) {
            drawRoomWithObjects(graphics, *view, *sheets.chip32Sheet, stage, r, objects);
            canvas.copyRect(RoomPixels * r, 0, RoomPixels * (r + 1), RoomPixels, *view, 0, 0, RoomPixels, RoomPixels);
        }
        canvas.release();
        picture = toQImage(*map);
    }
    writePngFile(out, picture);
    std::cout << "wrote " << out << " (" << picture.width() << "x" << picture.height() << ")\n";
    return ExitOk;
}

} // namespace vx::tool
