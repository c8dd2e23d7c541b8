#pragma once
#include "core/Language.h"
#include "core/RomImgManager.h"
#include "gui/widgets/ImageView.h"
#include "tests/gui/support/EditorSession.h"
#include "tests/gui/support/Mouse.h"
#include "tests/support/Images.h"

#include <QAction>
#include <QKeySequence>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace vx::test {

// The editor on the sample image for every page's tests, in English unless a test says
// otherwise; a question nobody scripted fails the test.
class EditorFixture : public ::testing::Test, protected EditorSession {
protected:
    void SetUp() override { ForceLanguage(Language::English); }
    void TearDown() override
    {
        form.reset();
        ForceLanguage(std::nullopt);
        EXPECT_EQ(prompts.unexpected, 0) << "a question nobody expected";
    }
    TMainForm& Opened()
    {
        EXPECT_TRUE(Form().OpenImage(image));
        return *form;
    }
    // Opens the image unless one is open and brings the page to the front: its tab sheet.
    QWidget* ShowPage(TPage page)
    {
        if (!form)
            Opened();
        Pages()->setCurrentIndex(page);
        return PageSheet(page);
    }
    TStageData& Stage() const { return form->Rom().CurrentStage(); }
    int UndoCount() const { return Stage().UndoStack().Count(); }

    // The menu bar's commands.
    QAction* Command(QAnyStringView name) const { return Control<QAction>(form.get(), name); }
    QAction* UndoAction() const { return Command(u"MenuItemUndo"); }
    QAction* RedoAction() const { return Command(u"MenuItemRedo"); }
    // The Undo item's caption as the Edit menu shows it when opened (and then closed).
    QString UndoCaption()
    {
        form->UpdateEditMenu();
        const QString caption = UndoAction()->text();
        form->EnableHistoryKeys();
        return caption;
    }

    static void Move(QWidget* widget, int x, int y, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        test::Move(widget, x, y, keys);
    }
    // A move with the left button held.
    static void Drag(QWidget* widget, int x, int y, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        test::Move(widget, x, y, keys, Qt::LeftButton);
    }
    static void Press(QWidget* widget, int x, int y, Qt::MouseButton button,
                      Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        test::Press(widget, x, y, button, keys);
    }
    static void Enter(QWidget* widget) { test::Enter(widget); }
    static void Leave(QWidget* widget) { test::Leave(widget); }
    // Replaces a box's text by typing, as a user does after selecting it.
    static void Type(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    // The colour a view's bitmap holds at (x, y).
    static TColor ShownColor(const TImageView* view, int x, int y)
    {
        const TNkDIB* bitmap = view->Bitmap();
        if (!bitmap)
            throw ControlNotFound(view, QStringLiteral("(its bitmap)"), "TNkDIB", 0);
        return bitmap->Color(bitmap->Pixel(x, y));
    }
    // The file's offsets where the saved image differs from the sample.
    std::vector<std::size_t> ChangedBytes() const
    {
        const auto saved = ReadBytes(image.toStdString());
        const auto& original = SampleBytes();
        EXPECT_EQ(saved.size(), original.size()) << "a save keeps the file's length";
        std::vector<std::size_t> changed;
        for (std::size_t i = 0; i < std::min(saved.size(), original.size()); ++i)
            if (saved[i] != original[i])
                changed.push_back(i);
        return changed;
    }
};

} // namespace vx::test
