#include "gui/app/MainForm.h"

#include "core/AddressData.h"
#include "core/Language.h"
#include "core/MyIniFiles.h"
#include "core/NameLists.h"
#include "core/RomImgManager.h"
#include "core/InputFile.h"
#include "gui/app/AppPaths.h"
#include "gui/app/FileCommands.h"
#include "gui/app/GuardedApplication.h"
#include "gui/app/MainMenus.h"
#include "gui/app/RecentFilesMenu.h"
#include "gui/app/RecoveryKeeper.h"
#include "gui/app/ShareCommands.h"
#include "gui/app/StageCheckWindow.h"
#include "gui/app/StageNames.h"
#include "gui/app/TestPlay.h"
#include "gui/image/QtGlyphRenderer.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/MapEdit.h"
#include "gui/pages/MidPointEdit.h"
#include "gui/pages/ObjectEdit.h"
#include "gui/pages/PaletteEdit.h"
#include "gui/pages/PatternTableEdit.h"
#include "gui/pages/Prompts.h"
#include "gui/pages/ScrollEdit.h"
#include "gui/pages/SpriteBankPage.h"
#include "gui/pages/VxMapEditGridForm.h"
#include "gui/pages/VxObjectEditForm.h"
#include "gui/pages/VxSubForm.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

namespace vx {
namespace {

const QString AppTitle = QStringLiteral("VEXALON 2 EDITOR");

QString Text(const char* japanese, const char* english) { return QString::fromStdString(Tr(japanese, english)); }

} // namespace

QString OutOfMemoryText()
{
    return Text("メモリが足りません。", "Out of memory.");
}

TMainForm::TMainForm(TPrompts& prompts, const TAppPaths& paths, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), preferencesFile_(paths.preferencesFile)
{
    setWindowTitle(AppTitle);
    setAcceptDrops(true);
    if (!CreateRunObjects(paths)) {
        failed_ = true;
        return;
    }
    BuildFrame();
    BuildMenus();
    BindUnits();
    NoImageState();
    if (!addresses_->Problems().empty())
        QTimer::singleShot(0, this, &TMainForm::WarnOfSettingsProblems);
    // After an image named on the command line had its turn.
    QTimer::singleShot(0, this, &TMainForm::OfferRecoveryAtStart);
}

void TMainForm::OfferRecoveryAtStart()
{
    if (rom_->IsLoaded())
        return;
    if (const QString image = recovery_->ImageWithRecovery(); !image.isEmpty())
        OpenImage(image);
}

void TMainForm::WarnOfSettingsProblems()
{
    prompts_.ShowWarning(QString::fromStdString(SettingsProblemsText(addresses_->Problems())));
}

std::unique_ptr<TMyMemIniFile> TMainForm::SettingsInstead(const QString& path, const QString& reason)
{
    const QString aside = path + QStringLiteral(".bad");
    if (!prompts_.AskYesNo(reason + Text("\n\nこのファイルを直すか取り除いてから起動し直して下さい。既定のアドレスで起動することもできます。"
                                         "その場合、このファイルは ",
                                         "\n\nMend or remove this file and start again, or start with the default "
                                         "addresses now: the file is then kept as ") +
                           aside + Text(" として残します。\n\n既定値で起動しますか？", ".\n\nStart with the defaults?")))
        return nullptr;
    // Renamed, never written: the user's bytes stay whole under the new name.
    if (QFile::exists(aside) || !QFile::rename(path, aside)) {
        prompts_.ShowMessage(Text("", "Could not rename the file to ") + aside +
                             Text(" に名前を変えられませんでした。", "."));
        return nullptr;
    }
    return std::make_unique<TMyMemIniFile>(path.toStdString());
}

TMainForm::~TMainForm()
{
    if (timer_)
        timer_->stop();
    if (!settings_ || !addresses_)
        return;
    try {
        settings_->UpdateFile();
    } catch (...) {
        // The program still ends normally; the user learns that the settings were not kept.
        // Nothing may leave a destructor, not even a failure to say so.
        ReportCurrentException([this](const QString& text) {
            prompts_.ShowMessage(Text("設定ファイルを保存できませんでした。\n", "The settings file could not be saved.\n") + text);
        });
    }
}

bool TMainForm::CreateRunObjects(const TAppPaths& paths)
{
    const std::string folder = paths.dataFolder.toStdString();
    try {
        try {
            settings_ = std::make_unique<TMyMemIniFile>(paths.settingsFile.toStdString());
        } catch (const TNotSettingsFile& error) {
            settings_ = SettingsInstead(paths.settingsFile, QString::fromStdString(error.what()));
            if (!settings_)
                return false;
        }
        addresses_ = std::make_unique<TAddressData>(*settings_);
        rom_ = std::make_unique<TRomImgManager>(*addresses_);
        // Refusals name the colour file as the user knows it, wherever it was found.
        palette_ = std::make_unique<TPaletteManager>(
            ReadInputFile(folder + "/fcpalette.pal", TInputKind::ColourFile), "fcpalette.pal");
        glyphs_ = std::make_unique<TQtGlyphRenderer>();
        graphics_ = std::make_unique<TGraphicManager>(*palette_, glyphs_.get());
        files_ = std::make_unique<TFileCommands>(prompts_, *rom_);
        share_ = std::make_unique<TShareCommands>(prompts_, *rom_, *palette_, glyphs_.get());
        recovery_ = std::make_unique<TRecoveryKeeper>(*rom_, prompts_, paths.recoveryFolder,
                                                      [this](const QString& text) { status_[2]->setText(text); });
        chipAttributeNames_ = LoadChipAttributeNames(folder + "/ChipAttributeList.txt");
        objectNames_ = LoadObjectNames(folder + "/ObjectList.txt");
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory([this](const QString& text) { prompts_.ShowMessage(text); });
        return false;
    } catch (const std::exception& error) {
        prompts_.ShowMessage(QString::fromStdString(error.what()));
        return false;
    }
    files_->StagesRebuilt = [this] { ReopenStages(); };
    files_->EditsDropped = [this] { recovery_->Discard(); };
    files_->Saved = [this] {
        recovery_->Discard();
        status_[0]->clear();
        ShowTitle();
        ShowModified(false);
        recent_->Add(QString::fromStdString(rom_->FileName()));
    };
    rom_->Hooks.ShowModified = [this](const std::string& text) {
        status_[0]->setText(QString::fromStdString(text));
        ShowModified(true);
        recovery_->EditMade();
    };
    share_->Wrote = [this](const QString& text) { status_[2]->setText(text); };
    // A palette edit, undo or redo hands the stage's colours to the renderer at once.
    rom_->Hooks.PaletteChanged = [this](const TStageData& stage) { graphics_->SetBGPalette(stage.BGPalette()); };
    rom_->Hooks.PaletteAnimeChanged = [this](const TStageData& stage) {
        graphics_->SetPaletteAnime(stage.PaletteAnimeFrameCount(), stage.PaletteAnimeFrameTimer(),
                                   stage.PaletteAnimePalette());
    };
    context_ = std::make_unique<TEditorContext>(TEditorContext{
        *rom_, *graphics_, prompts_,
        [this](int panel, const QString& text) {
            if (panel >= 0 && panel < 3)
                status_[panel]->setText(text);
        },
        chipAttributeNames_, objectNames_, [this] { ReloadCharacterData(); }});
    return true;
}

void TMainForm::BuildFrame()
{
    central_ = new QWidget(this);
    setCentralWidget(central_);

    stageSelector_ = new QComboBox(central_);
    stageSelector_->setObjectName(QStringLiteral("ComboBoxStageSelect"));
    stageSelector_->setEditable(false);
    stageSelector_->setGeometry(0, 0, 169, 24);
    connect(stageSelector_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!updating_)
            SelectStage(index);
    });

    pages_ = new QTabWidget(central_);
    pages_->setObjectName(QStringLiteral("PageControl"));
    pages_->setGeometry(0, 27, 630, 625);
    const char* const names[PageCount] = {"TabSheetMapEdit",     "TabSheet32x32ChipEdit", "TabSheetPaletteEdit",
                                          "TabSheetPatternTableEdit", "TabSheetObjectEdit", "TabSheetMidPointEdit",
                                          "TabSheetScrollEdit",  "TabSheetSpriteBankEdit"};
    const char* const captions[PageCount] = {"マップ", "32x32チップ", "パレット", "パターンテーブル",
                                             "オブジェクト", "復帰地点", "スクロール", "スプライトバンク"};
    for (int i = 0; i < PageCount; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QString::fromLatin1(names[i]));
        pages_->addTab(page, QString::fromUtf8(captions[i]));
    }
    // The two reference pages stand in the control without tab buttons.
    pages_->tabBar()->setTabVisible(pgPatternTableEdit, false);
    pages_->tabBar()->setTabVisible(pgSpriteBankEdit, false);
    pages_->setCurrentIndex(pgObjectEdit);
    connect(pages_, &QTabWidget::currentChanged, this, &TMainForm::OnPageChanged);

    static const int widths[3] = {100, 200, 330};
    for (int i = 0; i < 3; ++i) {
        status_[i] = new QLabel(this);
        status_[i]->setObjectName(QStringLiteral("MainFormStatusPanel%1").arg(i));
        status_[i]->setFixedWidth(widths[i]);
        status_[i]->setFrameShape(QFrame::Panel);
        status_[i]->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(status_[i]);
    }
    statusBar()->setSizeGripEnabled(false);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("PaletteAnimeTimer"));
    timer_->setInterval(16);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &TMainForm::OnTimer);

    // Client area of 630 x 677: the stage selector, the pages and the status bar.
    central_->setMinimumSize(200, 120);
    resize(630, 652 + statusBar()->sizeHint().height() + menuBar()->sizeHint().height());
}

void TMainForm::BuildMenus()
{
    menus_ = std::make_unique<TMainMenus>(
        this, TMenuCommands{.open = [this] { CommandOpen(); }, .save = [this] { CommandSave(); },
                            .saveAs = [this] { CommandSaveAs(); }, .createPatch = [this] { CommandCreatePatch(); },
                            .exportPicture = [this] { CommandExportStagePicture(); },
                            .exportText = [this] { share_->ExportStageText(); },
                            .close = [this] { CommandClose(); }, .exit = [this] { close(); },
                            .undo = [this] { CommandUndo(); }, .redo = [this] { CommandRedo(); },
                            .checkStage = [this] { ShowStageCheckWindow(*this, *menus_); },
                            .testPlay = [this] { TestPlayOf(*this, prompts_, recent_->Preferences()).Run(); },
                            .emulatorSettings = [this] { TestPlayOf(*this, prompts_, recent_->Preferences()).ChangeCommand(); }});
    connect(menus_->edit, &QMenu::aboutToShow, this, &TMainForm::UpdateEditMenu);
    connect(menus_->edit, &QMenu::aboutToHide, this, &TMainForm::EnableHistoryKeys);
    recent_ = std::make_unique<TRecentFilesMenu>(
        menus_->recent, preferencesFile_, prompts_, [this](const QString& path) { OpenAfterAsking(path); },
        [this](const QString& reason) { status_[2]->setText(reason); });
}

void TMainForm::BindUnits()
{
    subForm_ = new TSubForm(this);
    gridForm_ = new TMapEditGridForm(prompts_, this);
    objectForm_ = new TObjectEditForm(this);
    // The fixed calling order: palette, pattern table, 32x32 chip, map, object, mid-point,
    // scroll, then the sprite bank that does nothing.
    paletteEdit_ = AddUnit(std::make_unique<TPaletteEdit>(*context_), pgPaletteEdit);
    patternTable_ = AddUnit(std::make_unique<TPatternTableEdit>(*context_), pgPatternTableEdit);
    chipEdit_ = AddUnit(std::make_unique<TChip32x32Edit>(*context_, *subForm_), pg32x32ChipEdit);
    mapEdit_ = AddUnit(std::make_unique<TMapEdit>(*context_, chipEdit_->Sheets(), *gridForm_), pgMapEdit);
    chipEdit_->ChipPicked = [this](int chip) { mapEdit_->SelectChip(chip); };
    objectEdit_ = AddUnit(std::make_unique<TObjectEdit>(*context_, chipEdit_->Sheets(), *objectForm_), pgObjectEdit);
    midPointEdit_ = AddUnit(std::make_unique<TMidPointEdit>(*context_, chipEdit_->Sheets()), pgMidPointEdit);
    scrollEdit_ = AddUnit(std::make_unique<TScrollEdit>(*context_, chipEdit_->Sheets()), pgScrollEdit);
    AddUnit(std::make_unique<TSpriteBankPage>(), pgSpriteBankEdit);
    for (auto& [unit, page] : units_)
        unit->BindControls(pages_->widget(page));
}

TEditorUnit* TMainForm::UnitOfPage(int page) const
{
    for (const auto& [unit, unitPage] : units_)
        if (unitPage == page)
            return unit.get();
    return nullptr;
}

void TMainForm::ShowTitle()
{
    // "[*]" shows as "*" while the image has unsaved edits.
    setWindowTitle(rom_->IsLoaded()
                       ? AppTitle + QStringLiteral(" - ") + QString::fromStdString(rom_->FileName()) + QStringLiteral("[*]")
                       : AppTitle);
}

void TMainForm::ShowModified(bool modified)
{
    // Every edit step reports; Qt redoes the title on each call, so only a change is passed on.
    if (const bool shown = modified && rom_->IsLoaded(); shown != isWindowModified())
        setWindowModified(shown);
}

void TMainForm::ShowImageCommands(bool shown)
{
    stageSelector_->setVisible(shown);
    pages_->setVisible(shown);
    menus_->ShowImageCommands(shown);
}

void TMainForm::NoImageState()
{
    timer_->stop();
    ShowImageCommands(false);
    menus_->EnableHistoryKeys(false);
    status_[0]->clear();
    ShowTitle();
    ShowModified(false);
}

void TMainForm::ImageOpenedState()
{
    timer_->stop();
    ShowTitle();
    // A new image starts unmodified, whatever the last one was.
    status_[0]->clear();
    ShowModified(false);
    updating_ = true;
    rom_->SetCurrentStageIndex(0);
    stageSelector_->clear();
    for (int stage = 0; stage < StageCount; ++stage)
        stageSelector_->addItem(StageSelectorEntry(stage));
    stageSelector_->setCurrentIndex(0);
    for (auto& [unit, page] : units_)
        unit->Open();
    stageSelector_->setCurrentIndex(0);
    updating_ = false;
    ShowImageCommands(true);
    EnableHistoryKeys();
    timer_->start();
}

void TMainForm::ReopenStages()
{
    timer_->stop();
    updating_ = true;
    for (auto& [unit, page] : units_)
        unit->Open();
    updating_ = false;
    ShowModified(rom_->DiffersFromFile());
    EnableHistoryKeys();
    timer_->start();
}

bool TMainForm::OpenImage(const QString& chosen)
{
    if (!files_->Load(chosen))
        return false;
    recent_->Add(QString::fromStdString(rom_->FileName()));
    ImageOpenedState();
    if (recovery_->OfferFor(QString::fromStdString(rom_->FileName())))
        ReopenStages();
    return true;
}

void TMainForm::OpenAfterAsking(const QString& path)
{
    // Opening over unsaved edits asks first, as closing does: nothing is dropped unasked.
    if (files_->SettleUnsavedChanges())
        OpenImage(path);
}

void TMainForm::CommandOpen()
{
    if (!files_->SettleUnsavedChanges())
        return;
    if (const auto path = prompts_.ChooseOpenFile())
        OpenImage(*path);
}

bool TMainForm::CommandSave() { return files_->Save(); }

bool TMainForm::CommandSaveAs() { return files_->SaveAs(); }

void TMainForm::CommandCreatePatch()
{
    if (rom_->IsLoaded())
        share_->CreatePatch();
}

void TMainForm::CommandExportStagePicture()
{
    if (rom_->IsLoaded())
        share_->ExportStagePicture();
}

void TMainForm::CommandClose()
{
    if (!rom_->IsLoaded() || !files_->SettleUnsavedChanges())
        return;
    NoImageState();
    for (auto& [unit, page] : units_)
        unit->ImageClosed();
    rom_->CloseImage();
    ShowTitle();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Cancel, or a save that fails, keeps the window open with the edits.
    if (files_ && !files_->SettleUnsavedChanges()) {
        event->ignore();
        return;
    }
    if (timer_)
        timer_->stop();
    event->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    event->acceptProposedAction();
    // One image at a time; what is not a local file is refused as Open refuses a bad file.
    const QString path = urls.front().isLocalFile() ? urls.front().toLocalFile() : urls.front().toString();
    OpenAfterAsking(path);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (pages_ && central_)
        pages_->setGeometry(0, 27, central_->width(), std::max(0, central_->height() - 27));
}

void TMainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow() || !files_)
        return;
    if (const QString said = files_->LookAtDisk(); !said.isEmpty())
        status_[2]->setText(said);
}

void TMainForm::UpdateEditMenu() { menus_->ShowHistory(*rom_); }

void TMainForm::EnableHistoryKeys() { menus_->EnableHistoryKeys(rom_->IsLoaded()); }

void TMainForm::RefreshActivePage()
{
    if (TEditorUnit* unit = UnitOfPage(pages_->currentIndex()))
        unit->Refresh();
}

void TMainForm::CommandUndo()
{
    if (!rom_->CanUndo())
        return;
    if (rom_->Undo() == ukObject)
        objectEdit_->ObjectsReplaced(rom_->CurrentStage().RedoStack().Peek()->Room());
    ShowModified(rom_->DiffersFromFile());
    recovery_->EditMade();
    RefreshActivePage();
}

void TMainForm::CommandRedo()
{
    if (!rom_->CanRedo())
        return;
    if (rom_->Redo() == ukObject)
        objectEdit_->ObjectsReplaced(rom_->CurrentStage().UndoStack().Peek()->Room());
    ShowModified(rom_->DiffersFromFile());
    recovery_->EditMade();
    RefreshActivePage();
}

void TMainForm::SelectStage(int index)
{
    if (!rom_->IsLoaded() || index < 0 || index >= StageCount || index == rom_->CurrentStageIndex())
        return;
    rom_->SetCurrentStageIndex(index);
    timer_->stop();
    for (auto& [unit, page] : units_)
        unit->StageChanged();
    timer_->start();
}

void TMainForm::ReloadCharacterData()
{
    if (!rom_->IsLoaded())
        return;
    std::string reason;
    if (!rom_->ReloadFromFile(&reason))
        prompts_.ShowMessage(QString::fromStdString(reason));
    patternTable_->StageChanged();
    RefreshActivePage();
}

void TMainForm::OnPageChanged(int page)
{
    if (!rom_->IsLoaded())
        return;
    if (TEditorUnit* unit = UnitOfPage(page))
        unit->Refresh();
}

void TMainForm::OnTimer()
{
    // Only a new frame redraws, and only on the page shown.
    if (!rom_->IsLoaded() || !palette_->IsAnimated() || !palette_->Tick())
        return;
    if (TEditorUnit* unit = UnitOfPage(pages_->currentIndex()))
        unit->AnimationTick();
}

} // namespace vx
