#include "gui/widgets/HexBox.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace vx {
namespace {

class LeaveHistoryKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            auto* key = static_cast<QKeyEvent*>(event);
            const QKeyCombination combination = key->keyCombination();
            if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
                event->ignore(); // not overridden: the window's shortcut takes it
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QLineEdit* makeHexBox(const QString& name, QWidget* parent, int x, int y, int width, int height)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(x, y, width, height);
    box->setAlignment(Qt::AlignCenter);
    box->setTextMargins(0, 0, 0, 0);
    box->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
    box->installEventFilter(new LeaveHistoryKeys(box));
    return box;
}

} // namespace vx
