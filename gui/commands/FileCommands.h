#pragma once
#include <QString>
#include <functional>

namespace vx {

class Prompts;
class RomImage;

// Opening and saving the image, and the unsaved-changes question before open, close or exit
// would drop the edits.
class FileCommands {
public:
    FileCommands(Prompts& prompts, RomImage& rom) : prompts_(prompts), rom_(rom) {}

    // Loads the image by its full path; a refused file is explained.
    bool load(const QString& chosen);
    // The unsaved-changes question; true when the caller may go on.
    bool settleUnsavedChanges();
    bool save();
    bool saveAs();
    // When the window becomes active: a file another program changed is taken in when
    // nothing here is unsaved (stagesRebuilt follows); with unsaved edits it is only said,
    // and the question comes at the save. The status text; empty when the file is as it was.
    QString lookAtDisk();
    // Reads the file's bytes again (the character data another tool changed), asking first
    // while painted tiles are unsaved. False when nothing was read: no image, or the user
    // kept his tiles; a failed read is said and counts as read.
    bool reloadFromFile();

    // After every save that wrote the file.
    std::function<void()> saved;
    // The user chose not to save: the edits are dropped.
    std::function<void()> editsDropped;
    // After a merge built the stages anew: every page must take them up again.
    std::function<void()> stagesRebuilt;

private:
    bool saveTo(const QString& path);
    // The save onto the image's own file, asking first when another program changed it.
    // False when the user cancelled.
    bool saveOntoOwnFile();
    bool offerSaveAs(const QString& message);

    Prompts& prompts_;
    RomImage& rom_;
};

} // namespace vx
