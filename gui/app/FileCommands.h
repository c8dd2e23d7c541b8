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

    // After every save that wrote the file.
    std::function<void()> Saved;

private:
    bool SaveTo(const QString& path);

    TPrompts& prompts_;
    TRomImgManager& rom_;
};

} // namespace vx
