#include "core/MyIniFiles.h"
#include "gui/app/ShareCommands.h"
#include "tests/gui/support/EditorFixture.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

using namespace vx;

namespace {

class DesktopHabitsTest : public test::EditorFixture {
protected:
    // Shortcuts reach only the active window.
    void Activate()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // One palette entry changed by typing, as a user edits.
    void EditPalette()
    {
        QLineEdit* box = test::Control<QLineEdit>(ShowPage(pgPaletteEdit), u"EditPaletteEdit", 0);
        Type(box, box->text() == QStringLiteral("0F") ? QStringLiteral("30") : QStringLiteral("0F"));
        ASSERT_TRUE(form->Rom().IsModified());
    }
    QStringList RecentItems() const
    {
        QStringList shown;
        for (const QAction* action : Find<QMenu>(u"MenuRecentFiles")->actions())
            if (action->objectName().startsWith(QStringLiteral("MenuItemRecentFile")))
                shown << action->text();
        return shown;
    }
    void Drop(const QList<QUrl>& urls)
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
    Opened();
    Activate();
    EXPECT_FALSE(form->isWindowModified());
    EditPalette();
    EXPECT_TRUE(form->isWindowModified());
    QLineEdit* box = test::Control<QLineEdit>(PageSheet(pgPaletteEdit), u"EditPaletteEdit", 0);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(form->Rom().IsModified()) << "Ctrl+S from a hex box saved";
    EXPECT_FALSE(form->isWindowModified());
    EXPECT_FALSE(ChangedBytes().empty());

    TImageView* view = Find<TImageView>(u"ImgMapEdit", 0);
    Pages()->setCurrentIndex(pgMapEdit);
    Press(view, 10, 10, Qt::LeftButton); // paints the selected chip
    EditPalette();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(form->Rom().IsModified()) << "Ctrl+S from a view saved";

    // Undo back to what the file holds takes the mark away; redo brings it back.
    EditPalette();
    EXPECT_TRUE(form->isWindowModified());
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(form->isWindowModified());
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(form->isWindowModified());
    prompts.answers = {TAnswer::No};
    QTest::keyClick(view, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(form->Rom().IsLoaded()) << "Ctrl+W closed after the question";
    EXPECT_EQ(prompts.questions.size(), 1);
}

TEST_F(DesktopHabitsTest, RecentFilesKeepTheLastEightNewestFirstAndDropWhatIsGone)
{
    std::vector<QString> images;
    for (int i = 0; i < 9; ++i) {
        images.push_back(QString::fromStdString(dir.File("image" + std::to_string(i) + ".nes")));
        test::WriteFile(images.back().toStdString(), test::SampleBytes());
        ASSERT_TRUE(Form().OpenImage(images.back()));
    }
    QStringList shown = RecentItems();
    ASSERT_EQ(shown.size(), 8);
    EXPECT_EQ(shown.front(), QStringLiteral("&1 ") + images[8]);
    EXPECT_EQ(shown.back(), QStringLiteral("&8 ") + images[1]);
    // Opening one again moves it to the front; the list is in the preferences file.
    ASSERT_TRUE(form->OpenImage(images[4]));
    EXPECT_EQ(RecentItems().front(), QStringLiteral("&1 ") + images[4]);
    const TMemIniFile preferences(dir.File("preferences.ini"));
    EXPECT_EQ(preferences.ReadString("RecentFiles", "File1", ""), images[4].toStdString());
    EXPECT_EQ(preferences.ReadString("RecentFiles", "File2", ""), images[8].toStdString());

    std::filesystem::remove(images[8].toStdString());
    Find<QAction>(u"MenuItemRecentFile2")->trigger();
    QApplication::processEvents();
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains(QStringLiteral("no longer exists"))) << prompts.messages[0].toStdString();
    EXPECT_EQ(RecentItems().size(), 7);
    EXPECT_EQ(form->Rom().FileName(), images[4].toStdString()) << "the open image stays";

    // A recent file over unsaved edits asks first; Cancel keeps everything.
    EditPalette();
    prompts.answers = {TAnswer::Cancel};
    Find<QAction>(u"MenuItemRecentFile2")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(form->Rom().FileName(), images[4].toStdString());
    Find<QAction>(u"MenuItemClearRecentFiles")->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(RecentItems().isEmpty());
}

TEST_F(DesktopHabitsTest, ADroppedImageOpensAndAnythingElseIsRefusedAsOpenRefusesIt)
{
    Form();
    const QString other = QString::fromStdString(dir.File("dropped.nes"));
    test::WriteFile(other.toStdString(), test::SampleBytes());
    Drop({QUrl::fromLocalFile(other)});
    EXPECT_EQ(form->Rom().FileName(), other.toStdString());

    const std::string text = dir.File("notes.txt");
    test::WriteFile(text, std::vector<std::uint8_t>{'h', 'i', '\n'});
    Drop({QUrl::fromLocalFile(QString::fromStdString(text))});
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(form->Rom().FileName(), other.toStdString()) << "the open image stays";
    // The same words as Open gives for that file.
    prompts.openFiles = {QString::fromStdString(text)};
    Find<QAction>(u"MenuItemOpen")->trigger();
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[0], prompts.messages[1]);
}

TEST(WroteFileText, NamesTheFileAndGroupsTheDigits)
{
    ForceLanguage(Language::English);
    EXPECT_EQ(WroteFileText(QStringLiteral("/home/me/hack.bps"), 1823), QStringLiteral("Wrote hack.bps (1,823 bytes)"));
    EXPECT_EQ(WroteFileText(QStringLiteral("a.png"), 1234567), QStringLiteral("Wrote a.png (1,234,567 bytes)"));
    ForceLanguage(Language::Japanese);
    EXPECT_EQ(WroteFileText(QStringLiteral("hack.bps"), 12), QString::fromUtf8("hack.bps を書き出しました (12 バイト)"));
    ForceLanguage(std::nullopt);
}

} // namespace
