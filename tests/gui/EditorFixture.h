#pragma once
#include "core/Language.h"
#include "gui/app/MainForm.h"
#include "gui/widgets/ImageView.h"
#include "tests/gui/ScriptedPrompts.h"
#include "tests/support/Images.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace vx::test {

// A program folder with the lists, run from a folder with the colour file, and a sample
// image to open; English unless a test says otherwise.
class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForceLanguage(Language::English);
        for (const char* name : {"ChipAttributeList.txt", "ObjectList.txt", "fcpalette.pal"})
            test::WriteFile(dir.File(name), test::ReadBytes(std::string(VX_DATA_DIR "/") + name));
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
        image = QString::fromStdString(dir.File("game.nes"));
        WriteFile(image.toStdString(), SampleBytes());
    }
    void TearDown() override
    {
        form.reset();
        std::filesystem::current_path(previous);
        ForceLanguage(std::nullopt);
        EXPECT_EQ(prompts.unexpected, 0) << "a question nobody expected";
    }
    TMainForm& Form()
    {
        if (!form)
            form = std::make_unique<TMainForm>(prompts, QString::fromStdString(dir.Path()));
        return *form;
    }
    TMainForm& Opened()
    {
        EXPECT_TRUE(Form().OpenImage(image));
        return *form;
    }
    TStageData& Stage() const { return form->Rom().CurrentStage(); }
    int UndoCount() const { return Stage().UndoStack().Count(); }
    // The Undo item's caption as the Edit menu shows it when opened (and then closed).
    QString UndoCaption()
    {
        form->UpdateEditMenu();
        const QString caption = form->UndoAction()->text();
        form->EnableHistoryKeys();
        return caption;
    }

    // Mouse events as the window system delivers them, modifiers included (QTest's moves
    // carry none).
    static void Move(QWidget* widget, int x, int y, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QMouseEvent event(QEvent::MouseMove, QPointF(x, y), widget->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                          Qt::NoButton, keys);
        QApplication::sendEvent(widget, &event);
    }
    static void Press(QWidget* widget, int x, int y, Qt::MouseButton button,
                      Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(x, y), widget->mapToGlobal(QPointF(x, y)), button, button,
                          keys);
        QApplication::sendEvent(widget, &event);
    }
    static void Enter(QWidget* widget)
    {
        QEnterEvent event(QPointF(1, 1), QPointF(1, 1), widget->mapToGlobal(QPointF(1, 1)));
        QApplication::sendEvent(widget, &event);
    }
    // The colour a view's bitmap holds at (x, y).
    static TColor ShownColor(const TImageView* view, int x, int y)
    {
        const TNkDIB& bitmap = *view->Bitmap();
        return bitmap.Color(bitmap.Pixel(x, y));
    }
    static void Leave(QWidget* widget)
    {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(widget, &event);
    }

    TempDir dir;
    std::filesystem::path previous;
    QString image;
    ScriptedPrompts prompts;
    std::unique_ptr<TMainForm> form;
};

} // namespace vx::test
