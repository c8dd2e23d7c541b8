#pragma once
#include <functional>
#include <optional>

#include "gui/commands/RenumberCommands.h"

class QAction;
class QMainWindow;
class QMenu;

namespace vx {

class RomImage;
enum class Language;

// What the menus' items do; the main window routes each to its command.
struct MenuCommands {
    std::function<void()> open, save, saveAs, createPatch, exportPicture, exportText, importText;
    std::function<void()> exportTiles, importTiles, exportPalette, importPalette;
    std::function<void(bool chips)> tileChipLayout; // the check item's state, for the shown table
    std::function<bool()> tileChipLayoutChecked;
    std::function<void()> close, exit, undo, redo, findChipUses, replaceChip, checkStage;
    std::function<void()> stageOverview, testPlay, testPlayFromHere, emulatorSettings, consoleColours;
    std::function<void()> zoomIn, zoomOut, actualSize;
    // Swap, move and merge chips, swap tiles, colour uses; `checked` for a check item.
    std::function<void(Renumber, bool checked)> renumber;
    // Keeps the interface language for the next start (none: follow the system); throws when it cannot.
    std::function<void(std::optional<Language>)> interfaceLanguage;
};

// The File, Edit, View and Tools menus of the main window: captions, names, the desktop's keys, and
// the Edit menu's captions and states made as it opens.
class MainMenus {
public:
    MainMenus(QMainWindow* window, MenuCommands commands);

    // Sets the Edit menu's captions and states from the history, as each opening does.
    void showHistory(const RomImage& rom);
    // While the menu is closed the keys stay enabled whenever an image is open, and the
    // commands themselves check for a step.
    void enableHistoryKeys(bool imageOpen);
    // The items that need an image.
    void showImageCommands(bool shown);

    QMenu* file = nullptr;
    QMenu* recent = nullptr;
    QMenu* edit = nullptr;
    QMenu* view = nullptr;
    QMenu* tools = nullptr;
    QAction* open = nullptr;
    QAction* save = nullptr;
    QAction* saveAs = nullptr;
    QAction* patch = nullptr;
    QAction* exportPicture = nullptr;
    QAction* exportText = nullptr;
    QAction* importText = nullptr;
    QAction* exportTiles = nullptr;
    QAction* importTiles = nullptr;
    QAction* tileChipLayout = nullptr;
    QAction* exportPalette = nullptr;
    QAction* importPalette = nullptr;
    QAction* close = nullptr;
    QAction* exit = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* findChipUses = nullptr;
    QAction* replaceChip = nullptr;
    QAction* checkStage = nullptr;
    RenumberItems renumber;
    QAction* stageOverview = nullptr;
    QAction* testPlay = nullptr;
    QAction* testPlayFromHere = nullptr;
    QAction* emulatorSettings = nullptr;
    QAction* consoleColours = nullptr;
    QAction* zoomIn = nullptr;
    QAction* zoomOut = nullptr;
    QAction* actualSize = nullptr;
    QAction* japaneseInterface = nullptr;
    QAction* englishInterface = nullptr;
    QAction* systemInterface = nullptr;

private:
    MenuCommands commands_;
    // The language the next start takes, which the menu ticks: the one in effect until one is kept.
    std::optional<Language> nextLanguage_;
};

} // namespace vx
