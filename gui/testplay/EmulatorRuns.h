#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "core/files/PrivateFolder.h"

namespace vx {

// The emulators test play started and the copies they play, in a folder of this editor's
// own under $XDG_RUNTIME_DIR/vexalon2editor/ (else the temporary folder's
// vexalon2editor-<uid>/), mode 700. A copy goes when its emulator ends or its image is
// closed; at exit a copy still played is left to its emulator, and a later start removes it
// once that emulator is gone.
class EmulatorRuns : public QObject {
public:
    explicit EmulatorRuns(QObject* parent = nullptr);
    ~EmulatorRuns() override;

    // Where the copy of an image of that name goes, the folder made when needed; nothing,
    // with the reason, when it cannot be.
    std::optional<QString> copyPath(const QString& imageName, QString& reason);
    bool plays(const QString& copy) const;
    bool anyRunning() const;
    // Ends every emulator: asked to end, killed when it has not after 2 s.
    void endAll();
    // Starts an emulator on a copy; the reason when it cannot start.
    std::optional<QString> start(const QStringList& words, const QString& copy);
    // The copies no emulator plays go (their image was closed).
    void removeIdleCopies();

    // An emulator that ended within 5 s with an error: what to tell the user.
    std::function<void(const QString& text)> endedEarly;

    // At a start: the copies of editors that are gone, but for those their emulators still play.
    static void removeLeftCopies();

private:
    struct Run {
        QProcess* process;
        QString program;
        QString copy;
        QString errors; // the emulator's error output, kept in a file so it can outlive the editor
        QElapsedTimer clock;
        bool endedByEditor = false;
    };
    void finished(QProcess* process, int code, QProcess::ExitStatus status);
    // This editor's folder and the one above it, once a copy was asked for.
    std::optional<PrivateFolder> base_, own_;
    std::vector<Run> runs_;
    int started_ = 0;
};

} // namespace vx
