#pragma once
#include "core/base/Language.h"
#include "core/model/RomImage.h"
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
    void SetUp() override { forceLanguage(Language::English); }
    void TearDown() override
    {
        form.reset();
        forceLanguage(std::nullopt);
        EXPECT_EQ(prompts.unexpected, 0) << "a question nobody expected";
    }
    MainForm& opened()
    {
        EXPECT_TRUE(mainForm().openImage(image));
        return *form;
    }
    // Opens the image unless one is open and brings the page to the front: its tab sheet.
    QWidget* showPage(Page page)
    {
        if (!form)
            opened();
        pages()->setCurrentIndex(page);
        return pageSheet(page);
    }
    StageData& currentStage() const { return form->rom().currentStage(); }
    int undoSteps() const { return currentStage().undoStack().count(); }

    // The menu bar's commands.
    QAction* menuAction(QAnyStringView name) const { return control<QAction>(form.get(), name); }
    QAction* undoAction() const { return menuAction(u"MenuItemUndo"); }
    QAction* redoAction() const { return menuAction(u"MenuItemRedo"); }
    // The Undo item's caption as the Edit menu shows it when opened (and then closed).
    QString undoCaption()
    {
        form->updateEditMenu();
        const QString caption = undoAction()->text();
        form->enableHistoryKeys();
        return caption;
    }

    static void move(QWidget* widget, int x, int y, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        test::move(widget, x, y, keys);
    }
    // A move with the left button held.
    static void drag(QWidget* widget, int x, int y, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        test::move(widget, x, y, keys, Qt::LeftButton);
    }
    static void press(QWidget* widget, int x, int y, Qt::MouseButton button,
                      Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        test::press(widget, x, y, button, keys);
    }
    static void enter(QWidget* widget) { test::enter(widget); }
    static void leave(QWidget* widget) { test::leave(widget); }
    // Replaces a box's text by typing, as a user does after selecting it.
    static void type(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    // The colour a view's bitmap holds at (x, y).
    static Color shownColor(const ImageView* view, int x, int y)
    {
        const IndexedBitmap* bitmap = view->bitmap();
        if (!bitmap)
            throw ControlNotFound(view, QStringLiteral("(its bitmap)"), "IndexedBitmap", 0);
        return bitmap->color(bitmap->pixel(x, y));
    }
    // The file's offsets where the saved image differs from the sample.
    std::vector<std::size_t> changedBytes() const
    {
        const auto saved = readBytes(image.toStdString());
        const auto& original = sampleBytes();
        EXPECT_EQ(saved.size(), original.size()) << "a save keeps the file's length";
        std::vector<std::size_t> changed;
        for (std::size_t i = 0; i < std::min(saved.size(), original.size()); ++i)
            if (saved[i] != original[i])
                changed.push_back(i);
        return changed;
    }
};

} // namespace vx::test
