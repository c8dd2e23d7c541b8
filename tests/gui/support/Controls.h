#pragma once
#include <QAnyStringView>
#include <QList>
#include <QObject>
#include <QString>
#include <stdexcept>

namespace vx::test {

// A control a test reaches for is missing or its name is taken twice. Thrown, so the
// test stops there with the name instead of going on with a null pointer.
class ControlNotFound : public std::runtime_error {
public:
    ControlNotFound(const QObject* parent, const QString& name, const char* type, qsizetype found);
};

// The one object of type T named `name` among the children of `parent`, at any depth.
template <class T>
T* control(const QObject* parent, QAnyStringView name)
{
    const QString wanted = name.toString();
    const QList<T*> found = parent ? parent->findChildren<T*>(wanted) : QList<T*>{};
    if (found.size() != 1)
        throw ControlNotFound(parent, wanted, T::staticMetaObject.className(), found.size());
    return found.front();
}
// The one object of type T among the children of `parent`, whatever its name.
template <class T>
T* control(const QObject* parent)
{
    return control<T>(parent, QString());
}
// Numbered controls ("ImgMapEdit0", "ImgMapEdit1"): the name and the number.
template <class T>
T* control(const QObject* parent, QAnyStringView name, int number)
{
    return control<T>(parent, name.toString() + QString::number(number));
}

} // namespace vx::test
