#pragma once
#include <QString>
#include <functional>

namespace vx {

class TPrompts;
class TRomImgManager;

// Opening and saving the image, and the unsaved-changes question before open, close or exit
// would drop the edits.
class TFileCommands {
public:
    TFileCommands(TPrompts& prompts, TRomImgManager& rom) : prompts_(prompts), rom_(rom) {}

    // Loads the image by its full path; a refused file is explained.
    bool Load(const QString& chosen);
    // The unsaved-changes question; true when the caller may go on.
    bool SettleUnsavedChanges();
    bool Save();
    bool SaveAs();
    // When the window becomes active: a file another program changed is taken in when
    // nothing here is unsaved (StagesRebuilt follows); with unsaved edits it is only said,
    // and the question comes at the save. The status text; empty when the file is as it was.
    QString LookAtDisk();

    // After every save that wrote the file.
    std::function<void()> Saved;
    // The user chose not to save: the edits are dropped.
    std::function<void()> EditsDropped;
    // After a merge built the stages anew: every page must take them up again.
    std::function<void()> StagesRebuilt;

private:
    bool SaveTo(const QString& path);
    // The save onto the image's own file, asking first when another program changed it.
    // False when the user cancelled.
    bool SaveOntoOwnFile();
    bool OfferSaveAs(const QString& message);

    TPrompts& prompts_;
    TRomImgManager& rom_;
};

} // namespace vx
