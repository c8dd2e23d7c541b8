#include "gui/app/AppPaths.h"
#include "gui/app/EndSignals.h"
#include "gui/app/GuardedApplication.h"
#include "gui/app/InterfaceLanguage.h"
#include "gui/app/MainForm.h"
#include "gui/app/QtPrompts.h"
#include "gui/image/MemoryRoom.h"
#include "gui/image/QtGlyphRenderer.h"
#include "gui/testplay/EmulatorRuns.h"

#include <QCommandLineParser>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <malloc.h>
#include <memory>

namespace {

QtMessageHandler qtHandler = nullptr;

// Qt ends a start it cannot make (no platform plugin loads, as when memory is short) with
// a fatal message and an abort; the editor ends with the message and exit status 1.
void startMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (qtHandler)
        qtHandler(type, context, message);
    if (type == QtFatalMsg)
        std::_Exit(1);
}

// Qt's widget and font code crashes where an allocation fails, so the editor starts only
// with room for what it takes (measured with Qt 6.4 on X11): the application object and
// the window about 40 MB, showing and first painting it about 20 MB more.
constexpr std::size_t StartRoom = std::size_t{40} << 20;
constexpr std::size_t ShowRoom = std::size_t{24} << 20;

int run(int argc, char** argv)
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

    if (!vx::hasRoom(StartRoom)) {
        vx::reportOutOfMemory({});
        return 1;
    }
    qtHandler = qInstallMessageHandler(startMessages);
    vx::GuardedApplication application(argc, argv);
    qInstallMessageHandler(qtHandler);
    // From here on a signal ends the editor at once, whatever it shows; the window, once it
    // is made and until the event loop returns, keeps its work first.
    vx::MainForm* keeper = nullptr;
    vx::endOnSignals(&application, [&keeper] {
        if (keeper)
            keeper->keepWorkForNextStart();
    });
    parser.process(application);
    vx::registerFontSubstitutions();
    QApplication::setFont(vx::editorFont());

    vx::QtPrompts prompts;
    const std::function<void(const QString&)> show = [&prompts](const QString& text) { prompts.showMessage(text); };
    const vx::AppPaths paths = vx::findAppPaths(QCoreApplication::applicationDirPath());
    vx::loadInterfaceLanguage(paths.preferencesFile);
    // Qt's own texts (the message boxes' buttons, the file dialogs) in the editor's language.
    QTranslator qtTexts;
    vx::installQtTexts(qtTexts);
    // The window's icon on X11 and Wayland alike: the installed theme's, else the one
    // beside the program (SVG, read by Qt's SVG plugin).
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vexalon2editor"),
                                                 QIcon(paths.dataFolder + QStringLiteral("/vexalon2editor.svg"))));
    std::unique_ptr<vx::MainForm> window;
    // A failure while the window is made (a file it reads, memory) is a message, then a
    // clean exit; the window reports its own refusals the same way.
    try {
        window = std::make_unique<vx::MainForm>(prompts, paths);
    } catch (...) {
        vx::reportCurrentException(show);
        return 1;
    }
    if (window->failed())
        return 1;
    if (!vx::hasRoom(ShowRoom)) {
        vx::reportOutOfMemory(show);
        // Its destructor would save the settings and report a failure with yet more memory.
        window.release();
        return 1;
    }
    int status = 1;
    try {
        prompts.setParent(window.get());
        application.report = show;
        keeper = window.get();
        window->show();
        vx::EmulatorRuns::removeLeftCopies();
        // An image named on the command line opens at once, as "open with" expects. One
        // that fails (memory) is reported and the window stays, as after File > Open.
        const QStringList images = parser.positionalArguments();
        if (!images.isEmpty()) {
            try {
                window->openImage(images.first());
            } catch (...) {
                vx::reportCurrentException(show);
            }
        }
        status = QApplication::exec();
    } catch (...) {
        vx::reportCurrentException(show);
    }
    keeper = nullptr; // the window's end is under way
    application.report = nullptr;
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    // Every helper thread of Qt's would reserve its own 64 MB heap: memory the editor lacks
    // under an address-space limit. One heap for all.
    mallopt(M_ARENA_MAX, 1);
    vx::prepareOutOfMemoryReport();
    try {
        return run(argc, argv);
    } catch (...) { // what no window is left to show goes to stderr
        vx::reportCurrentException({});
        return 1;
    }
}
