#pragma once
#include <QApplication>
#include <exception>
#include <functional>

namespace vx {

// The application object that lets no exception reach Qt's event loop: one thrown while an
// event is handled is reported (std::bad_alloc as "out of memory") and the event dropped,
// and the editor goes on with what it holds. A window's paint without the room it needs is
// dropped and reported too.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    // Shows the report; set once the window that shows messages exists.
    std::function<void(const QString&)> report;

    bool notify(QObject* receiver, QEvent* event) override;

private:
    const std::function<void(const QString&)>& shower() const noexcept;
    void reportAfterPaint(std::exception_ptr error) noexcept;
};

// Makes the out-of-memory texts and a memory reserve before anything can run short, so
// the report itself needs no new memory. Call once, first thing in main.
void prepareOutOfMemoryReport() noexcept;

// The text to report for an exception, in the user's language. Never throws: when the
// text cannot be made, the prepared out-of-memory text stands in.
QString exceptionText(const std::exception& error) noexcept;

// Reports a lack of memory with the prepared text, as below; without show, on stderr.
void reportOutOfMemory(const std::function<void(const QString&)>& show, bool quiet = false) noexcept;

// Reports the exception being handled (call from a catch block) through show, which may
// throw: then the text goes to stderr. Never throws. While an out-of-memory message is
// open, further ones go only to stderr; so do quiet ones (a failed paint, which comes back
// by itself) for a while after one was shown.
void reportCurrentException(const std::function<void(const QString&)>& show, bool quiet = false) noexcept;

} // namespace vx
