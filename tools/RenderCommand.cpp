#include "tools/RenderCommand.h"

#include "core/AddressData.h"
#include "core/RomImgManager.h"
#include "graphics/DibImage.h"
#include "graphics/GraphicManager.h"
#include "graphics/PaletteManager.h"
#include "graphics/QtGlyphRenderer.h"
#include "graphics/StageSheetPicture.h"
#include "graphics/StageSheets.h"
#include "objects/VxObject.h"
#include "tools/ToolCommands.h"

#include <QGuiApplication>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>

namespace vx::tool {
namespace {

std::string ToolFolder()
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

std::string Option(const std::map<std::string, std::string>& options, const std::string& name)
{
    const auto found = options.find(name);
    return found == options.end() ? std::string{} : found->second;
}

int Usage(const std::string& message)
{
    std::cerr << "vexalon2-tool render: " << message << "\nTry 'vexalon2-tool --help'.\n";
    return ExitUsage;
}

} // namespace

int Render(const std::vector<std::string>& positional, const std::map<std::string, std::string>& options)
{
    if (positional.size() != 1)
        return Usage("takes one image file");
    const auto stageIndex = NumberUpTo(Option(options, "--stage"), StageCount - 1);
    if (!stageIndex)
        return Usage("--stage needs a stage number from 0 to 13");
    const int kinds = static_cast<int>(options.count("--room") + options.count("--map") + options.count("--chips") +
                                       options.count("--sheet") + options.count("--sheet-of-rooms"));
    if (kinds != 1)
        return Usage("give exactly one of --room R, --map, --chips, --sheet, --sheet-of-rooms");
    TSheetPictureOptions sheetOptions;
    if (options.count("--columns")) {
        const auto columns = NumberUpTo(Option(options, "--columns"), RoomCount);
        if (!columns || *columns < 1)
            return Usage("--columns needs a number from 1 to 44");
        sheetOptions.columns = *columns;
    }
    std::optional<int> room;
    if (options.count("--room") && !(room = NumberUpTo(Option(options, "--room"), RoomCount - 1)))
        return Usage("--room needs a room number from 0 to 43");
    const std::string out = Option(options, "--out");
    if (out.empty())
        return Usage("--out FILE.png is needed");

    TMyMemIniFile settings(Option(options, "--settings"));
    const TAddressData addresses(settings);
    TRomImgManager rom(addresses);
    std::string reason;
    if (!rom.LoadFromFile(positional[0], &reason)) {
        std::cerr << "vexalon2-tool: " << reason << "\n";
        return ExitRefused;
    }
    std::string paletteFile = Option(options, "--palette");
    if (paletteFile.empty())
        paletteFile = ToolFolder() + "/fcpalette.pal";
    TPaletteManager palette(paletteFile);

    // Fonts need an application object; no display is needed.
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "vexalon2-tool";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    RegisterFontSubstitutions();
    TQtGlyphRenderer glyphs;
    TGraphicManager graphics(palette, &glyphs);

    const TStageData& stage = rom.Stage(*stageIndex);
    TStageSheets sheets;
    PrepareStageSheets(graphics, stage, rom.ImageBytes(), sheets,
                       [](const std::string& warning) { std::cerr << "warning: " << warning << "\n"; });

    QImage picture;
    const bool objects = options.count("--objects") > 0;
    if (options.count("--sheet-of-rooms")) {
        sheetOptions.objects = objects;
        sheetOptions.scroll = options.count("--scroll") > 0;
        sheetOptions.midPoints = options.count("--midpoints") > 0;
        picture = ToQImage(*DrawStageSheetPicture(graphics, stage, *sheets.chip32Sheet, sheetOptions));
    } else if (options.count("--sheet")) {
        picture = ToQImage(*sheets.chipSheet);
    } else if (options.count("--chips")) {
        picture = ToQImage(*sheets.chip32Sheet);
    } else if (room) {
        auto view = graphics.CreateDisplayBitmap(256, 256);
        DrawRoomWithObjects(graphics, *view, *sheets.chip32Sheet, stage, *room, objects);
        picture = ToQImage(*view);
    } else {
        auto map = graphics.CreateDisplayBitmap(256 * RoomCount, 256);
        auto view = graphics.CreateDisplayBitmap(256, 256);
        TNkDIBCanvas canvas(*map);
        for (int r = 0; r < RoomCount; ++r) {
            DrawRoomWithObjects(graphics, *view, *sheets.chip32Sheet, stage, r, objects);
            canvas.CopyRect(256 * r, 0, 256 * (r + 1), 256, *view, 0, 0, 256, 256);
        }
        canvas.Release();
        picture = ToQImage(*map);
    }
    if (!picture.save(QString::fromStdString(out), "PNG")) {
        std::cerr << "vexalon2-tool: cannot write " << out << "\n";
        return ExitRefused;
    }
    std::cout << "wrote " << out << " (" << picture.width() << "x" << picture.height() << ")\n";
    return ExitOk;
}

} // namespace vx::tool
