#pragma once
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/model/PlayCopy.h"

namespace vx {

class EmulatorRuns;
class FceuxReload;
class IniFile;
class PageNavigator;
class Prompts;
class RomImage;

// Tools > Test Play: the image as it stands, unsaved edits included, goes to a copy under
// its own name in a private folder, and the user's emulator is started on it. One emulator
// at a time: F5 ends the one before, unless the user keeps emulators running (for those that
// reload their file, which then only gets the new copy). The open image, its edited flags
// and its history stay as they are.
class TestPlay : public QObject {
    Q_OBJECT
public:
    // `preferences` keeps the command ([TestPlay] Command, KeepRunning); without it they
    // last for the run only. Notes go to the status bar.
    TestPlay(PageNavigator& pages, RomImage& rom, Prompts& prompts, IniFile* preferences);
    ~TestPlay() override;

    // With no command set, the settings come first.
    void run();
    // Tools > Test Play from Here: the shown stage in the first stage's place, starting at the
    // restart page's point or the left view's room (the stage's start point on other pages).
    void runFromHere();
    // Tools > Emulator Settings; true when OK was chosen.
    bool changeCommand();
    // The image was closed: copies no emulator plays go.
    void imageClosed();
    const QString& command() const { return command_; }

private:
    void play(const std::optional<PlayStart>& start);
    PlayStart startHere() const;
    std::optional<QString> writeCopy(const std::vector<std::uint8_t>& bytes);
    void fail(const QString& reason);

    PageNavigator& pages_;
    RomImage& rom_;
    Prompts& prompts_;
    IniFile* preferences_;
    QString command_;
    bool keepRunning_ = false;
    bool fceuxReload_ = false; // fceux with the reload script; it keeps running
    EmulatorRuns* runs_;
    FceuxReload* reload_;
};

} // namespace vx
