#include "gui/pages/ObjectViewMenu.h"

#include "rules/ObjectRules.h"

#include <QMenu>

namespace vx {

ObjectViewMenu::ObjectViewMenu(QWidget* page, Commands commands) : commands_(std::move(commands))
{
    menu_ = new QMenu(page);
    menu_->setObjectName(QStringLiteral("PopupMenuObjectEdit"));
    const auto item = [this](const char* caption, const char* name, const std::function<void()>& command) {
        QAction* action = menu_->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered, menu_, [command] {
            if (command)
                command();
        });
        return action;
    };
    createItem_ = item("オブジェクトの新規作成", "MenuItemPUCreateObject", commands_.create);
    copyItem_ = item("オブジェクトをコピー", "MenuItemPUCopyObject", commands_.copy);
    pasteItem_ = item("オブジェクトを貼り付け", "MenuItemPUPasteObject", commands_.paste);
    selectItem_ = item("オブジェクトを選択", "MenuItemPUSelectObject", commands_.select);
    menu_->addSeparator();
    removeItem_ = item("オブジェクトの削除", "MenuItemPURemoveObject", commands_.remove);
    menu_->addSeparator();
    menu_->addAction(QString::fromUtf8("閉じる"))->setObjectName(QStringLiteral("MenuItemPUClose"));
}

void ObjectViewMenu::popup(const ObjectMenuState& state, const QPoint& global)
{
    const auto show = [](QAction* action, const ObjectMenuItem& item) {
        action->setEnabled(item.enabled);
        action->setText(QString::fromStdString(item.caption));
    };
    show(createItem_, state.create);
    show(copyItem_, state.copy);
    show(pasteItem_, state.paste);
    show(selectItem_, state.select);
    show(removeItem_, state.remove);
    menu_->popup(global);
}

} // namespace vx
