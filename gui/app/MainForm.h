#pragma once
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "gui/pages/EditorUnit.h"
#include "gui/pages/PageNavigator.h"
#include "gui/pages/PageUnits.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;

namespace vx {

class AddressData;
class RecentFilesMenu;
class RecoveryKeeper;
struct AppPaths;
class Chip32x32Edit;
class ChipUsesWindow;
class FileCommands;
class GraphicManager;
class MainMenus;
class MapEdit;
class RestartPointEdit;
class SettingsFile;
class ObjectEdit;
class PaletteEdit;
class PaletteManager;
class RenumberCommands;
class StageCheckWindow;
class StageOverviewWindow;
class StartScreen;
class TestPlay;
class TileEdit;
class Prompts;
class QtGlyphRenderer;
class RomImage;
class ScrollEdit;
class ShareCommands;
class StatusPanel;
class ViewZoom;

// The main window: makes the objects that live for the run and the frame (stage selector,
// pages, menus, status bar, animation timer), and routes: the File commands to their command
// objects, undo and redo to the image, pages and stages to the editor units, which hold
// each page's logic. The windows beside it steer the pages through it as their navigator.
class MainForm : public QMainWindow, public PageNavigator {
    Q_OBJECT
public:
    // Settings, colours and name lists are read here; a failure is shown through prompts
    // and leaves failed() true, and the program should end.
    MainForm(Prompts& prompts, const AppPaths& paths, QWidget* parent = nullptr);
    // Writes the settings file, completed with every value in force.
    ~MainForm() override;

    bool failed() const { return failed_; }

    // Opens an image and sets the editors up on it; a refused file is explained.
    bool openImage(const QString& path);
    // A note in the status bar's last panel.
    void showNote(const QString& text) override;
    // Before the process ends at once (a signal), whatever is open: unsaved edits go to the
    // recovery file, written now; test play's copies and the settings as at Exit. Asks nothing.
    void keepWorkForNextStart();
    // Open, drop and the recent list: the unsaved-changes question first, then the image.
    void openAfterAsking(const QString& path);
    void commandOpen();
    bool commandSave();
    bool commandSaveAs();
    void commandClose();
    // A patch from an original image to the image as it stands now, unsaved edits included.
    void commandCreatePatch();
    // The current stage's 44 rooms as one PNG, with objects, path marks and restart points.
    void commandExportStagePicture();
    void commandUndo();
    void commandRedo();
    // Re-reads the file's bytes (the character data another tool may have changed).
    void reloadCharacterData();
    // Sets the Edit menu's captions and states, as each opening of the menu does.
    void updateEditMenu();
    // Ctrl+Z and Ctrl+Y act whenever an image is open and the menu is closed.
    void enableHistoryKeys();
    void selectStage(int index);
    // Keeps unsaved edits against a crash and offers them back.
    RecoveryKeeper& recovery() const { return *recovery_; }

    RomImage& rom() const { return *rom_; }
    GraphicManager& graphics() const { return *graphics_; }
    PaletteManager& paletteManager() const { return *palette_; }
    PaletteEdit* paletteEdit() const { return units_->paletteEdit(); }
    TileEdit* tileEdit() const { return units_->tileEdit(); }
    Chip32x32Edit* chip32x32Edit() const { return units_->chip32x32Edit(); }
    MapEdit* mapEdit() const { return units_->mapEdit(); }
    ObjectEdit* objectEdit() const { return units_->objectEdit(); }
    RestartPointEdit* restartPointEdit() const { return units_->restartPointEdit(); }
    ScrollEdit* scrollEdit() const { return units_->scrollEdit(); }
    ViewZoom* zoom() const { return zoom_; }

    QWidget* editorWindow() override { return this; }
    void showStage(int stage) override;
    int shownPage() const override;
    void showPage(int page) override;
    void showRoom(int page, int room, bool atLeft) override { units_->showRoom(page, room, atLeft); }
    std::pair<int, int> shownRooms() const override { return units_->shownRooms(); }
    int shownRestartPoint() const override { return units_->shownRestartPoint(); }
    void showCell(int room, int cell) override { units_->showCell(room, cell); }
    void selectEntry(Entry entry, int index) override { units_->selectEntry(entry, index); }
    void highlightChip(int chip) override;
    void showEditMade(const QString& said) override;
    void listen(QObject* listener, std::function<void(Change)> heard) override;
    // One animation-timer tick, as the timer gives it.
    void onTimer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Coming back to the window looks at whether another program changed the image's file.
    void changeEvent(QEvent* event) override;

private:
    // Undo (back) or redo, and what the pages must take up after it.
    void stepHistory(bool back);
    bool createRunObjects(const AppPaths& paths);
    void buildFrame();
    void buildMenus();
    void bindUnits();
    void imageOpenedState();
    // Every page takes up the stages anew (after a merge or a reload), on the same stage.
    void reopenStages();
    // Settings values the user wrote that cannot be used, said once at start.
    void warnOfSettingsProblems();
    // At start with no image named: the image of a recovery file, opened and offered.
    void offerRecoveryAtStart();
    void noImageState();
    // The stage selector, the pages and the commands that need an image.
    void showImageCommands(bool shown);
    void showTitle();
    void showModified(bool modified);
    void tell(Change change);
    // The windows beside the editor, each made on first use.
    void showChipUses(int chip, bool replace);
    void showStageCheck();
    void showStageOverview();
    TestPlay& testPlay();
    void onPageChanged(int page);

    Prompts& prompts_;
    bool failed_ = false;
    std::unique_ptr<SettingsFile> settings_;
    std::unique_ptr<AddressData> addresses_;
    std::unique_ptr<RomImage> rom_;
    std::unique_ptr<PaletteManager> palette_;
    std::unique_ptr<QtGlyphRenderer> glyphs_;
    std::unique_ptr<GraphicManager> graphics_;
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<ShareCommands> share_;
    std::unique_ptr<RecoveryKeeper> recovery_;
    std::unique_ptr<RecentFilesMenu> recent_;
    QString preferencesFile_;
    QString colourNote_;           // why the chosen colour file was not used, for the status bar
    QString settingsNote_;         // that a read-only settings file gets no new keys, likewise
    StartScreen* start_ = nullptr; // shown while no image is open
    std::vector<std::string> chipAttributeNames_;
    std::vector<std::string> objectNames_;
    std::unique_ptr<EditorContext> context_;
    std::unique_ptr<PageUnits> units_;
    std::unique_ptr<RenumberCommands> renumber_; // after the units it reaches
    std::vector<std::pair<QPointer<QObject>, std::function<void(Change)>>> listeners_;
    ChipUsesWindow* chipUses_ = nullptr;
    StageCheckWindow* stageCheck_ = nullptr;
    StageOverviewWindow* overview_ = nullptr;
    QPointer<TestPlay> testPlay_;
    bool updating_ = false;

    QWidget* central_ = nullptr;
    QComboBox* stageSelector_ = nullptr;
    QTabWidget* pages_ = nullptr;
    StatusPanel* status_[3] = {};
    std::unique_ptr<MainMenus> menus_;
    QTimer* timer_ = nullptr;
    ViewZoom* zoom_ = nullptr;
};

} // namespace vx
