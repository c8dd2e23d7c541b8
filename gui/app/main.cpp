#include "gui/app/GuardedApplication.h"
#include "gui/app/MainForm.h"
#include "gui/app/QtPrompts.h"
#include "gui/image/QtGlyphRenderer.h"

#include <QFont>
#include <memory>

int main(int argc, char** argv)
{
    vx::TGuardedApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VEXALON 2 EDITOR"));
    vx::RegisterFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));

    vx::TQtPrompts prompts;
    std::unique_ptr<vx::TMainForm> window;
    // A failure while the window is made (a file it reads, memory) is a message, then a
    // clean exit; the window reports its own refusals the same way.
    try {
        window = std::make_unique<vx::TMainForm>(prompts, QCoreApplication::applicationDirPath());
    } catch (const std::exception& error) {
        prompts.ShowMessage(vx::ExceptionText(error));
        return 1;
    }
    if (window->Failed())
        return 1;
    prompts.SetParent(window.get());
    application.Report = [&prompts](const QString& text) { prompts.ShowMessage(text); };
    window->show();
    // An image named on the command line opens at once, as "open with" expects.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window->OpenImage(arguments.at(1));
    const int status = QApplication::exec();
    application.Report = nullptr;
    return status;
}
