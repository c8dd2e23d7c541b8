#pragma once
#include <QLabel>
#include <array>

class QStatusBar;

namespace vx {

// A panel of the status bar. A text too long for it is shown cut with "…" and whole as its
// tool tip; text() is always the whole text.
class StatusPanel : public QLabel {
public:
    explicit StatusPanel(QWidget* parent = nullptr) : QLabel(parent) {}

    // Shows a text, and tells screen readers of a new one: a status message is said as it
    // comes (the panels are always set through this type).
    void setText(const QString& text);
    // Clears the panel if it still shows this text: a message whose moment has passed goes,
    // a newer one stays.
    void withdraw(const QString& text);
    // The text as the panel paints it.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

// The status bar's three sunken panels (100, 200 and 330 pixels wide), named
// MainFormStatusPanel0 to 2.
std::array<StatusPanel*, 3> addStatusPanels(QStatusBar& bar);

} // namespace vx
