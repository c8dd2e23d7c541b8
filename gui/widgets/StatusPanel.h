#pragma once
#include <QLabel>
#include <array>

class QStatusBar;

namespace vx {

// A panel of the status bar. A text too long for it is shown cut with "…" and whole as its
// tool tip; text() is always the whole text.
class StatusPanel : public QLabel {
public:
    explicit StatusPanel(QWidget* parent = nullptr);

    // Shows a text (the panels are always set through this type). A panel of messages is a
    // notification to screen readers, shown anew with each new text, so that it is said as it
    // comes; the other panels follow the pointer and would only talk over the cursor.
    void setText(const QString& text);
    bool announces() const { return announces_; }
    void setAnnounces(bool announces) { announces_ = announces; }
    // Clears the panel if it still shows this text: a message whose moment has passed goes,
    // a newer one stays.
    void withdraw(const QString& text);
    // The text as the panel paints it.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool announces_ = false;
};

// The status bar's three sunken panels (100, 200 and 330 pixels wide), named
// MainFormStatusPanel0 to 2; the third, of messages, announces them.
std::array<StatusPanel*, 3> addStatusPanels(QStatusBar& bar);

} // namespace vx
