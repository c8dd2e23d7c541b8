#pragma once
#include <functional>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace vx {

struct TObjectMenuState;

// The object page's right-click menu over its views: its items, their captions and states.
class TObjectViewMenu {
public:
    struct TCommands {
        std::function<void()> create, copy, paste, select, remove;
    };
    TObjectViewMenu(QWidget* page, TCommands commands);

    // Shows the menu at a screen point with each item as the state says.
    void Popup(const TObjectMenuState& state, const QPoint& global);

    QMenu* Menu() const { return menu_; }
    QAction* CreateItem() const { return createItem_; }
    QAction* CopyItem() const { return copyItem_; }
    QAction* PasteItem() const { return pasteItem_; }
    QAction* SelectItem() const { return selectItem_; }
    QAction* RemoveItem() const { return removeItem_; }

private:
    TCommands commands_;
    QMenu* menu_ = nullptr;
    QAction* createItem_ = nullptr;
    QAction* copyItem_ = nullptr;
    QAction* pasteItem_ = nullptr;
    QAction* selectItem_ = nullptr;
    QAction* removeItem_ = nullptr;
};

} // namespace vx
