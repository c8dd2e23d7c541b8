#include "gui/app/GuardedApplication.h"

#include "core/base/Errors.h"
#include "core/base/Language.h"
#include "gui/image/MemoryRoom.h"

#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace vx {
namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;
// Given back when memory runs short, so the message box can be built.
constexpr std::size_t ReserveSize = 4 * MiB;
// Painting a window needs this beyond its pixels: style pixmaps, glyph caches, the
// converted pictures.
constexpr std::size_t PaintRoom = 8 * MiB;
// Qt's widget code does not survive a failed allocation: a message box is not opened
// without room to build it and then to paint it.
constexpr std::size_t BoxRoom = PaintRoom + 2 * MiB;
// A paint that failed comes back by itself; the message is not shown again at once.
constexpr auto PaintQuiet = std::chrono::seconds(10);
constexpr auto PaintRetry = std::chrono::milliseconds(500);

QString& preparedText()
{
    static QString text;
    return text;
}
char preparedLine[512] = "vexalon2editor: out of memory\n";
void* reserve = nullptr;
bool reporting = false;
bool reportPending = false;
std::chrono::steady_clock::time_point lastReported{};

void writeLine(const char* text) noexcept { std::fputs(text, stderr); }

// Mapped, not allocated: the heap keeps no trace of it, and touched, so it is real memory.
void takeReserve() noexcept
{
    if (reserve)
        return;
    void* block =
        ::mmap(nullptr, ReserveSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    reserve = block == MAP_FAILED ? nullptr : block;
}

void releaseReserve() noexcept
{
    if (reserve)
        ::munmap(reserve, ReserveSize);
    reserve = nullptr;
}

void showSafely(const std::function<void(const QString&)>& show, const QString& text, const char* fallback) noexcept
{
    try {
        if (!show)
            throw std::bad_function_call();
        show(text);
    } catch (...) {
        writeLine(fallback);
        const std::size_t length = std::strlen(fallback);
        if (length == 0 || fallback[length - 1] != '\n')
            writeLine("\n");
    }
}

// The backing store of a window and Qt's painting into it; Qt does not check these
// allocations and crashes when they fail.
bool hasPaintRoom(QObject* receiver, QEvent* event) noexcept
{
    QSize size;
    if (event->type() == QEvent::UpdateRequest && receiver->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(receiver);
        if (!widget->isWindow())
            return true;
        size = widget->size() * widget->devicePixelRatio();
    } else if (event->type() == QEvent::Expose && receiver->isWindowType()) {
        const auto* window = static_cast<QWindow*>(receiver);
        size = window->size() * window->devicePixelRatio();
    } else {
        return true;
    }
    const auto pixels =
        static_cast<std::size_t>(std::max(size.width(), 0)) * static_cast<std::size_t>(std::max(size.height(), 0));
    // The backing store and, where it cannot be shared with the display, its copy.
    return hasRoom(pixels * 4 * 2 + PaintRoom);
}

// Qt waits for a dropped update request before it sends another: the window is asked
// again, whole, a little later.
void paintAgainLater(QObject* receiver)
{
    QTimer::singleShot(PaintRetry, receiver, [receiver] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget == receiver || widget->windowHandle() == receiver) {
                widget->update();
                QCoreApplication::postEvent(widget, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
            }
    });
}

void showCritical(const QString& text) { QMessageBox::critical(nullptr, QStringLiteral("VEXALON 2 EDITOR"), text); }

} // namespace

void reportOutOfMemory(const std::function<void(const QString&)>& show, bool quiet) noexcept
{
    if (quiet && std::chrono::steady_clock::now() - lastReported < PaintQuiet)
        return;
    releaseReserve();
    if (!show || reporting || !hasRoom(BoxRoom)) {
        writeLine(preparedLine);
    } else {
        reporting = true;
        showSafely(show, preparedText(), preparedLine);
        reporting = false;
    }
    lastReported = std::chrono::steady_clock::now();
    takeReserve();
}

void prepareOutOfMemoryReport() noexcept
{
    try { // without memory even for this, the English line stays
        preparedText() = QString::fromStdString(outOfMemoryMessage());
        const QByteArray line = "vexalon2editor: " + preparedText().toLocal8Bit() + "\n";
        if (static_cast<std::size_t>(line.size()) < sizeof preparedLine)
            std::memcpy(preparedLine, line.constData(), static_cast<std::size_t>(line.size()) + 1);
    } catch (...) {
    }
    takeReserve();
}

QString exceptionText(const std::exception& error) noexcept
{
    if (!dynamic_cast<const std::bad_alloc*>(&error)) {
        try {
            return QString::fromStdString(error.what());
        } catch (...) {
        }
    }
    return preparedText().isNull() ? QStringLiteral("Out of memory.") : preparedText();
}

void reportCurrentException(const std::function<void(const QString&)>& show, bool quiet) noexcept
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        reportOutOfMemory(show, quiet);
    } catch (const std::exception& error) {
        const QString text = exceptionText(error);
        showSafely(show, text, error.what());
    } catch (...) {
        const QString text = isJapanese() ? QStringLiteral(u"予期しないエラーが起きました"
                                                           "。")
                                          : QStringLiteral(u"Unexpected error.");
        showSafely(show, text, "vexalon2editor: unexpected error\n");
    }
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        // A window is not painted without room for it; it is asked again shortly.
        if (receiver && event && !hasPaintRoom(receiver, event)) {
            paintAgainLater(receiver);
            throw std::bad_alloc();
        }
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QEvent::Type type = event ? event->type() : QEvent::None;
        if (type == QEvent::Paint || type == QEvent::UpdateRequest || type == QEvent::Expose)
            reportAfterPaint(std::current_exception());
        else
            reportCurrentException(shower(), false);
    }
    return false;
}

const std::function<void(const QString&)>& GuardedApplication::shower() const noexcept
{
    static const std::function<void(const QString&)> critical = showCritical;
    return report ? report : critical;
}

// A dialog opened while a window paints would run its event loop inside the paint.
void GuardedApplication::reportAfterPaint(std::exception_ptr error) noexcept
{
    if (reportPending)
        return;
    try {
        QTimer::singleShot(0, this, [this, error] {
            reportPending = false;
            try {
                std::rethrow_exception(error);
            } catch (...) {
                reportCurrentException(shower(), true);
            }
        });
        reportPending = true;
    } catch (...) {
        writeLine(preparedLine);
    }
}

} // namespace vx
