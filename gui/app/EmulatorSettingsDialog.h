#pragma once
#include <QDialog>
#include <QString>

class QLineEdit;

namespace vx {

class Prompts;

// Tools > Emulator Settings: the command line that starts the user's emulator, with a
// Browse button for the program.
class EmulatorSettingsDialog : public QDialog {
    Q_OBJECT
public:
    EmulatorSettingsDialog(QWidget* parent, Prompts& prompts, const QString& command);

    QString Command() const;

private:
    // The chosen program replaces the command's first word and keeps its arguments.
    void browse();

    Prompts& prompts_;
    QLineEdit* edit_ = nullptr;
};

} // namespace vx
