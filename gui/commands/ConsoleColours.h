#pragma once
#include <QString>
#include <memory>
#include <string>

namespace vx {

class IniFile;
class PaletteManager;
class Prompts;

// The console's 64 colours come from a 192-byte colour file, as emulators ship them: the
// one the preferences name ("Graphics", "ColourFile"), else the one beside the program.

// Reads the chosen file, or the program's own when none is chosen or the chosen one cannot
// be read (then `note` says why, for the status bar). Throws UserError when the program's
// own cannot be read either.
std::unique_ptr<PaletteManager> loadConsoleColours(const QString& preferencesFile, const std::string& programFolder,
                                                   QString& note);

// The menu command: asks for a colour file, checks it, keeps it in the preferences. The
// colours are taken at the next start, when every picture is made with them.
void chooseConsoleColours(Prompts& prompts, IniFile* preferences);

} // namespace vx
