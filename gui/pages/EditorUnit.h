#pragma once
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace vx {

class TGraphicManager;
class TPrompts;
class TRomImgManager;

// What every editor unit may reach: the model, the renderer, the user and the status bar.
struct TEditorContext {
    TRomImgManager& rom;
    TGraphicManager& graphics;
    TPrompts& prompts;
    std::function<void(int panel, const QString& text)> setStatus;
    const std::vector<std::string>& chipAttributeNames;
    const std::vector<std::string>& objectNames;
    // The shell's character-data reload (re-read the file, rebuild the patterns, refresh).
    std::function<void()> reloadCharacterData;
};

// One tab's logic. The shell calls these, always in the fixed order of its units.
class TEditorUnit {
public:
    virtual ~TEditorUnit() = default;
    // Once, when the window is made: build or look up the controls on the unit's page.
    virtual void BindControls(QWidget* page) = 0;
    // After an image was opened: make bitmaps where there are none, reset, StageChanged.
    virtual void Open() = 0;
    // After another stage became current, whatever page is shown.
    virtual void StageChanged() = 0;
    // The page became active, or an undo, redo or reload happened while it was. The
    // reference pages show nothing that could be stale.
    virtual void Refresh() {}
    // A new palette-animation frame while the page is active.
    virtual void AnimationTick() {}
    // The image is closed: drop every reference into its stages.
    virtual void ImageClosed() {}
};

} // namespace vx
