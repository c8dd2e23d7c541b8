#include "gui/widgets/StatusPanel.h"

#include <QAccessible>
#include <QHelpEvent>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QToolTip>

namespace vx {

void StatusPanel::setText(const QString& text)
{
    if (text == this->text())
        return;
    QLabel::setText(text);
    if (text.isEmpty())
        return;
    QAccessibleEvent said(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&said);
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
    bar.setSizeGripEnabled(false);
    return panels;
}

} // namespace vx
