#include "core/files/IniFile.h"
#include "gui/commands/ShareCommands.h"
#include "gui/pages/MapEdit.h"
#include "tests/gui/support/EditorFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QSet>
#include <QTabBar>
#include <QTreeWidget>
#include <QUrl>

using namespace vx;

namespace {

class DesktopHabitsTest : public test::EditorFixture {
protected:
    // Shortcuts reach only the active window.
    void activate()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // One palette entry changed by typing, as a user edits.
    void editPalette()
    {
        QLineEdit* box = test::control<QLineEdit>(showPage(pgPaletteEdit), u"EditPaletteEdit", 0);
        type(box, box->text() == QStringLiteral("0F") ? QStringLiteral("30") : QStringLiteral("0F"));
        ASSERT_TRUE(form->rom().isModified());
    }
    QStringList recentItems() const
    {
        QStringList shown;
        for (const QAction* action : find<QMenu>(u"MenuRecentFiles")->actions())
            if (action->objectName().startsWith(QStringLiteral("MenuItemRecentFile")))
                shown << action->text();
        return shown;
    }
    void drop(const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        // As a drag does it: the window takes the drag first, then the drop.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &drop);
    }
};

TEST_F(DesktopHabitsTest, SaveKeyWorksFromAViewAndFromAHexBoxAndTheTitleFollowsTheEdits)
{
    opened();
    activate();
    EXPECT_FALSE(form->isWindowModified());
    editPalette();
    EXPECT_TRUE(form->isWindowModified());
    QLineEdit* box = test::control<QLineEdit>(pageSheet(pgPaletteEdit), u"EditPaletteEdit", 0);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(form->rom().isModified()) << "Ctrl+S from a hex box saved";
    EXPECT_FALSE(form->isWindowModified());
    EXPECT_FALSE(changedBytes().empty());

    ImageView* view = find<ImageView>(u"ImgMapEdit", 0);
    pages()->setCurrentIndex(pgMapEdit);
    press(view, 10, 10, Qt::LeftButton); // paints the selected chip
    editPalette();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(form->rom().isModified()) << "Ctrl+S from a view saved";

    // Undo back to what the file holds takes the mark away; redo brings it back.
    editPalette();
    EXPECT_TRUE(form->isWindowModified());
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(form->isWindowModified());
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(form->isWindowModified());
    prompts.answers = {Answer::No};
    QTest::keyClick(view, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(form->rom().isLoaded()) << "Ctrl+W closed after the question";
    EXPECT_EQ(prompts.questions.size(), 1);
}

TEST_F(DesktopHabitsTest, RecentFilesKeepTheLastEightNewestFirstAndDropWhatIsGone)
{
    std::vector<QString> images;
    for (int i = 0; i < 9; ++i) {
        images.push_back(QString::fromStdString(dir.file("image" + std::to_string(i) + ".nes")));
        test::writeFile(images.back().toStdString(), test::sampleBytes());
        ASSERT_TRUE(mainForm().openImage(images.back()));
    }
    QStringList shown = recentItems();
    ASSERT_EQ(shown.size(), 8);
    EXPECT_EQ(shown.front(), QStringLiteral("&1 ") + images[8]);
    EXPECT_EQ(shown.back(), QStringLiteral("&8 ") + images[1]);
    // Opening one again moves it to the front; the list is in the preferences file.
    ASSERT_TRUE(form->openImage(images[4]));
    EXPECT_EQ(recentItems().front(), QStringLiteral("&1 ") + images[4]);
    const IniFile preferences(dir.file("preferences.ini"));
    EXPECT_EQ(preferences.readString("RecentFiles", "File1", ""), images[4].toStdString());
    EXPECT_EQ(preferences.readString("RecentFiles", "File2", ""), images[8].toStdString());

    std::filesystem::remove(images[8].toStdString());
    find<QAction>(u"MenuItemRecentFile2")->trigger();
    QApplication::processEvents();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("no longer exists"))) << prompts.messages[0].toStdString();
    EXPECT_EQ(recentItems().size(), 7);
    EXPECT_EQ(form->rom().fileName(), images[4].toStdString()) << "the open image stays";

    // A recent file over unsaved edits asks first; Cancel keeps everything.
    editPalette();
    prompts.answers = {Answer::Cancel};
    find<QAction>(u"MenuItemRecentFile2")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(form->rom().fileName(), images[4].toStdString());
    find<QAction>(u"MenuItemClearRecentFiles")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(recentItems().isEmpty());
}

TEST_F(DesktopHabitsTest, WithNoImageTheWindowListsTheRecentImagesAndEnterOpensOne)
{
    const QString first = QString::fromStdString(dir.file("first.nes"));
    test::writeFile(first.toStdString(), test::sampleBytes());
    ASSERT_TRUE(mainForm().openImage(first));
    ASSERT_TRUE(form->openImage(image));
    form->commandClose();
    auto* start = find<QWidget>(u"StartScreen");
    ASSERT_TRUE(start->isVisibleTo(form.get()));
    auto* list = find<QTreeWidget>(u"ListStartRecent");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QFileInfo(image).fileName()) << "newest first";
    EXPECT_EQ(list->topLevelItem(1)->text(1), QFileInfo(first).absolutePath());
    EXPECT_FALSE(list->topLevelItem(1)->text(2).isEmpty()) << "the file's date";

    list->setCurrentItem(list->topLevelItem(1));
    QTest::keyClick(list, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(form->rom().fileName(), first.toStdString());
    EXPECT_FALSE(start->isVisibleTo(form.get()));
}

TEST_F(DesktopHabitsTest, ADroppedImageOpensAndAnythingElseIsRefusedAsOpenRefusesIt)
{
    mainForm();
    const QString other = QString::fromStdString(dir.file("dropped.nes"));
    test::writeFile(other.toStdString(), test::sampleBytes());
    drop({QUrl::fromLocalFile(other)});
    EXPECT_EQ(form->rom().fileName(), other.toStdString());

    const std::string text = dir.file("notes.txt");
    test::writeFile(text, std::vector<std::uint8_t>{'h', 'i', '\n'});
    drop({QUrl::fromLocalFile(QString::fromStdString(text))});
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(form->rom().fileName(), other.toStdString()) << "the open image stays";
    // The same words as Open gives for that file.
    prompts.openFiles = {QString::fromStdString(text)};
    find<QAction>(u"MenuItemOpen")->trigger();
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[0], prompts.messages[1]);
}

TEST(WroteFileText, NamesTheFileAndGroupsTheDigits)
{
    forceLanguage(Language::English);
    EXPECT_EQ(wroteFileText(QStringLiteral("/home/me/hack.bps"), 1823), QStringLiteral("Wrote hack.bps (1,823 bytes)"));
    EXPECT_EQ(wroteFileText(QStringLiteral("a.png"), 1234567), QStringLiteral("Wrote a.png (1,234,567 bytes)"));
    forceLanguage(Language::Japanese);
    EXPECT_EQ(wroteFileText(QStringLiteral("hack.bps"), 12),
              QString::fromUtf8("hack.bps を書き出しました (12 バイト)"));
    forceLanguage(std::nullopt);
}

} // namespace

TEST_F(DesktopHabitsTest, PageKeysGoThroughTheShownTabsOnlyAndAltArrowsStepTheRooms)
{
    opened();
    activate();
    pages()->setCurrentIndex(pgTileEdit);
    QWidget* anywhere = find<QComboBox>(u"ComboBoxBGSubPalette");
    QTest::keyClick(anywhere, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages()->currentIndex(), pgMapEdit) << "past the hidden sprite-bank page, around the end";
    QTest::keyClick(pages()->currentWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(pages()->currentIndex(), pgTileEdit);
    for (int n = 0; n < PageCount; ++n) {
        QTest::keyClick(pages()->currentWidget(), Qt::Key_PageDown, Qt::ControlModifier);
        EXPECT_TRUE(pages()->tabBar()->isTabVisible(pages()->currentIndex()));
    }

    pages()->setCurrentIndex(pgMapEdit);
    const int left = form->mapEdit()->viewRoom(0);
    QTest::keyClick(pages()->currentWidget(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(form->mapEdit()->viewRoom(0), left + 1);
    auto* bar = find<QScrollBar>(u"ScrollBarEditedMapPage", 0);
    EXPECT_EQ(bar->focusPolicy(), Qt::StrongFocus) << "a room is chosen by keyboard too";
}

TEST_F(DesktopHabitsTest, EveryMenuItemHasAnAccessLetterOfItsOwnInBothLanguages)
{
    for (const Language language : {Language::Japanese, Language::English}) {
        forceLanguage(language);
        opened();
        std::vector<QMenu*> menus;
        for (QAction* top : form->menuBar()->actions())
            if (top->menu())
                menus.push_back(top->menu());
        for (std::size_t m = 0; m < menus.size(); ++m) {
            emit menus[m]->aboutToShow(); // captions follow the language as the menu opens
            QSet<QChar> letters;
            for (QAction* action : menus[m]->actions()) {
                if (action->isSeparator())
                    continue;
                if (action->menu())
                    menus.push_back(action->menu());
                const QString text = action->text();
                const qsizetype at = text.indexOf(QLatin1Char('&'));
                ASSERT_TRUE(at >= 0 && at + 1 < text.size()) << text.toStdString() << " has no access letter";
                const QChar letter = text.at(at + 1).toUpper();
                EXPECT_FALSE(letters.contains(letter))
                    << text.toStdString() << " repeats " << QString(letter).toStdString();
                letters.insert(letter);
            }
        }
        form.reset();
    }
}
