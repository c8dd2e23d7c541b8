#include "gui/app/EmulatorRuns.h"

#include "core/base/Language.h"
#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

constexpr qint64 EarlyEnd = 5000;       // ms: an error within this is the command's, worth telling
constexpr std::size_t ErrorTail = 4096; // bytes of error output told
const QString RecordName = QStringLiteral("playing");

QString baseFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return QString::fromLocal8Bit(runtime) + QStringLiteral("/vexalon2editor");
    return QDir::tempPath() + QStringLiteral("/vexalon2editor-%1").arg(::getuid());
}

// A folder only its owner reads; in a shared temporary folder it must be ours, not a link.
bool makePrivateFolder(const QString& path, QString& reason)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        reason = QString::fromLocal8Bit(std::strerror(errno)) + QStringLiteral(": ") + path;
        return false;
    }
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid() ||
        ::chmod(name.constData(), 0700) != 0) {
        reason = qText("%1 はこのユーザーのフォルダではありません。", "%1 is not a folder of this user.").arg(path);
        return false;
    }
    return true;
}

// Whether a process still runs whose command line names the path: the emulator playing it.
bool stillPlayed(qint64 pid, const QString& path)
{
    try {
        const auto line = readInputFileIfPresent("/proc/" + std::to_string(pid) + "/cmdline", InputKind::Text);
        const QByteArray name = QFile::encodeName(path);
        return line && std::search(line->begin(), line->end(), name.begin(), name.end()) != line->end();
    } catch (...) {
        return false;
    }
}

// The error output's last lines; a line cut by the tail is left out.
QString errorLines(const QString& path)
{
    std::optional<std::vector<std::uint8_t>> tail;
    try {
        tail = readInputFileTail(QFile::encodeName(path).toStdString(), ErrorTail);
    } catch (...) {
    }
    if (!tail)
        return {};
    QString text =
        QString::fromLocal8Bit(reinterpret_cast<const char*>(tail->data()), static_cast<qsizetype>(tail->size()));
    if (tail->size() == ErrorTail && text.contains(QLatin1Char('\n')))
        text = text.mid(text.indexOf(QLatin1Char('\n')) + 1);
    return text.trimmed();
}

} // namespace

EmulatorRuns::EmulatorRuns(QObject* parent) : QObject(parent) {}

EmulatorRuns::~EmulatorRuns()
{
    // Emulators still playing keep running with their copies; the record lets a later start
    // remove those once they are gone. Their processes are let go, never ended.
    QByteArray record;
    QStringList kept;
    for (Run& run : runs_) {
        run.process->disconnect();
        // An end the event loop has not heard of yet is taken in now.
        if (run.process->state() != QProcess::NotRunning)
            run.process->waitForFinished(0);
        if (run.process->state() == QProcess::NotRunning)
            continue;
        record += QByteArray::number(run.process->processId()) + '\t' + QFile::encodeName(run.copy) + '\n';
        kept << run.copy << run.errors;
        run.process->setParent(nullptr); // a QProcess destroyed would kill its emulator
    }
    if (folder_.isEmpty())
        return;
    QDir folder(folder_);
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        if (!kept.contains(folder.filePath(name)))
            QFile::remove(folder.filePath(name));
    if (record.isEmpty()) {
        folder.rmdir(folder_);
        QDir().rmdir(baseFolder()); // only when no other editor has a folder there
        return;
    }
    try {
        writeOutputFile(QFile::encodeName(folder.filePath(RecordName)).toStdString(),
                        std::span(reinterpret_cast<const std::uint8_t*>(record.constData()),
                                  static_cast<std::size_t>(record.size())),
                        0600);
    } catch (...) {
        // Without the record the copies stay until the folder is cleared by hand or by logout.
    }
}

std::optional<QString> EmulatorRuns::copyPath(const QString& imageName, QString& reason)
{
    if (folder_.isEmpty()) {
        const QString base = baseFolder();
        const QString own = base + QStringLiteral("/%1").arg(QCoreApplication::applicationPid());
        if (!makePrivateFolder(base, reason) || !makePrivateFolder(own, reason))
            return std::nullopt;
        folder_ = own;
    }
    return folder_ + QLatin1Char('/') + (imageName.isEmpty() ? QStringLiteral("image.nes") : imageName);
}

bool EmulatorRuns::plays(const QString& copy) const
{
    return std::any_of(runs_.begin(), runs_.end(), [&](const Run& run) {
        return run.copy == copy && run.process->state() != QProcess::NotRunning;
    });
}

bool EmulatorRuns::anyRunning() const
{
    return std::any_of(runs_.begin(), runs_.end(),
                       [](const Run& run) { return run.process->state() != QProcess::NotRunning; });
}

void EmulatorRuns::endAll()
{
    std::vector<QProcess*> running;
    for (Run& run : runs_)
        if (run.process->state() != QProcess::NotRunning) {
            run.endedByEditor = true;
            running.push_back(run.process);
        }
    for (QProcess* process : running)
        process->terminate();
    // Each is waited on in turn; the finished handler takes its run away meanwhile.
    for (QProcess* process : running)
        if (!process->waitForFinished(2000)) {
            process->kill();
            process->waitForFinished(1000);
        }
}

std::optional<QString> EmulatorRuns::start(const QStringList& words, const QString& copy)
{
    auto* process = new QProcess(this);
    process->setProgram(words.first());
    process->setArguments(words.mid(1));
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedOutputChannel);
    const QString errors = copy + QStringLiteral(".%1.errors").arg(++started_);
    process->setStandardErrorFile(errors);
    connect(process, &QProcess::finished, this,
            [this, process](int code, QProcess::ExitStatus status) { finished(process, code, status); });
    process->start();
    if (!process->waitForStarted(5000)) {
        const QString reason = process->errorString();
        process->disconnect();
        delete process;
        QFile::remove(errors);
        return reason;
    }
    Run run{process, QFileInfo(words.first()).fileName(), copy, errors, {}};
    run.clock.start();
    runs_.push_back(std::move(run));
    return std::nullopt;
}

void EmulatorRuns::finished(QProcess* process, int code, QProcess::ExitStatus status)
{
    const auto found = std::find_if(runs_.begin(), runs_.end(), [&](const Run& run) { return run.process == process; });
    if (found == runs_.end())
        return;
    const Run run = *found;
    runs_.erase(found);
    const bool failed = status == QProcess::CrashExit || code != 0;
    QString text;
    if (failed && !run.endedByEditor && run.clock.elapsed() < EarlyEnd) {
        const QString how = status == QProcess::CrashExit ? qText("シグナルで終了", "ended by a signal")
                                                          : qText("終了コード %1", "exit status %1").arg(code);
        const QString output = errorLines(run.errors);
        text = qText("テストプレイ: %1 がすぐに終了しました (%2)。", "Test play: %1 ended at once (%2).")
                   .arg(run.program, how) +
            QStringLiteral("\n\n") +
            (output.isEmpty() ? qText("エラー出力はありません。", "It wrote no error output.")
                              : qText("エラー出力の最後:\n", "The end of its error output:\n") + output);
    }
    QFile::remove(run.errors);
    if (!plays(run.copy))
        QFile::remove(run.copy);
    process->deleteLater();
    if (!text.isEmpty() && endedEarly)
        endedEarly(text);
}

void EmulatorRuns::removeIdleCopies()
{
    if (folder_.isEmpty())
        return;
    QDir folder(folder_);
    for (const QString& name : folder.entryList(QDir::Files)) {
        const QString path = folder.filePath(name);
        const bool used = std::any_of(runs_.begin(), runs_.end(), [&](const Run& run) {
            return (run.copy == path || run.errors == path) && run.process->state() != QProcess::NotRunning;
        });
        if (!used)
            QFile::remove(path);
    }
}

void EmulatorRuns::removeLeftCopies()
{
    const QDir base(baseFolder());
    const QString own = QString::number(QCoreApplication::applicationPid());
    for (const QString& name : base.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 editor = name.toLongLong(&number);
        // Another editor's folder while it runs is its own business.
        if (!number || name == own || QFileInfo::exists(QStringLiteral("/proc/%1").arg(editor)))
            continue;
        const QString folder = base.filePath(name);
        QStringList kept;
        try {
            if (const auto bytes = readInputFileIfPresent(
                    QFile::encodeName(folder + QLatin1Char('/') + RecordName).toStdString(), InputKind::Text))
                for (const QByteArray& line :
                     QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size()))
                         .split('\n')) {
                    const QList<QByteArray> fields = line.split('\t');
                    if (fields.size() == 2 && stillPlayed(fields[0].toLongLong(), QFile::decodeName(fields[1])))
                        kept << QFile::decodeName(fields[1]);
                }
        } catch (...) {
        }
        QDir dir(folder);
        for (const QString& file : dir.entryList(QDir::Files | QDir::Hidden)) {
            const QString path = dir.filePath(file);
            const bool keep =
                file == RecordName ? !kept.isEmpty() : std::any_of(kept.begin(), kept.end(), [&](const QString& copy) {
                    return path == copy || path.startsWith(copy + QLatin1Char('.'));
                });
            if (!keep)
                QFile::remove(path);
        }
        base.rmdir(name); // only when emptied
    }
}

} // namespace vx
