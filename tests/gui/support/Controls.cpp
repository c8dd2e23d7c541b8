#include "tests/gui/support/Controls.h"

#include <QWidget>

namespace vx::test {
namespace {

QString describe(const QObject* object)
{
    if (!object)
        return QStringLiteral("(no parent)");
    const QString name = object->objectName();
    return QString::fromLatin1(object->metaObject()->className()) +
        (name.isEmpty() ? QString() : QStringLiteral(" \"") + name + QLatin1Char('"'));
}

} // namespace

ControlNotFound::ControlNotFound(const QObject* parent, const QString& name, const char* type, qsizetype found)
    : std::runtime_error((QStringLiteral("%1 %2 named \"%3\" under %4")
                              .arg(found == 0 ? QStringLiteral("no") : QString::number(found),
                                   QString::fromLatin1(type), name, describe(parent)))
                             .toStdString())
{
}

} // namespace vx::test
