#include "tests/gui/support/EditorSession.h"

#include "gui/app/AppPaths.h"
#include "tests/support/Images.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>

namespace vx::test {

EditorSession::EditorSession(const std::string& imageName) : previous(std::filesystem::current_path())
{
    for (const char* name : {"ChipAttributeList.txt", "ObjectList.txt", "fcpalette.pal"})
        WriteFile(dir.File(name), ReadBytes(std::string(VX_DATA_DIR "/") + name));
    std::filesystem::current_path(dir.Path());
    image = QString::fromStdString(dir.File(imageName));
    WriteFile(image.toStdString(), SampleBytes());
}

EditorSession::~EditorSession()
{
    form.reset();
    std::filesystem::current_path(previous);
}

TMainForm& EditorSession::Form()
{
    if (!form) {
        // Everything in the test's folder: never the user's own preferences.
        const QString folder = QString::fromStdString(dir.Path());
        form = std::make_unique<TMainForm>(
            prompts, TAppPaths{folder, folder + QStringLiteral("/vexalon2editor.ini"),
                               folder + QStringLiteral("/preferences.ini"), recoveryFolder});
    }
    return *form;
}

QComboBox* EditorSession::StageSelector() const { return Find<QComboBox>(u"ComboBoxStageSelect"); }
QTabWidget* EditorSession::Pages() const { return Find<QTabWidget>(u"PageControl"); }
QTimer* EditorSession::AnimationTimer() const { return Find<QTimer>(u"PaletteAnimeTimer"); }
QLabel* EditorSession::StatusPanel(int panel) const { return Find<QLabel>(u"MainFormStatusPanel", panel); }

QWidget* EditorSession::PageSheet(TPage page) const
{
    static const char* const names[PageCount] = {
        "TabSheetMapEdit",     "TabSheet32x32ChipEdit", "TabSheetPaletteEdit",  "TabSheetPatternTableEdit",
        "TabSheetObjectEdit",  "TabSheetMidPointEdit",  "TabSheetScrollEdit",   "TabSheetSpriteBankEdit"};
    return Find<QWidget>(names[page]);
}

} // namespace vx::test
