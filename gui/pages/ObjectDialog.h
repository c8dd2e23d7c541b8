#pragma once
#include <QDialog>
#include <functional>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vx {

// The room text dialog: a room's objects as lines "X Y KIND" to edit as text. Made once
// and reused; what the lines mean is the object page's business.
class ObjectDialog : public QDialog {
    Q_OBJECT
public:
    explicit ObjectDialog(QWidget* parent = nullptr);

    // The problem with a text OK was pressed on, or nothing when it may be taken.
    using Check = std::function<std::optional<QString>(const QString&)>;

    // Shows the text under the caption, modally; the edited text after OK, nothing after
    // Cancel or the close box. A text `check` refuses is not taken: its problem shows in a
    // message box over the dialog, which stays open with the text as typed.
    std::optional<QString> editText(const QString& caption, const QString& text, Check check = {});

    void accept() override;

private:
    Check check_;
    QPlainTextEdit* memo_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace vx
