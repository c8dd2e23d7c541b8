#include "gui/app/GuardedApplication.h"

#include "gui/app/MainForm.h"

#include <QMessageBox>
#include <new>

namespace vx {

QString ExceptionText(const std::exception& error)
{
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return OutOfMemoryText();
    return QString::fromStdString(error.what());
}

bool TGuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        const QString text = ExceptionText(error);
        if (Report)
            Report(text);
        else
            QMessageBox::critical(nullptr, QStringLiteral("VEXALON 2 EDITOR"), text);
    }
    return false;
}

} // namespace vx
