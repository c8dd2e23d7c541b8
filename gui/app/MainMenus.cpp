#include "gui/app/MainMenus.h"

#include "core/base/Language.h"
#include "core/model/RomImage.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english) { return QString::fromStdString(localized(japanese, english)); }

// The key the menu shows first, then the platform's other keys for the same command.
QList<QKeySequence> keys(QKeySequence::StandardKey key, QKeyCombination shown)
{
    QList<QKeySequence> list{QKeySequence(shown)};
    for (const QKeySequence& other : QKeySequence::keyBindings(key))
        if (!list.contains(other))
            list << other;
    return list;
}

} // namespace

MainMenus::MainMenus(QMainWindow* window, MenuCommands commands) : commands_(std::move(commands))
{
    const auto item = [this](QMenu* menu, const char* caption, const char* name, const std::function<void()>& command) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered, menu, [command] {
            if (command)
                command();
        });
        return action;
    };
    file = window->menuBar()->addMenu(QString::fromUtf8("ファイル(&F)"));
    file->setObjectName(QStringLiteral("MenuFile"));
    open = item(file, "開く(&O)", "MenuItemOpen", commands_.open);
    file->addSeparator();
    save = item(file, "上書き保存(&S)", "MenuItemSave", commands_.save);
    saveAs = item(file, "名前を付けて保存(&A)", "MenuItemSaveAs", commands_.saveAs);
    recent = file->addMenu(QString());
    file->addSeparator();
    patch = item(file, "", "MenuItemCreatePatch", commands_.createPatch);
    exportPicture = item(file, "", "MenuItemExportStagePicture", commands_.exportPicture);
    exportText = item(file, "", "MenuItemExportStageText", commands_.exportText);
    importText = item(file, "", "MenuItemImportStageText", commands_.importText);
    file->addSeparator();
    exportTiles = item(file, "", "MenuItemExportTiles", commands_.exportTiles);
    importTiles = item(file, "", "MenuItemImportTiles", commands_.importTiles);
    exportPalette = item(file, "", "MenuItemExportPalette", commands_.exportPalette);
    importPalette = item(file, "", "MenuItemImportPalette", commands_.importPalette);
    // Their captions follow the user's language, asked when the menu opens.
    const auto caption = [this] {
        recent->setTitle(qText("最近使ったファイル(&R)", "&Recent Files"));
        patch->setText(qText("パッチの作成(&P)...", "Create &Patch..."));
        exportPicture->setText(qText("ステージ画像の書き出し(&E)...", "&Export Stage Picture..."));
        exportText->setText(qText("ステージのテキスト書き出し(&T)...", "Export Stage as &Text..."));
        importText->setText(qText("ステージのテキスト読み込み(&I)...", "&Import Stage Text..."));
        exportTiles->setText(qText("タイル画像の書き出し(&G)...", "Export Tiles as P&NG..."));
        importTiles->setText(qText("タイル画像の読み込み(&L)...", "Import Tiles from PN&G..."));
        exportPalette->setText(qText("パレットの書き出し(&B)...", "Export Palette as GP&L..."));
        importPalette->setText(qText("パレットの読み込み(&M)...", "Import Palette &from GPL..."));
    };
    caption();
    QObject::connect(file, &QMenu::aboutToShow, file, caption);
    file->addSeparator();
    close = item(file, "閉じる(&C)", "MenuItemClose", commands_.close);
    file->addSeparator();
    exit = item(file, "終了(&X)", "MenuItemExit", commands_.exit);

    edit = window->menuBar()->addMenu(QString::fromUtf8("編集(&E)"));
    edit->setObjectName(QStringLiteral("MenuEdit"));
    undo = item(edit, "元に戻す(&U)", "MenuItemUndo", commands_.undo);
    redo = item(edit, "やり直し(&R)", "MenuItemRedo", commands_.redo);
    edit->addSeparator();
    findChipUses = item(edit, "", "MenuItemFindChipUses", commands_.findChipUses);
    replaceChip = item(edit, "", "MenuItemReplaceChip", commands_.replaceChip);
    const auto editCaption = [this] {
        findChipUses->setText(qText("使用箇所の検索(&F)...", "&Find Chip Uses..."));
        replaceChip->setText(qText("チップの置換(&P)...", "Re&place Chip..."));
    };
    editCaption();
    QObject::connect(edit, &QMenu::aboutToShow, edit, editCaption);

    tools = window->menuBar()->addMenu(QString::fromUtf8("ツール(&T)"));
    tools->setObjectName(QStringLiteral("MenuTools"));
    checkStage = item(tools, "", "MenuItemCheckStage", commands_.checkStage);
    stageOverview = item(tools, "", "MenuItemStageOverview", commands_.stageOverview);
    tools->addSeparator();
    testPlay = item(tools, "", "MenuItemTestPlay", commands_.testPlay);
    emulatorSettings = item(tools, "", "MenuItemEmulatorSettings", commands_.emulatorSettings);
    consoleColours = item(tools, "", "MenuItemConsoleColours", commands_.consoleColours);
    const auto toolsCaption = [this] {
        checkStage->setText(qText("ステージの点検(&K)...", "&Check Stage..."));
        stageOverview->setText(qText("ステージ全体図(&V)", "Stage O&verview"));
        testPlay->setText(qText("テストプレイ(&P)", "Test &Play"));
        emulatorSettings->setText(qText("エミュレータの設定(&E)...", "&Emulator Settings..."));
        consoleColours->setText(qText("色ファイルの設定(&O)...", "C&onsole Colour File..."));
    };
    toolsCaption();
    QObject::connect(tools, &QMenu::aboutToShow, tools, toolsCaption);

    // The desktop's keys; the window holds them, so they work whatever control has the focus
    // and not while a dialog is open.
    open->setShortcuts(keys(QKeySequence::Open, Qt::CTRL | Qt::Key_O));
    save->setShortcuts(keys(QKeySequence::Save, Qt::CTRL | Qt::Key_S));
    saveAs->setShortcuts(keys(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    close->setShortcuts(keys(QKeySequence::Close, Qt::CTRL | Qt::Key_W));
    exit->setShortcuts(keys(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    checkStage->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    findChipUses->setShortcuts(keys(QKeySequence::Find, Qt::CTRL | Qt::Key_F));
    stageOverview->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    testPlay->setShortcut(QKeySequence(Qt::Key_F5));
    window->addActions({open, save, saveAs, close, exit, undo, redo, findChipUses, checkStage, stageOverview, testPlay});
    // They work from the tool windows beside the editor too, never under a modal dialog.
    for (QAction* action : {open, save, saveAs, close, exit, undo, redo, findChipUses, checkStage, stageOverview, testPlay})
        action->setShortcutContext(Qt::ApplicationShortcut);
}

void MainMenus::showHistory(const RomImage& rom)
{
    const bool canUndo = rom.canUndo(), canRedo = rom.canRedo();
    undo->setEnabled(canUndo);
    redo->setEnabled(canRedo);
    undo->setText(canUndo ? qText("元に戻す(&U) - ", "Undo(&U) - ") + QString::fromStdString(rom.undoCaption())
                          : qText("元に戻す(&U)", "Undo(&U)"));
    redo->setText(canRedo ? qText("やり直し(&R) - ", "Redo(&R) - ") + QString::fromStdString(rom.redoCaption())
                          : qText("やり直し(&R)", "Redo(&R)"));
}

void MainMenus::enableHistoryKeys(bool imageOpen)
{
    undo->setEnabled(imageOpen);
    redo->setEnabled(imageOpen);
}

void MainMenus::showImageCommands(bool shown)
{
    for (QAction* action : {save, saveAs, patch, exportPicture, exportText, importText, exportTiles, importTiles,
                            exportPalette, importPalette, close, findChipUses, replaceChip, checkStage, stageOverview, testPlay})
        action->setEnabled(shown);
    edit->menuAction()->setVisible(shown);
    tools->menuAction()->setVisible(shown);
}

} // namespace vx
