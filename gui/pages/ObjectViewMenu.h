#pragma once
#include <functional>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace vx {

struct ObjectMenuState;

// The object page's right-click menu over its views: its items, their captions and states.
class ObjectViewMenu {
public:
    struct Commands {
        std::function<void()> create, copy, paste, select, remove;
    };
    ObjectViewMenu(QWidget* page, Commands commands);

    // Shows the menu at a screen point with each item as the state says.
    void popup(const ObjectMenuState& state, const QPoint& global);

    QMenu* menu() const { return menu_; }
    QAction* createItem() const { return createItem_; }
    QAction* copyItem() const { return copyItem_; }
    QAction* pasteItem() const { return pasteItem_; }
    QAction* selectItem() const { return selectItem_; }
    QAction* removeItem() const { return removeItem_; }

private:
    Commands commands_;
    QMenu* menu_ = nullptr;
    QAction* createItem_ = nullptr;
    QAction* copyItem_ = nullptr;
    QAction* pasteItem_ = nullptr;
    QAction* selectItem_ = nullptr;
    QAction* removeItem_ = nullptr;
};

} // namespace vx
