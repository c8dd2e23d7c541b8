#include "gui/app/MainMenus.h"

#include "core/base/Language.h"
#include "core/model/RomImage.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}
// The menus' fixed captions: Japanese unless the user chose English.
QString qCaption(const char* japanese, const char* english)
{
    return QString::fromStdString(captionText(japanese, english));
}

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
    const auto item = [this](QMenu* menu, const QString& caption, const char* name,
                             const std::function<void()>& command) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered, menu, [command] {
            if (command)
                command();
        });
        return action;
    };
    file = window->menuBar()->addMenu(qCaption("ファイル(&F)", "&File"));
    file->setObjectName(QStringLiteral("MenuFile"));
    open = item(file, qCaption("開く(&O)", "&Open..."), "MenuItemOpen", commands_.open);
    file->addSeparator();
    save = item(file, qCaption("上書き保存(&S)", "&Save"), "MenuItemSave", commands_.save);
    saveAs = item(file, qCaption("名前を付けて保存(&A)", "Save &As..."), "MenuItemSaveAs", commands_.saveAs);
    recent = file->addMenu(QString());
    file->addSeparator();
    patch = item(file, QString(), "MenuItemCreatePatch", commands_.createPatch);
    exportPicture = item(file, QString(), "MenuItemExportStagePicture", commands_.exportPicture);
    exportText = item(file, QString(), "MenuItemExportStageText", commands_.exportText);
    importText = item(file, QString(), "MenuItemImportStageText", commands_.importText);
    file->addSeparator();
    exportTiles = item(file, QString(), "MenuItemExportTiles", commands_.exportTiles);
    importTiles = item(file, QString(), "MenuItemImportTiles", commands_.importTiles);
    tileChipLayout = file->addAction(QString());
    tileChipLayout->setObjectName(QStringLiteral("MenuItemTileChipLayout"));
    tileChipLayout->setCheckable(true);
    QObject::connect(tileChipLayout, &QAction::triggered, file, [this](bool checked) {
        if (commands_.tileChipLayout)
            commands_.tileChipLayout(checked);
    });
    exportPalette = item(file, QString(), "MenuItemExportPalette", commands_.exportPalette);
    importPalette = item(file, QString(), "MenuItemImportPalette", commands_.importPalette);
    // Their captions follow the user's language, asked when the menu opens.
    const auto caption = [this] {
        recent->setTitle(qText("最近使ったファイル(&R)", "&Recent Files"));
        patch->setText(qText("パッチの作成(&P)...", "Create &Patch..."));
        exportPicture->setText(qText("ステージ画像の書き出し(&E)...", "&Export Stage Picture..."));
        exportText->setText(qText("ステージのテキスト書き出し(&T)...", "Export Stage as &Text..."));
        importText->setText(qText("ステージのテキスト読み込み(&I)...", "&Import Stage Text..."));
        exportTiles->setText(qText("タイル画像の書き出し(&G)...", "Export Tiles as P&NG..."));
        importTiles->setText(qText("タイル画像の読み込み(&L)...", "Import Tiles from PN&G..."));
        tileChipLayout->setText(qText("タイル画像を 16x16 チップの並び"
                                      "で(&Q)",
                                      "Tile Pictures in 16x16 Chip La&yout"));
        exportPalette->setText(qText("パレットの書き出し(&B)...", "Export Palette as GP&L..."));
        importPalette->setText(qText("パレットの読み込み(&M)...", "Import Palette &from GPL..."));
    };
    caption();
    QObject::connect(file, &QMenu::aboutToShow, file, caption);
    // The check follows the table the tiles page shows, which may have changed since.
    QObject::connect(file, &QMenu::aboutToShow, file, [this] {
        tileChipLayout->setChecked(commands_.tileChipLayoutChecked && commands_.tileChipLayoutChecked());
    });
    file->addSeparator();
    close = item(file, qCaption("閉じる(&C)", "&Close"), "MenuItemClose", commands_.close);
    file->addSeparator();
    exit = item(file, qCaption("終了(&X)", "E&xit"), "MenuItemExit", commands_.exit);

    edit = window->menuBar()->addMenu(qCaption("編集(&E)", "&Edit"));
    edit->setObjectName(QStringLiteral("MenuEdit"));
    undo = item(edit, qCaption("元に戻す(&U)", "&Undo"), "MenuItemUndo", commands_.undo);
    redo = item(edit, qCaption("やり直し(&R)", "&Redo"), "MenuItemRedo", commands_.redo);
    edit->addSeparator();
    findChipUses = item(edit, QString(), "MenuItemFindChipUses", commands_.findChipUses);
    replaceChip = item(edit, QString(), "MenuItemReplaceChip", commands_.replaceChip);
    const auto editCaption = [this] {
        findChipUses->setText(qText("使用箇所の検索(&F)...", "&Find Chip Uses..."));
        replaceChip->setText(qText("チップの置換(&P)...", "Re&place Chip..."));
    };
    editCaption();
    QObject::connect(edit, &QMenu::aboutToShow, edit, editCaption);

    view = window->menuBar()->addMenu(qCaption("表示(&V)", "&View"));
    view->setObjectName(QStringLiteral("MenuView"));
    zoomIn = item(view, qCaption("拡大(&I)", "Zoom &In"), "MenuItemZoomIn", commands_.zoomIn);
    zoomOut = item(view, qCaption("縮小(&O)", "Zoom &Out"), "MenuItemZoomOut", commands_.zoomOut);
    actualSize = item(view, qCaption("等倍(&A)", "&Actual Size"), "MenuItemActualSize", commands_.actualSize);
    view->addSeparator();
    // Each language under its own name, whatever the interface shows.
    QMenu* language = view->addMenu(qCaption("表示言語(&L)", "Interface &Language"));
    language->setObjectName(QStringLiteral("MenuInterfaceLanguage"));
    language->setToolTipsVisible(true);
    nextLanguage_ = chosenInterfaceLanguage();
    const auto languageItem = [this, &item, language](const QString& caption, const char* name,
                                                      std::optional<Language> choice) {
        QAction* action = item(language, caption, name, [this, choice] {
            if (commands_.interfaceLanguage)
                commands_.interfaceLanguage(choice); // throws when it could not be kept
            nextLanguage_ = choice;
        });
        action->setCheckable(true);
        return action;
    };
    systemInterface = languageItem(qCaption("システムに従"
                                            "う(&S)",
                                            "Follow the &System"),
                                   "MenuItemSystemInterface", std::nullopt);
    japaneseInterface = languageItem(QStringLiteral("日本語(&J)"), "MenuItemJapaneseInterface", Language::Japanese);
    englishInterface = languageItem(QStringLiteral("&English"), "MenuItemEnglishInterface", Language::English);
    const auto languageChecks = [this] {
        systemInterface->setChecked(!nextLanguage_);
        japaneseInterface->setChecked(nextLanguage_ == Language::Japanese);
        englishInterface->setChecked(nextLanguage_ == Language::English);
        // In the user's language, so whoever cannot read the captions reads what it does.
        const QString what = qText("メニューと見出しは日本語、その他の表示はシステムの言"
                                   "語設定 (LC_ALL、LC_MESSAGES、"
                                   "LANG) に従います。",
                                   "Menus and labels in Japanese, other texts in the system's language "
                                   "(LC_ALL, LC_MESSAGES or LANG).");
        const QString when = qText("次回の起動から有効です。", "Takes effect at the next start.");
        systemInterface->setStatusTip(what + qText("", " ") + when);
        systemInterface->setToolTip(what + QLatin1Char('\n') + when);
    };
    languageChecks();
    QObject::connect(language, &QMenu::aboutToShow, language, languageChecks);

    tools = window->menuBar()->addMenu(qCaption("ツール(&T)", "&Tools"));
    tools->setObjectName(QStringLiteral("MenuTools"));
    checkStage = item(tools, QString(), "MenuItemCheckStage", commands_.checkStage);
    stageOverview = item(tools, QString(), "MenuItemStageOverview", commands_.stageOverview);
    tools->addSeparator();
    testPlay = item(tools, QString(), "MenuItemTestPlay", commands_.testPlay);
    testPlayFromHere = item(tools, QString(), "MenuItemTestPlayFromHere", commands_.testPlayFromHere);
    emulatorSettings = item(tools, QString(), "MenuItemEmulatorSettings", commands_.emulatorSettings);
    consoleColours = item(tools, QString(), "MenuItemConsoleColours", commands_.consoleColours);
    const auto toolsCaption = [this] {
        checkStage->setText(qText("ステージの点検(&K)...", "&Check Stage..."));
        stageOverview->setText(qText("ステージ全体図(&V)", "Stage O&verview"));
        testPlay->setText(qText("テストプレイ(&P)", "Test &Play"));
        testPlayFromHere->setText(qText("ここからテストプレイ(&H)", "Test Play from &Here"));
        emulatorSettings->setText(qText("エミュレータの設定(&E)...", "&Emulator Settings..."));
        consoleColours->setText(qText("色ファイルの設定(&O)...", "C&onsole Colour File..."));
    };
    toolsCaption();
    QObject::connect(tools, &QMenu::aboutToShow, tools, toolsCaption);
    renumber = addRenumberItems(edit, tools, testPlay, [this](Renumber command, bool checked) {
        if (commands_.renumber)
            commands_.renumber(command, checked);
    });

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
    testPlayFromHere->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F5));
    zoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus),
                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus)});
    zoomOut->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Minus), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Minus)});
    actualSize->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    const QList<QAction*> keyed{open,   save,         saveAs,     close,         exit,     undo,
                                redo,   findChipUses, checkStage, stageOverview, testPlay, testPlayFromHere,
                                zoomIn, zoomOut,      actualSize};
    window->addActions(keyed);
    // They work from the tool windows beside the editor too, never under a modal dialog.
    for (QAction* action : keyed)
        action->setShortcutContext(Qt::ApplicationShortcut);
}

void MainMenus::showHistory(const RomImage& rom)
{
    const bool canUndo = rom.canUndo(), canRedo = rom.canRedo();
    undo->setEnabled(canUndo);
    redo->setEnabled(canRedo);
    // A replace in all stages makes a step of several stages, and so does a renumbering
    // whose caption is its own.
    const auto renumbers = [&rom](bool back) {
        const EditCommand* top = (back ? rom.currentStage().undoStack() : rom.currentStage().redoStack()).peek();
        return top && isRenumbering(top->kind());
    };
    if (rom.stepStages(true).size() > 1 && !renumbers(true))
        undo->setText(qText("全ステージの置き換えを元に戻す(&U)", "&Undo Replace in All Stages"));
    else
        undo->setText(canUndo ? qText("元に戻す(&U) - ", "&Undo - ") + QString::fromStdString(rom.undoCaption())
                              : qText("元に戻す(&U)", "&Undo"));
    if (rom.stepStages(false).size() > 1 && !renumbers(false))
        redo->setText(qText("全ステージの置き換えをやり直す(&R)", "&Redo Replace in All Stages"));
    else
        redo->setText(canRedo ? qText("やり直し(&R) - ", "&Redo - ") + QString::fromStdString(rom.redoCaption())
                              : qText("やり直し(&R)", "&Redo"));
}

void MainMenus::enableHistoryKeys(bool imageOpen)
{
    undo->setEnabled(imageOpen);
    redo->setEnabled(imageOpen);
}

void MainMenus::showImageCommands(bool shown)
{
    for (QAction* action : {save,       saveAs,           patch,       exportPicture, exportText,
                            importText, exportTiles,      importTiles, exportPalette, importPalette,
                            close,      findChipUses,     replaceChip, checkStage,    stageOverview,
                            testPlay,   testPlayFromHere, zoomIn,      zoomOut,       actualSize})
        action->setEnabled(shown);
    for (QAction* action : renumber.all())
        action->setEnabled(shown);
    tileChipLayout->setEnabled(shown);
    edit->menuAction()->setVisible(shown);
    tools->menuAction()->setVisible(shown);
}

} // namespace vx
