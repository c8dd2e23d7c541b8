#pragma once
#include <QLabel>

namespace vx {

// A label that reports mouse presses with their button, for labels that act on clicks.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr, int tag = 0) : QLabel(parent), tag_(tag) {}
    int tag() const { return tag_; }

signals:
    void mousePressed(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int tag_;
};

} // namespace vx
