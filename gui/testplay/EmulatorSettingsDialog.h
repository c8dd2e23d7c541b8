#pragma once
#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;

namespace vx {

class Prompts;

// Tools > Emulator Settings: the command line that starts the user's emulator, with a
// Browse button for the program, and whether emulators keep running at the next F5.
class EmulatorSettingsDialog : public QDialog {
    Q_OBJECT
public:
    EmulatorSettingsDialog(QWidget* parent, Prompts& prompts, const QString& command, bool keepRunning,
                           bool fceuxReload = false);

    QString command() const;
    bool keepsRunning() const;
    // fceux started with the editor's reload script: F5 reloads the running game.
    bool reloadsInFceux() const;
    // OK checks the command first: Keep Anyway or Edit on a fault.
    void accept() override;

private:
    // The chosen program replaces the command's first word and keeps its arguments.
    void browse();

    Prompts& prompts_;
    QLineEdit* edit_ = nullptr;
    QCheckBox* keepRunning_ = nullptr;
    QCheckBox* fceuxReload_ = nullptr;
};

} // namespace vx
