#include "gui/widgets/StatusPanel.h"

#include "gui/widgets/ImageView.h"

#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QPainter>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QToolTip>

namespace vx {

namespace {

// Readers say a notification when it shows; a changed name alone they leave unsaid.
class PanelAccessible : public QAccessibleWidget {
public:
    explicit PanelAccessible(StatusPanel* panel) : QAccessibleWidget(panel) {}
    QAccessible::Role role() const override
    {
        return panel()->announces() ? QAccessible::Notification : QAccessible::StaticText;
    }
    QString text(QAccessible::Text text) const override
    {
        return text == QAccessible::Name ? panel()->text() : QAccessibleWidget::text(text);
    }

private:
    StatusPanel* panel() const { return static_cast<StatusPanel*>(widget()); }
};

QAccessibleInterface* panelAccessible(const QString&, QObject* object)
{
    auto* panel = dynamic_cast<StatusPanel*>(object);
    return panel ? new PanelAccessible(panel) : nullptr;
}

} // namespace

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(panelAccessible);
        return true;
    }();
    (void)installed;
}

void StatusPanel::setText(const QString& text)
{
    if (text == this->text())
        return;
    QLabel::setText(text);
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    if (!announces_ || text.isEmpty())
        return;
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void StatusPanel::withdraw(const QString& text)
{
    if (!text.isEmpty() && this->text() == text)
        clear();
}

QString StatusPanel::shownText() const
{
    QString line = text(); // the panel is one line high
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return fontMetrics().elidedText(line, Qt::ElideRight, contentsRect().width() - 2 * margin());
}

void StatusPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shownText(), foregroundRole());
}

bool StatusPanel::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QLabel::event(event);
    // The whole text, only where the panel shows it cut.
    if (shownText() != text())
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
    else
        QToolTip::hideText();
    return true;
}

std::array<StatusPanel*, 3> addStatusPanels(QStatusBar& bar)
{
    static const int widths[3] = {100, 200, 330};
    std::array<StatusPanel*, 3> panels{};
    for (int i = 0; i < 3; ++i) {
        panels[i] = new StatusPanel(&bar);
        panels[i]->setObjectName(QStringLiteral("MainFormStatusPanel%1").arg(i));
        panels[i]->setFixedWidth(widths[i]);
        panels[i]->setFrameShape(QFrame::Panel);
        panels[i]->setFrameShadow(QFrame::Sunken);
        bar.addWidget(panels[i]);
    }
    panels[2]->setAnnounces(true);
    ImageView::announce = [messages = QPointer<StatusPanel>(panels[2])](const QString& text) {
        if (messages)
            messages->setText(text);
    };
    bar.setSizeGripEnabled(false);
    return panels;
}

} // namespace vx
