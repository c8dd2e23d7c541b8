#pragma once
#include <QApplication>
#include <functional>

namespace vx {

// The application object that lets no exception reach Qt's event loop: one thrown while an
// event is handled is reported (std::bad_alloc as "out of memory") and the event dropped,
// and the editor goes on with what it holds.
class TGuardedApplication : public QApplication {
public:
    TGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    // Shows the report; set once the window that shows messages exists.
    std::function<void(const QString&)> Report;

    bool notify(QObject* receiver, QEvent* event) override;
};

// The text to report for an exception, in the user's language.
QString ExceptionText(const std::exception& error);

} // namespace vx
