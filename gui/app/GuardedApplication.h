#pragma once
#include <QApplication>
#include <exception>
#include <functional>

namespace vx {

// The application object that lets no exception reach Qt's event loop: one thrown while an
// event is handled is reported (std::bad_alloc as "out of memory") and the event dropped,
// and the editor goes on with what it holds. A window's paint without the room it needs is
// dropped and reported too.
class TGuardedApplication : public QApplication {
public:
    TGuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    // Shows the report; set once the window that shows messages exists.
    std::function<void(const QString&)> Report;

    bool notify(QObject* receiver, QEvent* event) override;

private:
    const std::function<void(const QString&)>& Shower() const noexcept;
    void ReportAfterPaint(std::exception_ptr error) noexcept;
};

// Makes the out-of-memory texts and a memory reserve before anything can run short, so
// the report itself needs no new memory. Call once, first thing in main.
void PrepareOutOfMemoryReport() noexcept;

// The text to report for an exception, in the user's language. Never throws: when the
// text cannot be made, the prepared out-of-memory text stands in.
QString ExceptionText(const std::exception& error) noexcept;

// Reports a lack of memory with the prepared text, as below; without show, on stderr.
void ReportOutOfMemory(const std::function<void(const QString&)>& show, bool quiet = false) noexcept;

// Reports the exception being handled (call from a catch block) through show, which may
// throw: then the text goes to stderr. Never throws. While an out-of-memory message is
// open, further ones go only to stderr; so do quiet ones (a failed paint, which comes back
// by itself) for a while after one was shown.
void ReportCurrentException(const std::function<void(const QString&)>& show, bool quiet = false) noexcept;

} // namespace vx
