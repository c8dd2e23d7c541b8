#include "gui/testplay/EmulatorRuns.h"

#include "core/base/Language.h"
#include "core/files/InputFile.h"
#include "core/files/PrivateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <span>
#include <unistd.h>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

constexpr qint64 EarlyEnd = 5000;       // ms: an error within this is the command's, worth telling
constexpr std::size_t ErrorTail = 4096; // bytes of error output told
const std::string RecordName = "playing";

QString baseFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return QString::fromLocal8Bit(runtime) + QStringLiteral("/vexalon2editor");
    return QDir::tempPath() + QStringLiteral("/vexalon2editor-%1").arg(::getuid());
}

std::string nameIn(const QString& path) { return QFile::encodeName(QFileInfo(path).fileName()).toStdString(); }

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
    if (!own_)
        return;
    for (const std::string& name : own_->names())
        if (!kept.contains(QFile::decodeName(QByteArray::fromStdString(own_->pathOf(name)))))
            own_->remove(name);
    if (record.isEmpty()) {
        own_->removeIfEmpty();
        base_->removeIfEmpty(); // only when no other editor has a folder there
        return;
    }
    try {
        own_->write(RecordName,
                    std::span(reinterpret_cast<const std::uint8_t*>(record.constData()),
                              static_cast<std::size_t>(record.size())));
    } catch (...) {
        // Without the record the copies stay until the folder is cleared by hand or by logout.
    }
}

std::optional<QString> EmulatorRuns::copyPath(const QString& imageName, QString& reason)
{
    if (!own_) {
        Result<PrivateFolder> base = PrivateFolder::open(QFile::encodeName(baseFolder()).toStdString(), true);
        Result<PrivateFolder> own =
            base.ok() ? base.value().folder(std::to_string(QCoreApplication::applicationPid()), true) : base;
        if (!own.ok()) {
            reason = QString::fromStdString(own.error().text());
            return std::nullopt;
        }
        base_ = base.value();
        own_ = own.value();
    }
    return QFile::decodeName(QByteArray::fromStdString(own_->path())) + QLatin1Char('/') +
        (imageName.isEmpty() ? QStringLiteral("image.nes") : imageName);
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
        own_->remove(nameIn(errors));
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
        text = qText("テストプレイ: %1 がすぐに終了しまし"
                     "た (%2)。",
                     "Test play: %1 ended at once (%2).")
                   .arg(run.program, how) +
            QStringLiteral("\n\n") +
            (output.isEmpty() ? qText("エラー出力はありません。", "It wrote no error output.")
                              : qText("エラー出力の最後:\n", "The end of its error output:\n") + output);
    }
    own_->remove(nameIn(run.errors));
    if (!plays(run.copy))
        own_->remove(nameIn(run.copy));
    process->deleteLater();
    if (!text.isEmpty() && endedEarly)
        endedEarly(text);
}

void EmulatorRuns::removeIdleCopies()
{
    if (!own_)
        return;
    for (const std::string& name : own_->names()) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(own_->pathOf(name)));
        const bool used = std::any_of(runs_.begin(), runs_.end(), [&](const Run& run) {
            return (run.copy == path || run.errors == path) && run.process->state() != QProcess::NotRunning;
        });
        if (!used && own_->entry(name) == PrivateFolder::Entry::File)
            own_->remove(name);
    }
}

void EmulatorRuns::removeLeftCopies()
{
    // Checked as test play checks it, and walked only through it: a base that is a link or
    // another user's is left alone, and so is anything in it that this user did not make.
    const Result<PrivateFolder> base = PrivateFolder::open(QFile::encodeName(baseFolder()).toStdString(), false);
    if (!base.ok())
        return;
    const std::string own = std::to_string(QCoreApplication::applicationPid());
    for (const std::string& name : base.value().names()) {
        // Another editor's folder while it runs is its own business.
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos || name == own ||
            QFileInfo::exists(QStringLiteral("/proc/") + QString::fromStdString(name)))
            continue;
        const Result<PrivateFolder> folder = base.value().folder(name, false);
        if (!folder.ok())
            continue;
        QStringList kept;
        try {
            if (const auto bytes = folder.value().read(RecordName, InputKind::Text))
                for (const QByteArray& line :
                     QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size()))
                         .split('\n')) {
                    const QList<QByteArray> fields = line.split('\t');
                    if (fields.size() == 2 && stillPlayed(fields[0].toLongLong(), QFile::decodeName(fields[1])))
                        kept << QFile::decodeName(fields[1]);
                }
        } catch (...) {
        }
        for (const std::string& file : folder.value().names()) {
            const QString path = QFile::decodeName(QByteArray::fromStdString(folder.value().pathOf(file)));
            const bool keep =
                file == RecordName ? !kept.isEmpty() : std::any_of(kept.begin(), kept.end(), [&](const QString& copy) {
                    return path == copy || path.startsWith(copy + QLatin1Char('.'));
                });
            if (!keep && folder.value().entry(file) == PrivateFolder::Entry::File)
                folder.value().remove(file);
        }
        base.value().remove(name); // only when emptied
    }
}

} // namespace vx
