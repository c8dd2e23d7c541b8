#pragma once
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vx {

// The information window: a heading, a read-only text and OK (Cancel hidden for lists).
// Made once and reused; it has no logic of its own.
class InfoListDialog : public QDialog {
    Q_OBJECT
public:
    explicit InfoListDialog(QWidget* parent = nullptr);

    // Heading and text (lines end in CR LF), Cancel hidden, OK shown; modal until closed.
    void showList(const QString& heading, const QString& text);

private:
    QLabel* heading_;
    QPlainTextEdit* memo_;
    QPushButton* cancel_;
    QPushButton* ok_;
};

} // namespace vx
