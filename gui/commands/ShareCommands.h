#pragma once
#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "core/model/TileSheet.h"

namespace vx {

class IniFile;
class PaletteManager;
class Prompts;
class RomImage;

// "Wrote hack.bps (1,823 bytes)", with the file's name only, in the user's language.
QString wroteFileText(const QString& path, std::uint64_t size);

// The commands that share a hack without saving it (a patch from an original image to the
// open image as it stands, the current stage's picture and text; none writes over a file it
// is made from), and the one that takes stage texts in.
class ShareCommands {
public:
    ShareCommands(Prompts& prompts, RomImage& rom, const PaletteManager& palette);

    // A patch from an original image to the image as it stands now, unsaved edits included.
    void createPatch();
    // The current stage's 44 rooms as one PNG, with objects, path marks and restart points.
    void exportStagePicture();
    // The current stage as a JSON text file, unsaved edits included.
    void exportStageText();
    // Stage text files applied to the open image as the tool's import does: read and
    // checked whole, asked before new check errors, one undoable step per stage.
    void importStageText();

    // The tiles page's table in its sub-palette as a 128x128 palette PNG, and such a
    // picture read back into that table as one undoable step, in the table's layout.
    void exportTilePicture();
    void importTilePicture();
    // Whether the shown table's pictures take the 16x16 chip layout, kept per table in the
    // preferences ("[TilePictures]"); else, and by default, the tile order.
    bool chipLayout() const;
    void setChipLayout(bool chips);
    // The stage's 32 palette entries as a GIMP palette, and one read back as one step.
    void exportPaletteFile();
    void importPaletteFile();

    // The preferences, where each kind of file's last folder is kept (none: not kept).
    std::function<IniFile*()> preferences;
    // The table and sub-palette the tiles page shows.
    std::function<std::pair<TileTable, int>()> shownTiles;
    // A picture or palette file changed tiles or colours: the pages draw them anew; the
    // summary is for the status bar.
    std::function<void(const QString& summary)> graphicsImported;
    // What a command wrote, for the status bar ("Wrote hack.bps (1,823 bytes)").
    std::function<void(const QString&)> wrote;
    // Stage texts changed the open image: the pages show it anew.
    std::function<void(const QString& summary)> imported;

private:
    // A command that was refused or failed: said, and the status bar's older news goes.
    void refuse(const QString& text);
    // The kinds of file whose last folder is kept ("[Folders]" in the preferences).
    enum class FileKind {
        Image,
        Patch,
        Picture,
        Text,
        Palette
    };
    // The folder a dialog for the kind starts in: the last one used, else the image's.
    QString startFolder(FileKind kind) const;
    void rememberFolder(FileKind kind, const QString& chosenPath);
    // True, after saying so, when output is one of the files the command reads.
    bool refusesToReplaceAnInput(const QString& output, std::initializer_list<std::string> inputs);
    // The file to write, asked for; nothing when cancelled, or refused after saying why (a
    // name without one of the extensions, one of the inputs).
    // The dialog starts in the kind's folder with suggestedName.
    std::optional<QString> chooseOutput(FileKind kind, const QString& caption, const QString& filters,
                                        std::initializer_list<const char*> extensions, const QString& wrongName,
                                        std::initializer_list<std::string> inputs, const QString& suggestedName);
    // The open image's folder.
    QString imageFolder() const;
    // Writes through `write`, which returns the bytes it wrote, and says what was written
    // or why it was not.
    void writeAndReport(const QString& path, const std::function<std::size_t()>& write, const QString& note = {});
    // The same for bytes made beforehand; a note follows what was written.
    void writeBytesAndReport(const QString& path, std::span<const std::uint8_t> bytes, const QString& note = {});

    Prompts& prompts_;
    RomImage& rom_;
    const PaletteManager& palette_;
};

} // namespace vx
