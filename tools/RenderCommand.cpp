#include "tools/RenderCommand.h"

#include "core/AddressData.h"
#include "core/DataFiles.h"
#include "core/FileSystem.h"
#include "core/RomImgManager.h"
#include "core/Rooms.h"
#include "core/VxObject.h"
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

std::string ToolFolder()
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

} // namespace

int Render(const TToolRequest& request)
{
    const std::string& image = request.files[0];
    const std::string& out = request.out;
    if (!HasExtension(out, ".png")) { // another extension would name PNG data falsely
        std::cerr << "vexalon2-tool render: --out must name a .png file: " << out << "\n";
        return ExitUsage;
    }
    std::string paletteFile = request.palette;
    if (paletteFile.empty())
        paletteFile = FindDataFolder(ToolFolder()) + "/fcpalette.pal";
    if (auto refused = OutputRefusal(out, {image, request.settings, paletteFile}, request.force))
        return Refused(*refused);

    const auto addresses = LoadAddresses(request);
    TRomImgManager rom(*addresses);
    if (!LoadImage(rom, image))
        return ExitRefused;
    TPaletteManager palette(paletteFile);

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
    if (!HasRoom(FontRoom))
        throw std::bad_alloc();
    QGuiApplication application(argc, argv);
    RegisterFontSubstitutions();
    TQtGlyphRenderer glyphs;
    TGraphicManager graphics(palette, &glyphs);

    const TStageData& stage = rom.Stage(request.stage.value_or(0));
    TStageSheets sheets;
    PrepareStageSheets(graphics, stage, rom.ImageBytes(), sheets,
                       [](const std::string& warning) { std::cerr << "warning: " << warning << "\n"; });

    QImage picture;
    const bool objects = request.objects;
    if (request.sheetOfRooms) {
        TSheetPictureOptions sheetOptions;
        sheetOptions.columns = request.columns.value_or(sheetOptions.columns);
        sheetOptions.objects = objects;
        sheetOptions.scroll = request.scroll;
        sheetOptions.midPoints = request.midPoints;
        sheetOptions.path = request.path;
        picture = ToQImage(*DrawStageSheetPicture(graphics, stage, *sheets.chip32Sheet, sheetOptions));
    } else if (request.sheet) {
        picture = ToQImage(*sheets.chipSheet);
    } else if (request.chips) {
        picture = ToQImage(*sheets.chip32Sheet);
    } else if (request.room) {
        auto view = graphics.CreateDisplayBitmap(RoomPixels, RoomPixels);
        DrawRoomWithObjects(graphics, *view, *sheets.chip32Sheet, stage, *request.room, objects);
        picture = ToQImage(*view);
    } else {
        auto map = graphics.CreateDisplayBitmap(RoomPixels * RoomCount, RoomPixels);
        auto view = graphics.CreateDisplayBitmap(RoomPixels, RoomPixels);
        TNkDIBCanvas canvas(*map);
        for (int r = 0; r < RoomCount; ++r) {
            DrawRoomWithObjects(graphics, *view, *sheets.chip32Sheet, stage, r, objects);
            canvas.CopyRect(RoomPixels * r, 0, RoomPixels * (r + 1), RoomPixels, *view, 0, 0, RoomPixels, RoomPixels);
        }
        canvas.Release();
        picture = ToQImage(*map);
    }
    WritePngFile(out, picture);
    std::cout << "wrote " << out << " (" << picture.width() << "x" << picture.height() << ")\n";
    return ExitOk;
}

} // namespace vx::tool
