#pragma once
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "core/files/PrivateFolder.h"

namespace vx {

class Prompts;
class RomImage;

// Keeps the open image's unsaved edits in a private recovery file, written in the
// background a moment after each edit, so a crash, a kill or a power cut loses nothing; and
// offers them back when that image is opened again.
class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    // An empty folder keeps nothing. `report` hears, once, why nothing could be kept.
    RecoveryKeeper(RomImage& rom, Prompts& prompts, QString folder, std::function<void(const QString&)> report);
    ~RecoveryKeeper() override;

    // After every edit, undo or redo: the file is written within a second.
    void editMade();
    // The edits are saved or dropped by the user: their recovery file goes.
    void discard();
    // After the image was opened: its recovery file, if any, is offered. True when edits
    // were recovered (the pages must take the stages up again).
    bool offerFor(const QString& imagePath);
    // The image of the newest readable recovery file whose image still exists; empty if none.
    // Files that cannot be read are said and kept aside.
    QString imageWithRecovery();
    // Waits for a write under way; for tests and the end.
    void flush();

private:
    void writeNow();
    static std::string recordName(const QString& imagePath);
    // A recovery file that cannot be trusted: said, and kept aside as .bad.
    void setAside(const std::string& name, const QString& reason);

    RomImage& rom_;
    Prompts& prompts_;
    std::optional<PrivateFolder> folder_; // none: nothing is kept
    QString keptFor_;                     // the image whose edits were last written, whatever it is called now
    std::function<void(const QString&)> report_;
    QTimer delay_;
    QThreadPool writer_; // one thread: writes in order, off the user's way
    bool failureSaid_ = false;
};

} // namespace vx
