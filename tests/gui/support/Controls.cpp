#include "tests/gui/support/Controls.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <functional>

namespace vx::test {
namespace {

QString Describe(const QObject* object)
{
    if (!object)
        return QStringLiteral("(no parent)");
    const QString name = object->objectName();
    return QString::fromLatin1(object->metaObject()->className()) +
           (name.isEmpty() ? QString() : QStringLiteral(" \"") + name + QLatin1Char('"'));
}

template <class T> T* OneOf(const QWidget* window, const QString& what, const std::function<bool(const T*)>& matches)
{
    const QMenuBar* bar = window ? window->findChild<QMenuBar*>() : nullptr;
    QList<T*> found;
    if (bar)
        for (T* candidate : bar->findChildren<T*>())
            if (matches(candidate))
                found << candidate;
    if (found.size() != 1)
        throw ControlNotFound(bar ? static_cast<const QObject*>(bar) : window, what, T::staticMetaObject.className(),
                              found.size());
    return found.front();
}

} // namespace

ControlNotFound::ControlNotFound(const QObject* parent, const QString& name, const char* type, qsizetype found)
    : std::runtime_error((QStringLiteral("%1 %2 named \"%3\" under %4")
                              .arg(found == 0 ? QStringLiteral("no") : QString::number(found),
                                   QString::fromLatin1(type), name, Describe(parent)))
                             .toStdString())
{
}

QAction* MenuCommand(const QWidget* window, QAnyStringView caption)
{
    const QString text = caption.toString();
    return OneOf<QAction>(window, text, [&](const QAction* action) { return action->text() == text; });
}

QAction* MenuCommand(const QWidget* window, const QKeySequence& shortcut)
{
    return OneOf<QAction>(window, shortcut.toString(),
                          [&](const QAction* action) { return action->shortcut() == shortcut; });
}

QMenu* MenuTitled(const QWidget* window, QAnyStringView title)
{
    const QString text = title.toString();
    return OneOf<QMenu>(window, text, [&](const QMenu* menu) { return menu->title() == text; });
}

} // namespace vx::test
