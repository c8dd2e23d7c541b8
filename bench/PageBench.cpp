// The editor pages' share of one animation frame and of one write (a chip quarter, a room
// cell), through the main window as the user drives it, down to the pictures the views
// would paint. Each stands beside a memcpy of as many bytes as it writes.
#include "bench/MemcpyBaseline.h"
#include "core/model/RomImage.h"
#include "core/model/StageObjects.h"
#include "gui/app/MainForm.h"
#include "gui/app/ViewZoom.h"
#include "gui/image/QtGlyphRenderer.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/MapEdit.h"
#include "gui/pages/ObjectEdit.h"
#include "gui/pages/TileEdit.h"
#include "gui/tools/StageOverviewWindow.h"
#include "gui/widgets/ImageView.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"
#include "tests/gui/support/EditorSession.h"
#include "tests/gui/support/Mouse.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFont>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

using namespace vx;

namespace {

constexpr int AnimatedStage = 1;

// Bytes a step writes: each changed view's indexed pixels plus its RGB picture, and the
// composed 512x512 chip sheet for a chip write. A bitmap larger than its control (the
// map page's chip table) is pictured at the control's size.
constexpr std::int64_t viewBytes(std::int64_t width, std::int64_t height, std::int64_t shownWidth,
                                 std::int64_t shownHeight)
{
    return width * height + shownWidth * shownHeight * 4;
}
constexpr std::int64_t viewBytes(std::int64_t width, std::int64_t height)
{
    return viewBytes(width, height, width, height);
}
constexpr std::int64_t PaletteFrameBytes = viewBytes(384, 24);
constexpr std::int64_t ChipFrameBytes =
    4 * viewBytes(128, 128) + viewBytes(512, 256) + viewBytes(64, 64) + viewBytes(32, 32);
constexpr std::int64_t ChipWriteBytes = 512 * 512 + viewBytes(512, 256) + viewBytes(64, 64);
constexpr std::int64_t MapFrameBytes = 2 * viewBytes(256, 256) + viewBytes(512, 512, 256, 256) + viewBytes(64, 64);
constexpr std::int64_t RoomViewBytes = viewBytes(256, 256);
// The map page at 2x: two rooms and the chip table shown at 512x512, the selected chip
// unzoomed; the memcpy beside it copies the pixels shown.
constexpr std::int64_t MapFrameAt2xBytes =
    2 * viewBytes(256, 256, 512, 512) + viewBytes(512, 512, 512, 512) + viewBytes(64, 64);
constexpr std::int64_t MapShownAt2xBytes = (3 * 512 * 512 + 64 * 64) * 4;

// The main window on the sample image, run from a folder with the data files, shown on the
// offscreen platform. The real timer stays stopped: the benchmarks give every tick.
struct Fixture : test::EditorSession {
    Fixture() : EditorSession("bench.nes")
    {
        if (mainForm().failed() || !form->openImage(image))
            std::abort();
        stageSelector()->setCurrentIndex(AnimatedStage);
        form->show();
        QApplication::processEvents();
        animationTimer()->stop();
    }

    QList<ImageView*> showPage(Page page)
    {
        pages()->setCurrentIndex(page);
        QApplication::processEvents();
        animationTimer()->stop();
        return pageSheet(page)->findChildren<ImageView*>();
    }

    // Every timer tick begins a frame from here on, so each measured onTimer is a frame's.
    void frameEveryTick()
    {
        const PaletteManager& palette = form->paletteManager();
        form->graphics().setPaletteAnime(palette.frameCount(), 1, palette.animePalette());
    }
};

std::unique_ptr<Fixture> shared;

Fixture& sharedFixture()
{
    if (!shared)
        shared = std::make_unique<Fixture>();
    return *shared;
}

void convertAll(const QList<ImageView*>& views)
{
    for (ImageView* view : views)
        benchmark::DoNotOptimize(view->picture().constBits());
}

// QTest::mouseMove carries no modifiers without a held button and keeps its own button
// state, so moves are sent as the platform would deliver them.
void sendMouseMove(QWidget* target, QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    test::move(target, at.x(), at.y(), keys, buttons);
}

std::vector<std::uint64_t> versions(const QList<ImageView*>& views)
{
    std::vector<std::uint64_t> versions;
    for (ImageView* view : views)
        versions.push_back(view->hasBitmap() ? view->bitmap()->version() : 0);
    return versions;
}

// The view bytes one step really wrote, to keep the memcpy beside it honest.
std::int64_t changedViewBytes(const QList<ImageView*>& views, const std::vector<std::uint64_t>& before)
{
    std::int64_t bytes = 0;
    for (qsizetype i = 0; i < views.size(); ++i)
        if (views[i]->hasBitmap() && views[i]->bitmap()->version() != before[static_cast<std::size_t>(i)])
            bytes += viewBytes(views[i]->bitmap()->width(), views[i]->bitmap()->height(), views[i]->shown().width(),
                               views[i]->shown().height());
    return bytes;
}

BENCHMARK(vx::bench::MemcpyBaseline)
    ->Name("BM_Memcpy")
    ->Arg(PaletteFrameBytes)
    ->Arg(RoomViewBytes)
    ->Arg(2 * RoomViewBytes)
    ->Arg(ChipWriteBytes)
    ->Arg(ChipFrameBytes)
    ->Arg(MapFrameBytes)
    ->Arg(MapShownAt2xBytes)
    ->Unit(benchmark::kMicrosecond);

// One frame tick with the page shown: the clock, the new colours, the page's redraw and
// the conversion of every view that changed.
void pageFrame(benchmark::State& state, Page page, std::int64_t bytes)
{
    Fixture& f = sharedFixture();
    const QList<ImageView*> views = f.showPage(page);
    f.frameEveryTick();
    convertAll(views);
    const auto before = versions(views);
    const int frame = f.form->paletteManager().getAnimeFrame();
    f.form->onTimer();
    convertAll(views);
    if (f.form->paletteManager().getAnimeFrame() == frame) {
        state.SkipWithError("the tick began no frame");
        return;
    }
    if (const std::int64_t written = changedViewBytes(views, before); written != bytes) {
        state.SkipWithError(
            ("the page wrote " + std::to_string(written) + " view bytes, not the counted ones").c_str());
        return;
    }
    for (auto _ : state) {
        f.form->onTimer();
        convertAll(views);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_PalettePageFrame(benchmark::State& state) { pageFrame(state, pgPaletteEdit, PaletteFrameBytes); }
BENCHMARK(BM_PalettePageFrame)->Unit(benchmark::kMicrosecond);

void BM_ChipPageFrame(benchmark::State& state) { pageFrame(state, pg32x32ChipEdit, ChipFrameBytes); }
BENCHMARK(BM_ChipPageFrame)->Unit(benchmark::kMicrosecond);

void BM_MapPageFrame(benchmark::State& state) { pageFrame(state, pgMapEdit, MapFrameBytes); }
BENCHMARK(BM_MapPageFrame)->Unit(benchmark::kMicrosecond);

// At 2x each view's picture is converted at the zoomed size, each pixel a block, so the
// paint stays a plain copy as at 1x; the frame is measured down to those pictures.
void BM_MapPageFrameAt2x(benchmark::State& state)
{
    Fixture& f = sharedFixture();
    f.form->zoom()->setLevel(2);
    pageFrame(state, pgMapEdit, MapFrameAt2xBytes);
    f.form->zoom()->setLevel(1);
}
BENCHMARK(BM_MapPageFrameAt2x)->Unit(benchmark::kMicrosecond);

// From nothing to the window shown on the sample: the window made (lists, settings, every
// page), the image opened, the first paint done.
void BM_StartToWindow(benchmark::State& state)
{
    test::EditorSession session("start.nes");
    for (auto _ : state) {
        if (session.mainForm().failed() || !session.form->openImage(session.image)) {
            state.SkipWithError("the window did not open the sample");
            return;
        }
        session.form->show();
        QApplication::processEvents();
        state.PauseTiming();
        session.form.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToWindow)->Unit(benchmark::kMillisecond);

// A write repeated with two values taking turns, so every press changes the data. The
// pick of the next value and the release, where a write has them, stay outside the time;
// the press and the pictures it leaves are timed. An undo history grows by one record a
// write.
struct TurnWrites {
    QList<ImageView*> views;
    const IndexedBitmap* sheet = nullptr; // composed by every write besides the views, if any
    std::int64_t bytes = 0;
    std::function<void(int turn)> select = {}; // may be empty
    std::function<void(int turn)> press;
    std::function<void()> release = {}; // may be empty
    std::function<bool(int turn)> took; // the data holds this turn's value
};

void runTurnWrites(benchmark::State& state, const TurnWrites& writes)
{
    int turn = 0;
    const auto select = [&] {
        if (writes.select)
            writes.select(turn);
        convertAll(writes.views);
    };
    const auto write = [&] {
        writes.press(turn);
        convertAll(writes.views);
    };
    const auto release = [&] {
        if (writes.release)
            writes.release();
    };

    select();
    const auto before = versions(writes.views);
    const auto sheetVersion = writes.sheet ? writes.sheet->version() : 0;
    write();
    release();
    if (!writes.took(turn)) {
        state.SkipWithError("the press wrote nothing");
        return;
    }
    std::int64_t written = changedViewBytes(writes.views, before);
    if (writes.sheet && writes.sheet->version() != sheetVersion)
        written += std::int64_t{writes.sheet->width()} * writes.sheet->height();
    if (written != writes.bytes) {
        state.SkipWithError(("the write touched " + std::to_string(written) + " bytes, not the counted ones").c_str());
        return;
    }

    for (auto _ : state) {
        turn ^= 1;
        select();
        const auto start = std::chrono::steady_clock::now();
        write();
        const auto stop = std::chrono::steady_clock::now();
        release();
        if (!writes.took(turn)) {
            state.SkipWithError("a write did not take");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.SetBytesProcessed(state.iterations() * writes.bytes);
}

// Two values, both unlike the present one.
std::array<std::uint8_t, 2> twoOtherThan(std::uint8_t present)
{
    return {static_cast<std::uint8_t>(present == 0 ? 2 : 0), static_cast<std::uint8_t>(present == 1 ? 3 : 1)};
}

// Shift+left on the chip table: the hovered quarter takes the selected 16x16 entry,
// picked by a click on the first 16x16 table.
void BM_ChipPageShiftWrite(benchmark::State& state)
{
    Fixture& f = sharedFixture();
    const QList<ImageView*> views = f.showPage(pg32x32ChipEdit);
    Chip32x32Edit& page = *f.form->chip32x32Edit();
    ImageView* table = f.find<ImageView>(u"Img32x32ChipEditTable");
    ImageView* entries = f.find<ImageView>(u"Img16x16ChipTable", 0);

    const QPoint at(40, 40); // chip 0x11 of the shown half, top-left quarter
    sendMouseMove(table, at, Qt::NoButton, Qt::ShiftModifier);
    const int chip = page.editPage() * 0x80 + 0x11;
    const auto& chips = f.form->rom().currentStage().chip32x32();
    const std::size_t quarter = static_cast<std::size_t>(chip * 4);
    const auto entry = twoOtherThan(chips[quarter]);

    TurnWrites writes;
    writes.views = views;
    writes.sheet = page.chip32Sheet();
    writes.bytes = ChipWriteBytes;
    writes.select = [&](int turn) {
        QTest::mouseClick(entries, Qt::LeftButton, Qt::NoModifier, QPoint((entry[turn] % 8) * 16 + 8, 8));
    };
    writes.press = [&](int) { QTest::mousePress(table, Qt::LeftButton, Qt::ShiftModifier, at); };
    writes.release = [&] { QTest::mouseRelease(table, Qt::LeftButton, Qt::ShiftModifier, at); };
    writes.took = [&](int turn) { return chips[quarter] == entry[turn]; };
    runTurnWrites(state, writes);
}
BENCHMARK(BM_ChipPageShiftWrite)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A left press on room view 0 paints the hovered cell with the selected chip, picked by a
// click on the chip table. With both views on one room the other view is redrawn too.
void BM_MapPagePaintClick(benchmark::State& state, bool sameRoom)
{
    Fixture& f = sharedFixture();
    const QList<ImageView*> views = f.showPage(pgMapEdit);
    MapEdit& page = *f.form->mapEdit();
    ImageView* room = f.find<ImageView>(u"ImgMapEdit", 0);
    ImageView* table = f.find<ImageView>(u"Img32x32ChipTable");
    f.find<QScrollBar>(u"ScrollBarEditedMapPage", 1)->setValue(page.viewRoom(0) + (sameRoom ? 0 : 1));
    if ((page.viewRoom(1) == page.viewRoom(0)) != sameRoom) {
        state.SkipWithError("the views do not show the rooms asked for");
        return;
    }

    const QPoint at(40, 40);
    QTest::mouseMove(room, at); // the press paints the hovered cell
    const auto& map = f.form->rom().currentStage().map();
    const std::size_t cell =
        static_cast<std::size_t>(page.viewRoom(0) * 64 + roomCellAt(at.x(), at.y(), room->width(), room->height()));
    const auto chip = twoOtherThan(map[cell]);
    // The table shows the 16 x 16 chips 16 pixels apart.
    const auto chipAt = [&](int turn) { return QPoint((chip[turn] % 16) * 16 + 8, (chip[turn] / 16) * 16 + 8); };

    TurnWrites writes;
    writes.views = views;
    writes.bytes = (sameRoom ? 2 : 1) * RoomViewBytes;
    writes.select = [&](int turn) { QTest::mouseClick(table, Qt::LeftButton, Qt::NoModifier, chipAt(turn)); };
    writes.press = [&](int) { QTest::mousePress(room, Qt::LeftButton, Qt::NoModifier, at); };
    writes.release = [&] { QTest::mouseRelease(room, Qt::LeftButton, Qt::NoModifier, at); };
    writes.took = [&](int turn) { return map[cell] == chip[turn]; };
    runTurnWrites(state, writes);
}
BENCHMARK_CAPTURE(BM_MapPagePaintClick, OneView, false)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MapPagePaintClick, BothViews, true)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A left press on the tiles page's editor paints one pixel of the selected chip's first
// tile with the swatch colour picked before: the pattern data, both chip sheets, the
// background table and the editor are redrawn.
void BM_TilePagePaintPixel(benchmark::State& state)
{
    Fixture& f = sharedFixture();
    const QList<ImageView*> views = f.showPage(pgTileEdit);
    const TileEdit& page = *f.form->tileEdit();
    ImageView* editor = f.find<ImageView>(u"ImgTileEditView");
    ImageView* swatches = f.find<ImageView>(u"ImgTileColours");
    const auto pixel = [&] {
        const std::uint8_t* tile = page.patternData().data() + TileTableLength + TileLength * (page.tile() & ~3);
        return (tile[0] >> 7) | ((tile[8] >> 7) << 1);
    };
    const auto colour = twoOtherThan(static_cast<std::uint8_t>(pixel()));

    TurnWrites writes;
    writes.views = views;
    writes.sheet = f.form->chip32x32Edit()->chip32Sheet();
    writes.bytes = 512 * 512 + viewBytes(128, 128) + viewBytes(256, 256);
    writes.select = [&](int turn) {
        QTest::mouseClick(swatches, Qt::LeftButton, Qt::NoModifier, QPoint(colour[turn] * 48 + 24, 20));
    };
    writes.press = [&](int) { QTest::mousePress(editor, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8)); };
    writes.release = [&] { QTest::mouseRelease(editor, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8)); };
    writes.took = [&](int turn) { return pixel() == colour[turn]; };
    runTurnWrites(state, writes);
}
BENCHMARK(BM_TilePagePaintPixel)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The overview drawn anew after an edit: the 44 rooms with their marks, reduced to the
// window (at most 2 ms).
void BM_StageOverviewRedraw(benchmark::State& state)
{
    Fixture& f = sharedFixture();
    f.showPage(pgMapEdit);
    f.form->findChild<QAction*>(QStringLiteral("MenuItemStageOverview"))->trigger();
    auto* window = f.form->findChild<StageOverviewWindow*>();
    if (!window) {
        state.SkipWithError("no overview window");
        return;
    }
    for (auto _ : state)
        window->redraw();
    window->hide();
}
BENCHMARK(BM_StageOverviewRedraw)->Unit(benchmark::kMicrosecond);

// A left press paints an 8x8 stamp taken from the text of a whole room (at most 100 µs
// until the views are asked to redraw).
void BM_MapPageStampPaint(benchmark::State& state)
{
    Fixture& f = sharedFixture();
    f.showPage(pgMapEdit);
    MapEdit& page = *f.form->mapEdit();
    ImageView* room = f.find<ImageView>(u"ImgMapEdit", 0);
    std::string text;
    for (int row = 0; row < 8; ++row)
        text += "01 02 03 04 05 06 07 08\r\n";
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    f.form->activateWindow();
    page.pasteStamp();
    if (!page.stamp()) {
        state.SkipWithError("the stamp did not paste");
        return;
    }
    int turn = 0;
    for (auto _ : state) {
        // Two places taking turns, so every press changes cells.
        const QPoint at(turn ? 16 : 48, 16);
        turn ^= 1;
        QTest::mouseMove(room, at);
        const auto start = std::chrono::steady_clock::now();
        QTest::mousePress(room, Qt::LeftButton, Qt::NoModifier, at);
        const auto stop = std::chrono::steady_clock::now();
        QTest::mouseRelease(room, Qt::LeftButton, Qt::NoModifier, at);
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    page.dropStamp();
}
BENCHMARK(BM_MapPageStampPaint)->UseManualTime()->Unit(benchmark::kMicrosecond);

// One step of an enemy's drag on the object page: a move with the left button held carries
// the selected object to the pointer and redraws both views. The object is the first of
// the first shown room holding one; the views scroll to such a room if neither does.
void BM_ObjectPageDragStep(benchmark::State& state)
{
    Fixture& f = sharedFixture();
    const QList<ImageView*> views = f.showPage(pgObjectEdit);
    ObjectEdit& page = *f.form->objectEdit();
    const StageObjects& enemies = f.form->rom().currentStage().enemyObjects();
    const auto holdsOne = [&](int room) { return room < RoomCount && !enemies.lists(room).empty(); };
    int room = page.leftRoom();
    if (!holdsOne(room) && !holdsOne(++room)) {
        room = 0;
        while (room < RoomCount && !holdsOne(room))
            ++room;
        if (room == RoomCount) {
            state.SkipWithError("the stage has no enemy");
            return;
        }
        f.find<QScrollBar>(u"ScrollBarObjectEdit")->setValue(room);
        if (room != page.leftRoom() && room != page.leftRoom() + 1) {
            state.SkipWithError("the views did not scroll to the room");
            return;
        }
    }
    ImageView* view = f.find<ImageView>(u"ImgObjectEdit", room - page.leftRoom());

    // The views show the room pixel for pixel, so the object's own point hovers it.
    const PlacedObject* object = enemies.lists(room).first();
    const QPoint from(object->x, object->y);
    sendMouseMove(view, from, Qt::NoButton);
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
    if (page.hoveredObject() != object || page.selectedObject() != object) {
        state.SkipWithError("the press did not take the object");
        return;
    }
    // Two points a few pixels away, towards the room's middle, unlike the start and each other.
    const int dx = object->x < 128 ? 1 : -1;
    const int dy = object->y < 128 ? 1 : -1;
    const std::array<QPoint, 2> to{from + QPoint(3 * dx, 2 * dy), from + QPoint(6 * dx, 4 * dy)};

    TurnWrites writes;
    writes.views = views;
    writes.bytes = 2 * RoomViewBytes;
    writes.press = [&](int turn) { sendMouseMove(view, to[static_cast<std::size_t>(turn)], Qt::LeftButton); };
    writes.took = [&](int turn) {
        const QPoint at = to[static_cast<std::size_t>(turn)];
        return page.selectedObject() == object && object->x == at.x() && object->y == at.y();
    };
    runTurnWrites(state, writes);
    // The drag ends where it began, so every run of the benchmark moves the same object
    // from the same point.
    sendMouseMove(view, from, Qt::LeftButton);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, from);
}
BENCHMARK(BM_ObjectPageDragStep)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The offscreen platform's note about size hints would land in the middle of the table.
QtMessageHandler standardHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QStringLiteral("propagateSizeHints")) && standardHandler)
        standardHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    standardHandler = qInstallMessageHandler(quietHandler);
    QApplication application(argc, argv);
    registerFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Tahoma"), 8));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The window goes before the application does.
    shared.reset();
    return 0;
}
