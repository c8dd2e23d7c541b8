#include "gui/testplay/EmulatorCommand.h"

#include "core/base/Language.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace vx {
namespace {

QString qText(const char* japanese, const char* english)
{
    return QString::fromStdString(localized(japanese, english));
}

// One word with its desktop-entry codes put in or dropped; `named` tells whether a code
// stood for the file.
QString withCodes(const QString& word, const QString& file, bool& named, QStringList& dropped)
{
    QString result;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word[i];
        if (c != QLatin1Char('%') || i + 1 == word.size() ||
            !(word[i + 1].isLetter() || word[i + 1] == QLatin1Char('%'))) {
            result += c;
            continue;
        }
        const QChar code = word[++i];
        if (code == QLatin1Char('%')) {
            result += code;
        } else if (code == QLatin1Char('f') || code == QLatin1Char('F')) {
            result += file;
            named = true;
        } else if (code == QLatin1Char('u') || code == QLatin1Char('U')) {
            result += QString::fromUtf8(QUrl::fromLocalFile(file).toEncoded());
            named = true;
        } else if (!dropped.contains(QLatin1Char('%') + code)) {
            dropped << QLatin1Char('%') + code;
        }
    }
    return result;
}

} // namespace

EmulatorCall emulatorCall(const QString& command, const QString& file, const QString& home)
{
    EmulatorCall call;
    const std::string line = command.toStdString();
    const auto split = splitCommandWordsAtHome(line, home.toStdString());
    if (!split) {
        call.fault = commandLineFault(line);
        return call;
    }
    bool named = false;
    for (const std::string& word : *split) {
        const QString text = QString::fromStdString(word);
        if (call.words.isEmpty()) { // the program itself is taken as written
            call.words << text;
            continue;
        }
        const QString put = withCodes(text, file, named, call.droppedCodes);
        // A word that was a dropped code and nothing else goes, as a desktop entry's would.
        if (!put.isEmpty() || text.isEmpty())
            call.words << put;
    }
    if (!call.words.isEmpty() && !named)
        call.words << file;
    return call;
}

QString commandLineFaultText(CommandLineFault fault)
{
    switch (fault) {
    case CommandLineFault::OpenQuote: return qText("引用符が閉じていません。", "A quote is left open.");
    case CommandLineFault::TrailingBackslash:
        return qText("コマンドが \\ で終わっています (続く文字がありません)。",
                     "The command ends in a backslash with nothing after it.");
    case CommandLineFault::None: break;
    }
    return {};
}

std::optional<QString> programProblem(const QString& program)
{
    if (!program.contains(QLatin1Char('/'))) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            return qText("%1: 見つかりません (PATH にありませ"
                         "ん)",
                         "%1: not found (not in PATH)")
                .arg(program);
        return std::nullopt;
    }
    const QFileInfo info(program);
    if (!info.exists())
        return qText("%1: 見つかりません", "%1: not found").arg(program);
    if (info.isDir())
        return qText("%1: フォルダです", "%1: is a folder").arg(program);
    if (!info.isExecutable())
        return qText("%1: 実行できません", "%1: not executable").arg(program);
    return std::nullopt;
}

std::optional<QString> commandProblem(const QString& command, const QString& home)
{
    const EmulatorCall call = emulatorCall(command, QStringLiteral("/file.nes"), home);
    if (call.fault != CommandLineFault::None)
        return commandLineFaultText(call.fault);
    if (call.words.isEmpty())
        return std::nullopt;
    return programProblem(call.words.first());
}

} // namespace vx
