#pragma once
#include <QStringList>
#include <string>

class QProcess;

namespace vx::test {

class TempDir;

// The editor built as a program, started as a desktop starts it but offscreen, with its home,
// configuration, state (recovery files) and runtime folders under `dir`. A dead editor's left
// copy is planted in the runtime folder first: the program removes it once its window shows,
// and this returns then (false when that did not happen within 10 s).
bool startEditorProgram(QProcess& editor, const TempDir& dir, const QStringList& arguments);

// The left copy startEditorProgram planted, while the program has not removed it.
std::string leftCopyFolder(const TempDir& dir);

} // namespace vx::test
