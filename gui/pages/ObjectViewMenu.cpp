#include "gui/pages/ObjectViewMenu.h"

#include "gui/widgets/PageControls.h"
#include "rules/ObjectRules.h"

#include <QMenu>

namespace vx {

ObjectViewMenu::ObjectViewMenu(QWidget* page, Commands commands) : commands_(std::move(commands))
{
    menu_ = new QMenu(page);
    menu_->setObjectName(QStringLiteral("PopupMenuObjectEdit"));
    const auto item = [this](const QString& caption, const char* name, const std::function<void()>& command) {
        QAction* action = menu_->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered, menu_, [command] {
            if (command)
                command();
        });
        return action;
    };
    createItem_ = item(captionOf("オブジェクトの新規作"
                                 "成",
                                 "New Object"),
                       "MenuItemPUCreateObject", commands_.create);
    copyItem_ = item(captionOf("オブジェクトをコピ"
                               "ー",
                               "Copy Object"),
                     "MenuItemPUCopyObject", commands_.copy);
    pasteItem_ = item(captionOf("オブジェクトを貼り付"
                                "け",
                                "Paste Object"),
                      "MenuItemPUPasteObject", commands_.paste);
    selectItem_ = item(captionOf("オブジェクトを選"
                                 "択",
                                 "Select Object"),
                       "MenuItemPUSelectObject", commands_.select);
    menu_->addSeparator();
    removeItem_ = item(captionOf("オブジェクトの削"
                                 "除",
                                 "Delete Object"),
                       "MenuItemPURemoveObject", commands_.remove);
    menu_->addSeparator();
    menu_->addAction(captionOf("閉じる", "Close"))->setObjectName(QStringLiteral("MenuItemPUClose"));
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
