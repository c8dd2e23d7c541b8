#pragma once
#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "gui/pages/EditorUnit.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;

namespace vx {

class TAddressData;
class TRecentFilesMenu;
class TRecoveryKeeper;
struct TAppPaths;
class TChip32x32Edit;
class TFileCommands;
class TGraphicManager;
class TMainMenus;
class TMapEdit;
class TMapEditGridForm;
class TMidPointEdit;
class TMyMemIniFile;
class TObjectEdit;
class TObjectEditForm;
class TPaletteEdit;
class TPaletteManager;
class TPatternTableEdit;
class TPrompts;
class TQtGlyphRenderer;
class TRomImgManager;
class TScrollEdit;
class TShareCommands;
class TSubForm;

// The message for std::bad_alloc, in the user's language.
QString OutOfMemoryText();

// The pages of the page control, in order.
enum TPage {
    pgMapEdit,
    pg32x32ChipEdit,
    pgPaletteEdit,
    pgPatternTableEdit,
    pgObjectEdit,
    pgMidPointEdit,
    pgScrollEdit,
    pgSpriteBankEdit,
    PageCount
};

// The main window: makes the objects that live for the run and the frame (stage selector,
// pages, menus, status bar, animation timer), and routes: the File commands to their command
// objects, undo and redo to the image, pages and stages to the editor units, which hold
// each page's logic.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Settings, colours and name lists are read here; a failure is shown through prompts
    // and leaves Failed() true, and the program should end.
    TMainForm(TPrompts& prompts, const TAppPaths& paths, QWidget* parent = nullptr);
    // Writes the settings file, completed with every value in force.
    ~TMainForm() override;

    bool Failed() const { return failed_; }

    // Opens an image and sets the editors up on it; a refused file is explained.
    bool OpenImage(const QString& path);
    // Open, drop and the recent list: the unsaved-changes question first, then the image.
    void OpenAfterAsking(const QString& path);
    void CommandOpen();
    bool CommandSave();
    bool CommandSaveAs();
    void CommandClose();
    // A patch from an original image to the image as it stands now, unsaved edits included.
    void CommandCreatePatch();
    // The current stage's 44 rooms as one PNG, with objects, path marks and restart points.
    void CommandExportStagePicture();
    void CommandUndo();
    void CommandRedo();
    // Re-reads the file's bytes (the character data another tool may have changed).
    void ReloadCharacterData();
    // Sets the Edit menu's captions and states, as each opening of the menu does.
    void UpdateEditMenu();
    // Ctrl+Z and Ctrl+Y act whenever an image is open and the menu is closed.
    void EnableHistoryKeys();
    void SelectStage(int index);
    // Keeps unsaved edits against a crash and offers them back.
    TRecoveryKeeper& Recovery() const { return *recovery_; }

    TRomImgManager& Rom() const { return *rom_; }
    TGraphicManager& Graphics() const { return *graphics_; }
    TPaletteManager& PaletteManager() const { return *palette_; }
    TPaletteEdit* PaletteEdit() const { return paletteEdit_; }
    TPatternTableEdit* PatternTableEdit() const { return patternTable_; }
    TChip32x32Edit* Chip32x32Edit() const { return chipEdit_; }
    TMapEdit* MapEdit() const { return mapEdit_; }
    TObjectEdit* ObjectEdit() const { return objectEdit_; }
    TMidPointEdit* MidPointEdit() const { return midPointEdit_; }
    TScrollEdit* ScrollEdit() const { return scrollEdit_; }
    // The stage selector (a change of its entry selects the stage) and the page control.
    QComboBox* StageSelector() const { return stageSelector_; }
    QTabWidget* Pages() const { return pages_; }
    // One animation-timer tick, as the timer gives it.
    void OnTimer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Coming back to the window looks at whether another program changed the image's file.
    void changeEvent(QEvent* event) override;

private:
    bool CreateRunObjects(const TAppPaths& paths);
    void BuildFrame();
    void BuildMenus();
    void BindUnits();
    void ImageOpenedState();
    // Every page takes up the stages anew (after a merge or a reload), on the same stage.
    void ReopenStages();
    // Settings values the user wrote that cannot be used, said once at start.
    void WarnOfSettingsProblems();
    // At start with no image named: the image of a recovery file, opened and offered.
    void OfferRecoveryAtStart();
    // A settings file that holds no settings: started with the defaults (the file kept
    // aside as .bad) when the user agrees; nothing when not.
    std::unique_ptr<TMyMemIniFile> SettingsInstead(const QString& path, const QString& reason);
    void NoImageState();
    // The stage selector, the pages and the commands that need an image.
    void ShowImageCommands(bool shown);
    void ShowTitle();
    void ShowModified(bool modified);
    // Keeps the unit in the calling order, on its page.
    template <typename Unit>
    Unit* AddUnit(std::unique_ptr<Unit> unit, int page)
    {
        Unit* kept = unit.get();
        units_.emplace_back(std::move(unit), page);
        return kept;
    }
    TEditorUnit* UnitOfPage(int page) const;
    void RefreshActivePage();
    void OnPageChanged(int page);

    TPrompts& prompts_;
    bool failed_ = false;
    std::unique_ptr<TMyMemIniFile> settings_;
    std::unique_ptr<TAddressData> addresses_;
    std::unique_ptr<TRomImgManager> rom_;
    std::unique_ptr<TPaletteManager> palette_;
    std::unique_ptr<TQtGlyphRenderer> glyphs_;
    std::unique_ptr<TGraphicManager> graphics_;
    std::unique_ptr<TFileCommands> files_;
    std::unique_ptr<TShareCommands> share_;
    std::unique_ptr<TRecoveryKeeper> recovery_;
    std::unique_ptr<TRecentFilesMenu> recent_;
    QString preferencesFile_;
    std::vector<std::string> chipAttributeNames_;
    std::vector<std::string> objectNames_;
    std::unique_ptr<TEditorContext> context_;
    // In the fixed calling order; each knows its page.
    std::vector<std::pair<std::unique_ptr<TEditorUnit>, int>> units_;
    TPaletteEdit* paletteEdit_ = nullptr;
    TPatternTableEdit* patternTable_ = nullptr;
    TChip32x32Edit* chipEdit_ = nullptr;
    TMapEdit* mapEdit_ = nullptr;
    TObjectEdit* objectEdit_ = nullptr;
    TMidPointEdit* midPointEdit_ = nullptr;
    TScrollEdit* scrollEdit_ = nullptr;
    TSubForm* subForm_ = nullptr;
    TMapEditGridForm* gridForm_ = nullptr;
    TObjectEditForm* objectForm_ = nullptr;
    bool updating_ = false;

    QWidget* central_ = nullptr;
    QComboBox* stageSelector_ = nullptr;
    QTabWidget* pages_ = nullptr;
    QLabel* status_[3] = {};
    std::unique_ptr<TMainMenus> menus_;
    QTimer* timer_ = nullptr;
};

} // namespace vx
