#include "gui/app/AppPaths.h"
#include "gui/app/GuardedApplication.h"
#include "gui/app/MainForm.h"
#include "gui/app/QtPrompts.h"
#include "gui/image/QtGlyphRenderer.h"

#include <QCommandLineParser>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    // The name picks the configuration folder (~/.config/vexalon2editor) and ties the window
    // to its desktop entry; users see the title the window sets. No display name: Qt would
    // append it to the title of a window with an image open.
    QCoreApplication::setApplicationName(QStringLiteral("vexalon2editor"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VX_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("vexalon2editor"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("VEXALON 2 EDITOR: a stage editor for the game's NES image."));
    // Single-dash words are Qt's own options (-platform, -stylesheet), not bundles of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("IMAGE"), QStringLiteral("the image to open (.nes)"),
                                 QStringLiteral("[IMAGE]"));
    // --help and --version answer before the application object, which needs a display.
    // Other errors wait until the application has taken Qt's own options out of the list.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    parser.parse(arguments);
    if (parser.isSet(help)) {
        // Without an application object Qt knows no program name for the usage line.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), arguments.first());
        std::cout << text.toStdString() << std::flush;
        return 0;
    }
    if (parser.isSet(version)) {
        std::cout << "vexalon2editor " VX_VERSION "\n" << std::flush;
        return 0;
    }

    vx::TGuardedApplication application(argc, argv);
    parser.process(application);
    // Qt's own texts (the message boxes' buttons, the file dialogs) in the user's language.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
    vx::RegisterFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));

    vx::TQtPrompts prompts;
    std::unique_ptr<vx::TMainForm> window;
    // A failure while the window is made (a file it reads, memory) is a message, then a
    // clean exit; the window reports its own refusals the same way.
    try {
        window = std::make_unique<vx::TMainForm>(prompts, vx::FindAppPaths(QCoreApplication::applicationDirPath()));
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
    const QStringList images = parser.positionalArguments();
    if (!images.isEmpty())
        window->OpenImage(images.first());
    const int status = QApplication::exec();
    application.Report = nullptr;
    return status;
}
