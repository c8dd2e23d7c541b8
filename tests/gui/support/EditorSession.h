#pragma once
#include "gui/app/MainForm.h"
#include "gui/pages/PageTabs.h"
#include "tests/gui/support/Controls.h"
#include "tests/gui/support/ScriptedPrompts.h"
#include "tests/support/TempDir.h"

#include <QString>
#include <filesystem>
#include <memory>
#include <string>

class QComboBox;
class QLabel;
class QTabWidget;
class QTimer;

namespace vx::test {

// The editor as a user starts it: a program folder with the lists and the colour file,
// made the current folder, holding the sample image. The window is made on first use and
// goes before the folder is left.
class EditorSession {
public:
    explicit EditorSession(const std::string& imageName = "game.nes");
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    MainForm& mainForm();

    // The window's controls by their object names.
    template <class T>
    T* find(QAnyStringView name) const
    {
        return control<T>(form.get(), name);
    }
    template <class T>
    T* find(QAnyStringView name, int number) const
    {
        return control<T>(form.get(), name, number);
    }
    QComboBox* stageSelector() const;
    QTabWidget* pages() const;
    QTimer* animationTimer() const;
    QLabel* statusPanel(int panel) const;
    // A page's tab sheet; its controls are looked up below it.
    QWidget* pageSheet(Page page) const;

    TempDir dir;
    std::filesystem::path previous;
    QString image;
    ScriptedPrompts prompts;
    // Set before the window is made to keep unsaved edits there; empty keeps none.
    QString recoveryFolder;
    std::unique_ptr<MainForm> form;
};

} // namespace vx::test
