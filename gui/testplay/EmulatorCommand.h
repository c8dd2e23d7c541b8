#pragma once
#include "rules/CommandWords.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace vx {

// The emulator's words for one run: the command split as a shell would (~, $HOME and ${HOME}
// put in), "%f" and "%F" standing for the file and "%u" and "%U" for its URI, as in a desktop
// entry's Exec line, whose other codes are dropped and named; "%%" is "%". The file is the
// last word when no code names it. No words for an empty command or a faulty line.
struct EmulatorCall {
    QStringList words;
    QStringList droppedCodes;
    CommandLineFault fault = CommandLineFault::None;
};
EmulatorCall emulatorCall(const QString& command, const QString& file, const QString& home);

// Why a line is no command, in the user's language.
QString commandLineFaultText(CommandLineFault fault);

// Why a program cannot be started ("not found", "not executable"), checked beforehand
// because a failed start gives no reason; nothing when it looks startable.
std::optional<QString> programProblem(const QString& program);

// What keeps a command from starting, as test play would find it; nothing for an empty
// command or one that looks startable.
std::optional<QString> commandProblem(const QString& command, const QString& home);

} // namespace vx
