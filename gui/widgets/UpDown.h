#pragma once
#include <QWidget>

class QToolButton;

namespace vx {

// Two auto-repeating arrows. They carry no position: each press asks for one step up (+1)
// or down (-1), and the receiver decides whether to take it.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr, Qt::Orientation orientation = Qt::Vertical);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    void stepRequested(int direction);

private:
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace vx
