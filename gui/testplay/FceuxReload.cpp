#include "gui/testplay/FceuxReload.h"

#include "core/files/InputFile.h"
#include "core/files/OutputFile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTimer>
#include <string>

namespace vx {
namespace {

constexpr int WaitMs = 3000;

// A Lua string literal of any path.
std::string luaString(const QString& text)
{
    std::string quoted = "\"";
    for (const char c : text.toStdString()) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        if (c == '\n')
            quoted += "\\n";
        else
            quoted += c;
    }
    return quoted + "\"";
}

// Every half second the stamp is read; a new one reloads the copy and says so in the log.
std::string scriptText(const QString& copy, const QString& stamp, const QString& log)
{
    return "-- Written by the editor's test play: reloads the game when the editor writes it anew.\n"
           "local copy, stamp, log = " +
        luaString(copy) + ", " + luaString(stamp) + ", " + luaString(log) +
        "\n"
        "local function read(path)\n"
        "  local file = io.open(path, \"rb\")\n"
        "  if not file then return nil end\n"
        "  local text = file:read(\"*a\")\n"
        "  file:close()\n"
        "  return text\n"
        "end\n"
        "local seen = read(stamp)\n"
        "local frames = 0\n"
        "while true do\n"
        "  frames = frames + 1\n"
        "  if frames % 30 == 0 then\n"
        "    local now = read(stamp)\n"
        "    if now and now ~= seen then\n"
        "      seen = now\n"
        "      emu.loadrom(copy)\n"
        "      local file = io.open(log, \"a\")\n"
        "      if file then file:write(\"reloaded \" .. now .. \"\\n\") file:close() end\n"
        "    end\n"
        "  end\n"
        "  emu.frameadvance()\n"
        "end\n";
}

QString stampOf(const QString& copy) { return copy + QStringLiteral(".stamp"); }
QString logOf(const QString& copy) { return copy + QStringLiteral(".reloads.log"); }

void writeText(const QString& path, const std::string& text)
{
    writeOutputFile(path.toStdString(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                    0600);
}

} // namespace

FceuxReload::FceuxReload(QObject* parent) : QObject(parent), timer_(new QTimer(this))
{
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &FceuxReload::look);
}

QString FceuxReload::program()
{
    const QString debian = QStringLiteral("/usr/games/fceux");
    return QFileInfo(debian).isExecutable() ? debian : QStringLiteral("fceux");
}

QStringList FceuxReload::startWords(QStringList words, const QString& script)
{
    words.insert(1, script);
    words.insert(1, QStringLiteral("--loadlua"));
    return words;
}

QString FceuxReload::prepare(const QString& copy)
{
    const QString script = copy + QStringLiteral(".reload.lua");
    writeText(stampOf(copy), std::to_string(QDateTime::currentMSecsSinceEpoch()));
    writeText(script, scriptText(copy, stampOf(copy), logOf(copy)));
    return script;
}

void FceuxReload::reload(const QString& copy, std::function<void(bool reloaded)> told)
{
    // Unique beyond this run, so a line of an earlier editor's reload never answers.
    const std::string stamp = std::to_string(QDateTime::currentMSecsSinceEpoch()) + '-' + std::to_string(++reloads_);
    writeText(stampOf(copy), stamp);
    log_ = logOf(copy);
    awaited_ = QStringLiteral("reloaded ") + QString::fromStdString(stamp);
    told_ = std::move(told);
    clock_.start();
    timer_->start();
}

void FceuxReload::look()
{
    bool reloaded = false;
    try {
        if (const auto bytes = readInputFileTail(log_.toStdString(), 4096))
            reloaded = QString::fromUtf8(reinterpret_cast<const char*>(bytes->data()), qsizetype(bytes->size()))
                           .contains(awaited_);
    } catch (const std::exception&) {
        // A log that cannot be read is a reload not seen.
    }
    if (!reloaded && clock_.elapsed() < WaitMs)
        return;
    timer_->stop();
    auto told = std::exchange(told_, nullptr);
    if (told)
        told(reloaded);
}

} // namespace vx
