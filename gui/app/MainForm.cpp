#include "gui/app/MainForm.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "core/files/IniFile.h"
#include "core/files/InputFile.h"
#include "core/files/NameLists.h"
#include "core/model/AddressData.h"
#include "core/model/RomImage.h"
#include "gui/app/AppPaths.h"
#include "gui/app/GuardedApplication.h"
#include "gui/app/InterfaceLanguage.h"
#include "gui/app/MainMenus.h"
#include "gui/app/SettingsFallback.h"
#include "gui/app/StartScreen.h"
#include "gui/app/ViewZoom.h"
#include "gui/commands/ConsoleColours.h"
#include "gui/commands/FileCommands.h"
#include "gui/commands/RecentFilesMenu.h"
#include "gui/commands/RecoveryKeeper.h"
#include "gui/commands/ShareCommands.h"
#include "gui/image/QtGlyphRenderer.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/MapEdit.h"
#include "gui/pages/ObjectEdit.h"
#include "gui/pages/PageKeys.h"
#include "gui/pages/PageTabs.h"
#include "gui/pages/PageUnits.h"
#include "gui/pages/Prompts.h"
#include "gui/pages/StageNames.h"
#include "gui/pages/TileEdit.h"
#include "gui/testplay/TestPlay.h"
#include "gui/tools/ChipUsesWindow.h"
#include "gui/tools/StageCheckWindow.h"
#include "gui/tools/StageOverviewWindow.h"
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
        tell(Change::Edited);
    };
    share_->wrote = [this](const QString& text) { status_[2]->setText(text); };
    share_->preferences = [this] { return recent_ ? recent_->preferences() : nullptr; };
    share_->shownTiles = [this] {
        TileEdit& tiles = *units_->tileEdit();
        return std::pair(tiles.table(), tiles.subPalette(tiles.table()));
    };
    share_->graphicsImported = [this](const QString& summary) {
        units_->tileEdit()->tilesChanged();
        units_->refreshShown();
        showModified(rom_->differsFromFile());
        status_[2]->setText(summary);
    };
    share_->imported = [this](const QString& summary) {
        units_->objectEdit()->objectsReplaced(-1);
        showModified(rom_->differsFromFile());
        recovery_->editMade();
        units_->refreshShown();
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
        tell(Change::StageShown);
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
        MenuCommands{.open = [this] { commandOpen(); },
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
                     .findChipUses = [this] { showChipUses(units_->pickedChip(), false); },
                     .replaceChip = [this] { showChipUses(units_->pickedChip(), true); },
                     .checkStage = [this] { showStageCheck(); },
                     .stageOverview = [this] { showStageOverview(); },
                     .testPlay = [this] { testPlay().run(); },
                     .testPlayFromHere = [this] { testPlay().runFromHere(); },
                     .emulatorSettings = [this] { testPlay().changeCommand(); },
                     .consoleColours = [this] { chooseConsoleColours(prompts_, recent_->preferences()); },
                     .zoomIn = [this] { zoom_->zoomIn(); },
                     .zoomOut = [this] { zoom_->zoomOut(); },
                     .actualSize = [this] { zoom_->setLevel(ViewZoom::Lowest); },
                     .renumber = [this](Renumber command, bool checked) { renumber_->run(command, checked); },
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
    units_ = std::make_unique<PageUnits>(*context_, *pages_, this);
    units_->mapEdit()->findUses = [this](int chip) { showChipUses(chip, false); };
    renumber_ = std::make_unique<RenumberCommands>(*context_, *units_, this);
    renumber_->edited = [this](const QString& said) { showEditMade(said); };
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
    delete testPlay_;
    keepSettingsFile(*settings_, [](const QString& text) { std::cerr << text.toStdString() << '\n'; });
}

void MainForm::noImageState()
{
    timer_->stop();
    tell(Change::ImageClosed);
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
    units_->open();
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
    units_->open();
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
    units_->imageClosed();
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
        units_->objectEdit()->objectsReplaced((back ? stage.redoStack() : stage.undoStack()).peek()->room());
    if (kind == ukTiles || kind == ukTileSwap)
        units_->tileEdit()->tilesChanged();
    if (isRenumbering(kind))
        status_[2]->clear(); // what the renumbering said no longer holds
    showModified(rom_->differsFromFile());
    recovery_->editMade();
    units_->refreshShown();
    tell(Change::HistoryStepped);
}

void MainForm::showEditMade(const QString& said)
{
    status_[2]->setText(said);
    showModified(rom_->differsFromFile());
    units_->refreshShown();
}

void MainForm::selectStage(int index)
{
    if (!rom_->isLoaded() || index < 0 || index >= StageCount || index == rom_->currentStageIndex())
        return;
    rom_->setCurrentStageIndex(index);
    timer_->stop();
    units_->stageChanged();
    timer_->start();
}

void MainForm::reloadCharacterData()
{
    if (!files_->reloadFromFile())
        return;
    units_->tileEdit()->stageChanged();
    units_->refreshShown();
}

void MainForm::onPageChanged(int page)
{
    if (rom_->isLoaded())
        units_->refresh(page);
}

void MainForm::onTimer()
{
    // Only a new frame redraws, and only on the page shown.
    if (rom_->isLoaded() && palette_->isAnimated() && palette_->tick())
        units_->animationTick();
}

// The selector's own change handling selects the stage, so both always agree.
void MainForm::showStage(int stage) { stageSelector_->setCurrentIndex(stage); }
int MainForm::shownPage() const { return pages_->currentIndex(); }
void MainForm::showPage(int page) { pages_->setCurrentIndex(page); }
void MainForm::highlightChip(int chip) { units_->mapEdit()->highlightChip(chip); }

void MainForm::listen(QObject* listener, std::function<void(Change)> heard)
{
    listeners_.emplace_back(listener, std::move(heard));
}

void MainForm::tell(Change change)
{
    // By index and by copy: a listener may make a window that listens too.
    for (std::size_t i = 0; i < listeners_.size(); ++i)
        if (const auto heard = listeners_[i].second; listeners_[i].first)
            heard(change);
}

void MainForm::showChipUses(int chip, bool replace)
{
    if (!rom_->isLoaded())
        return;
    if (!chipUses_)
        chipUses_ = new ChipUsesWindow(*this, *context_);
    chipUses_->showChip(chip, replace);
}

void MainForm::showStageCheck()
{
    if (!rom_->isLoaded())
        return;
    if (!stageCheck_)
        stageCheck_ = new StageCheckWindow(*this, *context_);
    stageCheck_->showInFront();
}

void MainForm::showStageOverview()
{
    if (!rom_->isLoaded())
        return;
    if (!overview_)
        overview_ = new StageOverviewWindow(*this, *context_, units_->chip32x32Edit()->sheets());
    overview_->showInFront();
}

TestPlay& MainForm::testPlay()
{
    if (!testPlay_)
        testPlay_ = new TestPlay(*this, *rom_, prompts_, recent_->preferences());
    return *testPlay_;
}

} // namespace vx
