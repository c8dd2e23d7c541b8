#include "gui/app/MainForm.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "core/files/IniFile.h"
#include "core/files/InputFile.h"
#include "core/files/NameLists.h"
#include "core/model/AddressData.h"
#include "core/model/RomImage.h"
#include "gui/app/AppPaths.h"
#include "gui/app/ChipUsesWindow.h"
#include "gui/app/ConsoleColours.h"
#include "gui/app/FileCommands.h"
#include "gui/app/GuardedApplication.h"
#include "gui/app/InterfaceLanguage.h"
#include "gui/app/MainMenus.h"
#include "gui/app/PageKeys.h"
#include "gui/app/PageTabs.h"
#include "gui/app/RecentFilesMenu.h"
#include "gui/app/RecoveryKeeper.h"
#include "gui/app/SettingsFallback.h"
#include "gui/app/ShareCommands.h"
#include "gui/app/StageCheckWindow.h"
#include "gui/app/StageNames.h"
#include "gui/app/StageOverviewWindow.h"
#include "gui/app/StartScreen.h"
#include "gui/app/TestPlay.h"
#include "gui/app/ViewZoom.h"
#include "gui/image/QtGlyphRenderer.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/InfoListDialog.h"
#include "gui/pages/MapEdit.h"
#include "gui/pages/MapGridDialog.h"
#include "gui/pages/ObjectDialog.h"
#include "gui/pages/ObjectEdit.h"
#include "gui/pages/PaletteEdit.h"
#include "gui/pages/Prompts.h"
#include "gui/pages/RestartPointEdit.h"
#include "gui/pages/ScrollEdit.h"
#include "gui/pages/TileEdit.h"
#include "gui/widgets/PlacedLayout.h"
#include "gui/widgets/StatusPanel.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <iostream>

namespace vx {
namespace {

const QString AppTitle = QStringLiteral("VEXALON 2 EDITOR");

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

// Steps that rebuild object lists, after which no page may keep a pointer into the old ones.
bool replacesObjects(int kind) { return kind == ukObject || kind == ukStageText || kind == ukRecovery; }

} // namespace

QString outOfMemoryText() { return QString::fromStdString(outOfMemoryMessage()); }

MainForm::MainForm(Prompts& prompts, const AppPaths& paths, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), preferencesFile_(paths.preferencesFile)
{
    setWindowTitle(AppTitle);
    setAcceptDrops(true);
    if (!createRunObjects(paths)) {
        failed_ = true;
        return;
    }
    buildFrame();
    buildMenus();
    // The stage selector and the pages whole (630 x 652), the menus and the status bar; the
    // first showing fits it to the screen (ViewZoom).
    resize(630, 652 + statusBar()->sizeHint().height() + menuBar()->sizeHint().height());
    bindUnits();
    zoom_ = new ViewZoom(pages_, recent_->preferences(), this);
    zoom_->changed = [this](int level) {
        zoom_->fitWindow(*this);
        status_[2]->setText(qText("表示倍率: %1倍", "Zoom: %1x").arg(level));
    };
    noImageState();
    status_[2]->setText((colourNote_ + QLatin1Char(' ') + settingsNote_).trimmed());
    if (!addresses_->problems().empty())
        QTimer::singleShot(0, this, &MainForm::warnOfSettingsProblems);
    // After an image named on the command line had its turn.
    QTimer::singleShot(0, this, &MainForm::offerRecoveryAtStart);
}

void MainForm::offerRecoveryAtStart()
{
    if (rom_->isLoaded())
        return;
    if (const QString image = recovery_->imageWithRecovery(); !image.isEmpty())
        openImage(image);
}

void MainForm::warnOfSettingsProblems()
{
    prompts_.showWarning(QString::fromStdString(settingsProblemsText(addresses_->problems())));
}

MainForm::~MainForm()
{
    if (timer_)
        timer_->stop();
    if (!settings_ || !addresses_)
        return;
    // The program still ends normally; the user learns that the settings were not kept.
    keepSettingsFile(*settings_, [this](const QString& text) { prompts_.showMessage(text); });
}

bool MainForm::createRunObjects(const AppPaths& paths)
{
    const std::string folder = paths.dataFolder.toStdString();
    try {
        settings_ = openSettingsFile(paths.settingsFile, prompts_, settingsNote_);
        if (!settings_)
            return false;
        addresses_ = std::make_unique<AddressData>(*settings_);
        rom_ = std::make_unique<RomImage>(*addresses_);
        palette_ = loadConsoleColours(paths.preferencesFile, folder, colourNote_);
        glyphs_ = std::make_unique<QtGlyphRenderer>();
        graphics_ = std::make_unique<GraphicManager>(*palette_, glyphs_.get());
        files_ = std::make_unique<FileCommands>(prompts_, *rom_);
        share_ = std::make_unique<ShareCommands>(prompts_, *rom_, *palette_);
        recovery_ = std::make_unique<RecoveryKeeper>(*rom_, prompts_, paths.recoveryFolder,
                                                     [this](const QString& text) { status_[2]->setText(text); });
        chipAttributeNames_ = loadChipAttributeNames(folder + "/ChipAttributeList.txt");
        objectNames_ = loadObjectNames(folder + "/ObjectList.txt");
    } catch (const std::bad_alloc&) {
        reportOutOfMemory([this](const QString& text) { prompts_.showMessage(text); });
        return false;
    } catch (const std::exception& error) {
        prompts_.showMessage(QString::fromStdString(error.what()));
        return false;
    }
    files_->stagesRebuilt = [this] { reopenStages(); };
    files_->editsDropped = [this] { recovery_->discard(); };
    files_->saved = [this] {
        recovery_->discard();
        status_[0]->clear();
        showTitle();
        showModified(false);
        recent_->add(QString::fromStdString(rom_->fileName()));
    };
    rom_->hooks.showModified = [this](const std::string& text) {
        status_[0]->setText(QString::fromStdString(text));
        showModified(true);
        recovery_->editMade();
    };
    share_->wrote = [this](const QString& text) { status_[2]->setText(text); };
    share_->preferences = [this] { return recent_ ? recent_->preferences() : nullptr; };
    share_->shownTiles = [this] { return std::pair(tileEdit_->table(), tileEdit_->subPalette(tileEdit_->table())); };
    share_->graphicsImported = [this](const QString& summary) {
        tileEdit_->tilesChanged();
        refreshActivePage();
        showModified(rom_->differsFromFile());
        status_[2]->setText(summary);
    };
    share_->imported = [this](const QString& summary) {
        objectEdit_->objectsReplaced(-1);
        showModified(rom_->differsFromFile());
        recovery_->editMade();
        refreshActivePage();
        status_[2]->setText(summary);
    };
    // A palette edit, undo or redo hands the stage's colours to the renderer at once.
    rom_->hooks.paletteChanged = [this](const StageData& stage) { graphics_->setBGPalette(stage.bgPalette()); };
    rom_->hooks.paletteAnimeChanged = [this](const StageData& stage) {
        graphics_->setPaletteAnime(stage.paletteAnimeFrameCount(), stage.paletteAnimeFrameTimer(),
                                   stage.paletteAnimePalette());
    };
    context_ = std::make_unique<EditorContext>(EditorContext{*rom_, *graphics_, prompts_,
                                                             [this](int panel, const QString& text) {
                                                                 if (panel >= 0 && panel < 3)
                                                                     status_[panel]->setText(text);
                                                             },
                                                             chipAttributeNames_, objectNames_,
                                                             [this] { reloadCharacterData(); },
                                                             [this](int panel, const QString& text) {
                                                                 if (panel >= 0 && panel < 3)
                                                                     status_[panel]->withdraw(text);
                                                             }});
    return true;
}

void MainForm::buildFrame()
{
    // Each page scrolls on its own (addPageTabs) in a window smaller than it: a small screen,
    // a window manager's choice.
    central_ = new QWidget(this);
    setCentralWidget(central_);

    stageSelector_ = new QComboBox(central_);
    stageSelector_->setObjectName(QStringLiteral("ComboBoxStageSelect"));
    stageSelector_->setEditable(false);
    stageSelector_->setFixedSize(169, 24);
    connect(stageSelector_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!updating_)
            selectStage(index);
    });

    pages_ = new QTabWidget(central_);
    pages_->setObjectName(QStringLiteral("PageControl"));

    addPageTabs(*pages_);
    pages_->setCurrentIndex(pgObjectEdit);
    start_ = new StartScreen(central_);
    // The selector, 3 pixels, then the pages; or, with no image, the start screen alone.
    auto* layout = new QVBoxLayout(central_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addWidget(stageSelector_, 0, Qt::AlignLeft);
    layout->addWidget(pages_, 1);
    layout->addWidget(start_, 1);
    connect(pages_, &QTabWidget::currentChanged, this, &MainForm::onPageChanged);
    installPageKeys(*this, *pages_);

    const auto panels = addStatusPanels(*statusBar());
    std::copy(panels.begin(), panels.end(), status_);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("PaletteAnimeTimer"));
    timer_->setInterval(16);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &MainForm::onTimer);
}

void MainForm::buildMenus()
{
    menus_ = std::make_unique<MainMenus>(
        this,
        MenuCommands{
            .open = [this] { commandOpen(); },
            .save = [this] { commandSave(); },
            .saveAs = [this] { commandSaveAs(); },
            .createPatch = [this] { commandCreatePatch(); },
            .exportPicture = [this] { commandExportStagePicture(); },
            .exportText = [this] { share_->exportStageText(); },
            .importText = [this] { share_->importStageText(); },
            .exportTiles = [this] { share_->exportTilePicture(); },
            .importTiles = [this] { share_->importTilePicture(); },
            .exportPalette = [this] { share_->exportPaletteFile(); },
            .importPalette = [this] { share_->importPaletteFile(); },
            .tileChipLayout = [this](bool chips) { share_->setChipLayout(chips); },
            .tileChipLayoutChecked = [this] { return share_->chipLayout(); },
            .close = [this] { commandClose(); },
            .exit = [this] { close(); },
            .undo = [this] { commandUndo(); },
            .redo = [this] { commandRedo(); },
            .findChipUses = [this] { showChipUsesWindow(*this, prompts_, pickedChip(), false); },
            .replaceChip = [this] { showChipUsesWindow(*this, prompts_, pickedChip(), true); },
            .checkStage = [this] { showStageCheckWindow(*this, *menus_); },
            .stageOverview = [this] { showStageOverviewWindow(*this); },
            .testPlay = [this] { testPlayOf(*this, prompts_, recent_->preferences()).run(); },
            .emulatorSettings = [this] { testPlayOf(*this, prompts_, recent_->preferences()).changeCommand(); },
            .consoleColours = [this] { chooseConsoleColours(prompts_, recent_->preferences()); },
            .zoomIn = [this] { zoom_->zoomIn(); },
            .zoomOut = [this] { zoom_->zoomOut(); },
            .actualSize = [this] { zoom_->setLevel(ViewZoom::Lowest); },
            .interfaceLanguage =
                [this](auto choice) { keepInterfaceLanguage(recent_->preferences(), prompts_, choice); }});
    connect(menus_->edit, &QMenu::aboutToShow, this, &MainForm::updateEditMenu);
    connect(menus_->edit, &QMenu::aboutToHide, this, &MainForm::enableHistoryKeys);
    recent_ = std::make_unique<RecentFilesMenu>(
        menus_->recent, preferencesFile_, prompts_, [this](const QString& path) { openAfterAsking(path); },
        [this](const QString& reason) { status_[2]->setText(reason); });
    start_->showFiles(recent_->files().paths());
    recent_->changed = [this] { start_->showFiles(recent_->files().paths()); };
    start_->openFile = [this](const QString& path) { recent_->choose(path); };
    start_->openOther = [this] { commandOpen(); };
}

void MainForm::bindUnits()
{
    subForm_ = new InfoListDialog(this);
    gridForm_ = new MapGridDialog(prompts_, this);
    objectForm_ = new ObjectDialog(this);
    // The fixed calling order: palette, tiles (the pattern data), 32x32 chip, map, object, restart point
    // and scroll.
    paletteEdit_ = addUnit(std::make_unique<PaletteEdit>(*context_), pgPaletteEdit);
    tileEdit_ = addUnit(std::make_unique<TileEdit>(*context_), pgTileEdit);
    chipEdit_ = addUnit(std::make_unique<Chip32x32Edit>(*context_, *subForm_), pg32x32ChipEdit);
    mapEdit_ = addUnit(std::make_unique<MapEdit>(*context_, chipEdit_->sheets(), *gridForm_), pgMapEdit);
    chipEdit_->chipPicked = [this](int chip) { mapEdit_->selectChip(chip); };
    tileEdit_->useSheets(&chipEdit_->sheets());
    mapEdit_->findUses = [this](int chip) { showChipUsesWindow(*this, prompts_, chip, false); };
    objectEdit_ = addUnit(std::make_unique<ObjectEdit>(*context_, chipEdit_->sheets(), *objectForm_), pgObjectEdit);
    restartPointEdit_ = addUnit(std::make_unique<RestartPointEdit>(*context_, chipEdit_->sheets()), pgRestartPointEdit);
    scrollEdit_ = addUnit(std::make_unique<ScrollEdit>(*context_, chipEdit_->sheets()), pgScrollEdit);
    for (auto& [unit, page] : units_) {
        unit->bindControls(pageSheet(*pages_, page));
        placeControls(pageSheet(*pages_, page));
    }
}

EditorUnit* MainForm::unitOfPage(int page) const
{
    for (const auto& [unit, unitPage] : units_)
        if (unitPage == page)
            return unit.get();
    return nullptr;
}

void MainForm::showTitle()
{
    // "[*]" shows as "*" while the image has unsaved edits.
    setWindowTitle(rom_->isLoaded() ? AppTitle + QStringLiteral(" - ") + QString::fromStdString(rom_->fileName()) +
                           QStringLiteral("[*]")
                                    : AppTitle);
}

void MainForm::showModified(bool modified)
{
    // Every edit step reports; Qt redoes the title on each call, so only a change is passed on.
    if (const bool shown = modified && rom_->isLoaded(); shown != isWindowModified())
        setWindowModified(shown);
    if (!modified) // undone back to what the file holds: the panel agrees with the title
        status_[0]->clear();
}

void MainForm::showImageCommands(bool shown)
{
    stageSelector_->setVisible(shown);
    pages_->setVisible(shown);
    start_->setVisible(!shown);
    // Below a sheet's own size (its layout gives it, zoom included) the page scrolls;
    // the start screen fits any size.
    central_->setMinimumSize(shown ? QSize(0, 0) : QSize(200, 120));
    menus_->showImageCommands(shown);
}

void MainForm::showNote(const QString& text) { status_[2]->setText(text); }

void MainForm::keepWorkForNextStart()
{
    if (failed_)
        return;
    recovery_->flush();
    // Emulators keep playing their copies and the rest goes, as at Exit.
    delete findChild<TestPlay*>(QString(), Qt::FindDirectChildrenOnly);
    keepSettingsFile(*settings_, [](const QString& text) { std::cerr << text.toStdString() << '\n'; });
}

void MainForm::noImageState()
{
    timer_->stop();
    if (auto* testPlay = findChild<TestPlay*>(QString(), Qt::FindDirectChildrenOnly))
        testPlay->imageClosed();
    // They show an image that is gone.
    if (auto* uses = findChild<ChipUsesWindow*>(QString(), Qt::FindDirectChildrenOnly))
        uses->hide();
    if (auto* overview = findChild<StageOverviewWindow*>(QString(), Qt::FindDirectChildrenOnly))
        overview->hide();
    showImageCommands(false);
    menus_->enableHistoryKeys(false);
    status_[0]->clear();
    showTitle();
    showModified(false);
}

void MainForm::imageOpenedState()
{
    timer_->stop();
    showTitle();
    // A new image starts unmodified, whatever the last one was.
    status_[0]->clear();
    showModified(false);
    updating_ = true;
    rom_->setCurrentStageIndex(0);
    stageSelector_->clear();
    for (int stage = 0; stage < StageCount; ++stage)
        stageSelector_->addItem(stageSelectorEntry(stage));
    stageSelector_->setCurrentIndex(0);
    for (auto& [unit, page] : units_)
        unit->open();
    stageSelector_->setCurrentIndex(0);
    updating_ = false;
    showImageCommands(true);
    enableHistoryKeys();
    zoom_->fitFirstShownPages(*this);
    timer_->start();
}

void MainForm::reopenStages()
{
    timer_->stop();
    updating_ = true;
    for (auto& [unit, page] : units_)
        unit->open();
    updating_ = false;
    showModified(rom_->differsFromFile());
    enableHistoryKeys();
    timer_->start();
}

bool MainForm::openImage(const QString& chosen)
{
    if (!files_->load(chosen))
        return false;
    recent_->add(QString::fromStdString(rom_->fileName()));
    imageOpenedState();
    if (recovery_->offerFor(QString::fromStdString(rom_->fileName())))
        reopenStages();
    return true;
}

void MainForm::openAfterAsking(const QString& path)
{
    // Opening over unsaved edits asks first, as closing does: nothing is dropped unasked.
    if (files_->settleUnsavedChanges())
        openImage(path);
}

void MainForm::commandOpen()
{
    if (!files_->settleUnsavedChanges())
        return;
    if (const auto path = prompts_.chooseOpenFile())
        openImage(*path);
}

bool MainForm::commandSave() { return files_->save(); }

bool MainForm::commandSaveAs() { return files_->saveAs(); }

void MainForm::commandCreatePatch()
{
    if (rom_->isLoaded())
        share_->createPatch();
}

void MainForm::commandExportStagePicture()
{
    if (rom_->isLoaded())
        share_->exportStagePicture();
}

void MainForm::commandClose()
{
    if (!rom_->isLoaded() || !files_->settleUnsavedChanges())
        return;
    noImageState();
    for (auto& [unit, page] : units_)
        unit->imageClosed();
    rom_->closeImage();
    showTitle();
}

void MainForm::closeEvent(QCloseEvent* event)
{
    // Cancel, or a save that fails, keeps the window open with the edits.
    if (files_ && !files_->settleUnsavedChanges()) {
        event->ignore();
        return;
    }
    if (timer_)
        timer_->stop();
    event->accept();
}

void MainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainForm::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    event->acceptProposedAction();
    // One image at a time; what is not a local file is refused as Open refuses a bad file.
    const QString path = urls.front().isLocalFile() ? urls.front().toLocalFile() : urls.front().toString();
    openAfterAsking(path);
}

void MainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow() || !files_)
        return;
    if (const QString said = files_->lookAtDisk(); !said.isEmpty())
        status_[2]->setText(said);
}

void MainForm::updateEditMenu() { menus_->showHistory(*rom_); }

void MainForm::enableHistoryKeys() { menus_->enableHistoryKeys(rom_->isLoaded()); }

void MainForm::refreshActivePage()
{
    if (EditorUnit* unit = unitOfPage(pages_->currentIndex()))
        unit->refresh();
}

void MainForm::commandUndo() { stepHistory(true); }

void MainForm::commandRedo() { stepHistory(false); }

void MainForm::stepHistory(bool back)
{
    if (back ? !rom_->canUndo() : !rom_->canRedo())
        return;
    const int kind = back ? rom_->undo() : rom_->redo();
    // The step just taken now lies on the other stack.
    const StageData& stage = rom_->currentStage();
    if (replacesObjects(kind))
        objectEdit_->objectsReplaced((back ? stage.redoStack() : stage.undoStack()).peek()->room());
    if (kind == ukTiles)
        tileEdit_->tilesChanged();
    showModified(rom_->differsFromFile());
    recovery_->editMade();
    refreshActivePage();
}

int MainForm::pickedChip() const
{
    return pages_->currentIndex() == pg32x32ChipEdit ? chipEdit_->editedChip() : mapEdit_->selectedChip();
}

void MainForm::chipsReplaced(const QString& said)
{
    status_[2]->setText(said);
    showModified(rom_->differsFromFile());
    refreshActivePage();
}

void MainForm::selectStage(int index)
{
    if (!rom_->isLoaded() || index < 0 || index >= StageCount || index == rom_->currentStageIndex())
        return;
    rom_->setCurrentStageIndex(index);
    timer_->stop();
    for (auto& [unit, page] : units_)
        unit->stageChanged();
    timer_->start();
}

void MainForm::reloadCharacterData()
{
    if (!files_->reloadFromFile())
        return;
    tileEdit_->stageChanged();
    refreshActivePage();
}

void MainForm::onPageChanged(int page)
{
    if (!rom_->isLoaded())
        return;
    if (EditorUnit* unit = unitOfPage(page))
        unit->refresh();
}

void MainForm::onTimer()
{
    // Only a new frame redraws, and only on the page shown.
    if (!rom_->isLoaded() || !palette_->isAnimated() || !palette_->tick())
        return;
    if (EditorUnit* unit = unitOfPage(pages_->currentIndex()))
        unit->animationTick();
}

} // namespace vx
