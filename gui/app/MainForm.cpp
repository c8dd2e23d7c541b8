#include "gui/app/MainForm.h"

#include "core/AddressData.h"
#include "core/Language.h"
#include "core/MyIniFiles.h"
#include "core/NameLists.h"
#include "core/RomImgManager.h"
#include "gui/app/FileCommands.h"
#include "gui/app/ShareCommands.h"
#include "gui/app/StageNames.h"
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

TMainForm::TMainForm(TPrompts& prompts, const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts)
{
    setWindowTitle(AppTitle);
    if (!CreateRunObjects(programFolder)) {
        failed_ = true;
        return;
    }
    BuildFrame();
    BuildMenus();
    BindUnits();
    NoImageState();
}

TMainForm::~TMainForm()
{
    if (timer_)
        timer_->stop();
    if (!settings_ || !addresses_)
        return;
    try {
        settings_->UpdateFile();
    } catch (const std::exception& error) {
        // The program still ends normally; the user learns that the settings were not kept.
        prompts_.ShowMessage(Text("設定ファイルを保存できませんでした。\n", "The settings file could not be saved.\n") +
                             QString::fromStdString(error.what()));
    }
}

bool TMainForm::CreateRunObjects(const QString& programFolder)
{
    const std::string folder = programFolder.toStdString();
    try {
        settings_ = std::make_unique<TMyMemIniFile>(folder + "/vexalon2editor.ini");
        addresses_ = std::make_unique<TAddressData>(*settings_);
        rom_ = std::make_unique<TRomImgManager>(*addresses_);
        palette_ = std::make_unique<TPaletteManager>("fcpalette.pal");
        glyphs_ = std::make_unique<TQtGlyphRenderer>();
        graphics_ = std::make_unique<TGraphicManager>(*palette_, glyphs_.get());
        files_ = std::make_unique<TFileCommands>(prompts_, *rom_);
        share_ = std::make_unique<TShareCommands>(prompts_, *rom_, *palette_, glyphs_.get());
        chipAttributeNames_ = LoadChipAttributeNames(folder + "/ChipAttributeList.txt");
        objectNames_ = LoadObjectNames(folder + "/ObjectList.txt");
    } catch (const std::bad_alloc&) {
        prompts_.ShowMessage(OutOfMemoryText());
        return false;
    } catch (const std::exception& error) {
        prompts_.ShowMessage(QString::fromStdString(error.what()));
        return false;
    }
    files_->Saved = [this] {
        status_[0]->clear();
        ShowTitle();
    };
    rom_->Hooks.ShowModified = [this](const std::string& text) { status_[0]->setText(QString::fromStdString(text)); };
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
    QMenu* file = menuBar()->addMenu(QString::fromUtf8("ファイル(&F)"));
    open_ = file->addAction(QString::fromUtf8("開く(&O)"), this, &TMainForm::CommandOpen);
    file->addSeparator();
    save_ = file->addAction(QString::fromUtf8("上書き保存(&S)"), this, [this] { CommandSave(); });
    saveAs_ = file->addAction(QString::fromUtf8("名前を付けて保存(&A)"), this, [this] { CommandSaveAs(); });
    file->addSeparator();
    patch_ = file->addAction(QString(), this, &TMainForm::CommandCreatePatch);
    exportPicture_ = file->addAction(QString(), this, &TMainForm::CommandExportStagePicture);
    // Their captions follow the user's language, asked when the menu opens.
    const auto caption = [this] {
        patch_->setText(Text("パッチの作成...", "Create Patch..."));
        exportPicture_->setText(Text("ステージ画像の書き出し...", "Export Stage Picture..."));
    };
    caption();
    connect(file, &QMenu::aboutToShow, this, caption);
    file->addSeparator();
    close_ = file->addAction(QString::fromUtf8("閉じる(&C)"), this, &TMainForm::CommandClose);
    file->addSeparator();
    exit_ = file->addAction(QString::fromUtf8("終了(&X)"), this, &QWidget::close);

    editMenu_ = menuBar()->addMenu(QString::fromUtf8("編集(&E)"));
    undo_ = editMenu_->addAction(QString::fromUtf8("元に戻す(&U)"), this, &TMainForm::CommandUndo);
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = editMenu_->addAction(QString::fromUtf8("やり直し(&R)"), this, &TMainForm::CommandRedo);
    redo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    // The captions and states are made each time the menu opens. A disabled action ignores
    // its key, and edits happen without the shell seeing them, so while the menu is closed
    // both stay enabled and the commands themselves check for a step.
    connect(editMenu_, &QMenu::aboutToShow, this, &TMainForm::UpdateEditMenu);
    connect(editMenu_, &QMenu::aboutToHide, this, &TMainForm::EnableHistoryKeys);
    addAction(undo_);
    addAction(redo_);
    // Named for lookups, as the pages' controls are.
    file->setObjectName(QStringLiteral("MenuFile"));
    editMenu_->setObjectName(QStringLiteral("MenuEdit"));
    const std::pair<QAction*, const char*> named[] = {
        {open_, "MenuItemOpen"},   {save_, "MenuItemSave"},   {saveAs_, "MenuItemSaveAs"},
        {patch_, "MenuItemCreatePatch"}, {exportPicture_, "MenuItemExportStagePicture"},
        {close_, "MenuItemClose"}, {exit_, "MenuItemExit"}, {undo_, "MenuItemUndo"}, {redo_, "MenuItemRedo"}};
    for (const auto& [action, name] : named)
        action->setObjectName(QString::fromLatin1(name));
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
    setWindowTitle(rom_->IsLoaded() ? AppTitle + QStringLiteral(" - ") + QString::fromStdString(rom_->FileName())
                                    : AppTitle);
}

void TMainForm::ShowImageCommands(bool shown)
{
    stageSelector_->setVisible(shown);
    pages_->setVisible(shown);
    for (QAction* action : {save_, saveAs_, patch_, exportPicture_, close_})
        action->setEnabled(shown);
    editMenu_->menuAction()->setVisible(shown);
}

void TMainForm::NoImageState()
{
    timer_->stop();
    ShowImageCommands(false);
    undo_->setEnabled(false);
    redo_->setEnabled(false);
    status_[0]->clear();
    ShowTitle();
}

void TMainForm::ImageOpenedState()
{
    timer_->stop();
    ShowTitle();
    // A new image starts unmodified, whatever the last one was.
    status_[0]->clear();
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

bool TMainForm::OpenImage(const QString& chosen)
{
    if (!files_->Load(chosen))
        return false;
    ImageOpenedState();
    return true;
}

void TMainForm::CommandOpen()
{
    // Opening over unsaved edits asks first, as closing does: nothing is dropped unasked.
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

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (pages_ && central_)
        pages_->setGeometry(0, 27, central_->width(), std::max(0, central_->height() - 27));
}

void TMainForm::UpdateEditMenu()
{
    const bool canUndo = rom_->CanUndo(), canRedo = rom_->CanRedo();
    undo_->setEnabled(canUndo);
    redo_->setEnabled(canRedo);
    undo_->setText(canUndo ? Text("元に戻す(&U) - ", "Undo(&U) - ") + QString::fromStdString(rom_->UndoCaption())
                           : Text("元に戻す(&U)", "Undo(&U)"));
    redo_->setText(canRedo ? Text("やり直し(&R) - ", "Redo(&R) - ") + QString::fromStdString(rom_->RedoCaption())
                           : Text("やり直し(&R)", "Redo(&R)"));
}

void TMainForm::EnableHistoryKeys()
{
    undo_->setEnabled(rom_->IsLoaded());
    redo_->setEnabled(rom_->IsLoaded());
}

void TMainForm::RefreshActivePage()
{
    if (TEditorUnit* unit = UnitOfPage(pages_->currentIndex()))
        unit->Refresh();
}

void TMainForm::CommandUndo()
{
    if (!rom_->CanUndo())
        return;
    rom_->Undo();
    RefreshActivePage();
}

void TMainForm::CommandRedo()
{
    if (!rom_->CanRedo())
        return;
    rom_->Redo();
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
