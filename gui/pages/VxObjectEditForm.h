#pragma once
#include <QDialog>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vx {

// The room text dialog: a room's objects as lines "X Y KIND" to edit as text. Made once
// and reused; what the lines mean is the object page's business.
class TObjectEditForm : public QDialog {
    Q_OBJECT
public:
    explicit TObjectEditForm(QWidget* parent = nullptr);

    // Shows the text under the caption, modally; the edited text after OK, nothing after
    // Cancel or the close box.
    std::optional<QString> EditText(const QString& caption, const QString& text);

private:
    QPlainTextEdit* memo_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace vx
