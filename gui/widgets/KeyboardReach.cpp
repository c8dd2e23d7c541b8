#include "gui/widgets/KeyboardReach.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <algorithm>
#include <climits>

namespace vx {

QString withoutAccessMarks(const QString& caption)
{
    static const QRegularExpression appended(QStringLiteral("\\(&[^)]\\)"));
    QString text = caption;
    text.remove(appended);
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size() && text[i + 1] != QLatin1Char('&'))
            continue;
        if (text[i] == QLatin1Char('&'))
            ++i; // "&&": one "&"
        plain += i < text.size() ? text[i] : QLatin1Char('&');
    }
    return plain.trimmed();
}

namespace {

QString captionNear(const QWidget* control)
{
    const QRect at = control->geometry();
    const QLabel* best = nullptr;
    int bestDistance = INT_MAX;
    for (const QLabel* label : control->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        const QRect caption = label->geometry();
        if (label->text().trimmed().isEmpty())
            continue;
        const bool sameLine = caption.top() < at.bottom() && caption.bottom() > at.top() && caption.left() < at.left();
        const bool justAbove = caption.bottom() <= at.top() + 2 && at.top() - caption.bottom() <= 24 &&
            caption.left() < at.right() && caption.right() > at.left();
        if (!sameLine && !justAbove)
            continue;
        const int distance = sameLine ? at.left() - caption.right() : at.top() - caption.bottom();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = label;
        }
    }
    if (best)
        return withoutAccessMarks(best->text());
    for (const QWidget* above = control->parentWidget(); above; above = above->parentWidget())
        if (const auto* group = qobject_cast<const QGroupBox*>(above))
            return withoutAccessMarks(group->title());
    return {};
}

} // namespace

void nameControls(QWidget* page)
{
    for (QWidget* control : page->findChildren<QWidget*>()) {
        if (!control->accessibleName().isEmpty())
            continue;
        if (const auto* button = qobject_cast<QAbstractButton*>(control); button && !button->text().isEmpty())
            control->setAccessibleName(withoutAccessMarks(button->text()));
        else if (const auto* group = qobject_cast<QGroupBox*>(control))
            control->setAccessibleName(withoutAccessMarks(group->title()));
        else if (control->focusPolicy() & Qt::TabFocus)
            control->setAccessibleName(captionNear(control));
    }
}

std::vector<QWidget*> readingOrder(QWidget* page)
{
    std::vector<QWidget*> order;
    for (QWidget* control : page->findChildren<QWidget*>())
        // Not the pop-up menus and dialogs the page owns: they are windows of their own.
        if ((control->focusPolicy() & Qt::TabFocus) && !control->focusProxy() && control->isEnabledTo(page) &&
            !control->isHidden() && control->window() == page->window())
            order.push_back(control);
    const auto place = [page](const QWidget* control) { return control->mapTo(page, QPoint(0, 0)); };
    std::ranges::stable_sort(order, [&](const QWidget* a, const QWidget* b) {
        const QPoint pa = place(a), pb = place(b);
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    return order;
}

void orderFocus(QWidget* page)
{
    const std::vector<QWidget*> order = readingOrder(page);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace vx
