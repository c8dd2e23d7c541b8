#pragma once
#include <QDialog>
#include <QString>

class QLineEdit;

namespace vx {

class TPrompts;


// Tools > Emulator Settings: the command line that starts the user's emulator, with a
// Browse button for the program.
class TEmulatorSettingsDialog : public QDialog {
    Q_OBJECT
public:
    TEmulatorSettingsDialog(QWidget* parent, TPrompts& prompts, const QString& command);

    QString Command() const;

private:
    // The chosen program replaces the command's first word and keeps its arguments.
    void Browse();

    TPrompts& prompts_;
    QLineEdit* edit_ = nullptr;
};

} // namespace vx
