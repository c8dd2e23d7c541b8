#include "app/MainForm.h"
#include "app/QtPrompts.h"
#include "graphics/QtGlyphRenderer.h"

#include <QApplication>
#include <QFont>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VEXALON 2 EDITOR"));
    vx::RegisterFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));

    vx::TQtPrompts prompts;
    vx::TMainForm window(prompts, QCoreApplication::applicationDirPath());
    if (window.Failed())
        return 1;
    prompts.SetParent(&window);
    window.show();
    // An image named on the command line opens at once, as "open with" expects.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.OpenImage(arguments.at(1));
    return QApplication::exec();
}
