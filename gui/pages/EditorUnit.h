#pragma once
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace vx {

class GraphicManager;
class Prompts;
class RomImage;

// What every editor unit may reach: the model, the renderer, the user and the status bar.
struct EditorContext {
    RomImage& rom;
    GraphicManager& graphics;
    Prompts& prompts;
    std::function<void(int panel, const QString& text)> setStatus;
    const std::vector<std::string>& chipAttributeNames;
    const std::vector<std::string>& objectNames;
    // The shell's character-data reload (re-read the file, rebuild the patterns, refresh).
    std::function<void()> reloadCharacterData;
    // Clears a panel if it still shows the text: a message whose moment has passed.
    std::function<void(int panel, const QString& text)> withdrawStatus;
};

// One tab's logic. The shell calls these, always in the fixed order of its units.
class EditorUnit {
public:
    virtual ~EditorUnit() = default;
    // Once, when the window is made: build or look up the controls on the unit's page.
    virtual void bindControls(QWidget* page) = 0;
    // After an image was opened: make bitmaps where there are none, reset, stageChanged.
    virtual void open() = 0;
    // After another stage became current, whatever page is shown.
    virtual void stageChanged() = 0;
    // The page became active, or an undo, redo or reload happened while it was. The
    // reference pages show nothing that could be stale.
    virtual void refresh() {}
    // A new palette-animation frame while the page is active.
    virtual void animationTick() {}
    // The image is closed: drop every reference into its stages.
    virtual void imageClosed() {}
};

} // namespace vx
