#include "gui/widgets/ViewAccessible.h"

#include "gui/widgets/ImageView.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QPointer>
#include <QWindow>
#include <map>

namespace vx {

namespace {

// One cell of a view's grid; it holds the cell's index only, so a grid that changes size
// needs no new cells.
class CellAccessible : public QAccessibleInterface {
public:
    CellAccessible(ImageView* view, int index) : view_(view), index_(index) {}

    bool isValid() const override { return view_ && index_ < view_->cellCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(view_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text text) const override
    {
        return text == QAccessible::Name && isValid() ? view_->cellText(view_->cellAt(index_)) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect cell = view_->cellRect(view_->cellAt(index_));
        return QRect(view_->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focusable = true;
        state.invisible = !isValid() || !view_->isVisible();
        state.focused = isValid() && view_->hasFocus() && view_->cellAt(index_) == view_->cursorCell();
        return state;
    }
    int index() const { return index_; }

private:
    QPointer<ImageView> view_;
    int index_;
};

class ViewAccessible : public QAccessibleWidget {
public:
    explicit ViewAccessible(ImageView* view) : QAccessibleWidget(view) {}
    ~ViewAccessible() override
    {
        // After the application, the cache that owns the cells is going and deletes them itself.
        if (!QCoreApplication::instance())
            return;
        for (const auto& [index, id] : cells_)
            QAccessible::deleteAccessibleInterface(id);
    }

    // A one-cell grid (a palette entry, a room) is the view itself.
    int childCount() const override { return view()->cellCount() > 1 ? view()->cellCount() : 0; }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        auto found = cells_.find(index);
        if (found == cells_.end())
            found = cells_.emplace(index, QAccessible::registerAccessibleInterface(new CellAccessible(view(), index)))
                        .first;
        return QAccessible::accessibleInterface(found->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* cell = dynamic_cast<const CellAccessible*>(child);
        return cell && child->parent() == this ? cell->index() : -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        return view()->hasFocus() && childCount() > 0 ? child(view()->cellIndex(view()->cursorCell())) : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint at = view()->mapFromGlobal(QPoint(x, y));
        for (int index = 0; index < childCount(); ++index)
            if (view()->cellRect(view()->cellAt(index)).contains(at))
                return child(index);
        return nullptr;
    }

private:
    ImageView* view() const { return static_cast<ImageView*>(widget()); }
    mutable std::map<int, QAccessible::Id> cells_;
};

QAccessibleInterface* viewAccessible(const QString&, QObject* object)
{
    auto* view = qobject_cast<ImageView*>(object);
    return view ? new ViewAccessible(view) : nullptr;
}

} // namespace

void installViewAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(viewAccessible);
        return true;
    }();
    (void)installed;
}

} // namespace vx
