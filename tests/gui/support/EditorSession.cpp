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
        writeFile(dir.file(name), readBytes(std::string(VX_DATA_DIR "/") + name));
    std::filesystem::current_path(dir.path());
    image = QString::fromStdString(dir.file(imageName));
    writeFile(image.toStdString(), sampleBytes());
}

EditorSession::~EditorSession()
{
    form.reset();
    std::filesystem::current_path(previous);
}

MainForm& EditorSession::mainForm()
{
    if (!form) {
        // Everything in the test's folder: never the user's own preferences.
        const QString folder = QString::fromStdString(dir.path());
        form = std::make_unique<MainForm>(prompts,
                                          AppPaths{folder, folder + QStringLiteral("/vexalon2editor.ini"),
                                                   folder + QStringLiteral("/preferences.ini"), recoveryFolder});
    }
    return *form;
}

QComboBox* EditorSession::stageSelector() const { return find<QComboBox>(u"ComboBoxStageSelect"); }
QTabWidget* EditorSession::pages() const { return find<QTabWidget>(u"PageControl"); }
QTimer* EditorSession::animationTimer() const { return find<QTimer>(u"PaletteAnimeTimer"); }
QLabel* EditorSession::statusPanel(int panel) const { return find<QLabel>(u"MainFormStatusPanel", panel); }

QWidget* EditorSession::pageSheet(Page page) const { return vx::pageSheet(*pages(), page); }

} // namespace vx::test
