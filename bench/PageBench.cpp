// The editor pages' share of one animation frame and of one chip write, through the main
// window as the user drives it, down to the pictures the views would paint. Each stands
// beside a memcpy of as many bytes as it writes.
#include "bench/MemcpyBaseline.h"
#include "app/MainForm.h"
#include "core/RomImgManager.h"
#include "editors/Chip32x32Edit.h"
#include "graphics/GraphicManager.h"
#include "graphics/ImageView.h"
#include "graphics/PaletteManager.h"
#include "graphics/QtGlyphRenderer.h"
#include "tests/gui/ScriptedPrompts.h"
#include "tests/support/Images.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

using namespace vx;

namespace {

constexpr int AnimatedStage = 1;

// Bytes a step writes: each changed view's indexed pixels plus its RGB picture, and the
// composed 512x512 chip sheet for a write.
constexpr std::int64_t ViewBytes(std::int64_t width, std::int64_t height) { return width * height * (1 + 4); }
constexpr std::int64_t PaletteFrameBytes = ViewBytes(384, 24);
constexpr std::int64_t ChipFrameBytes =
    4 * ViewBytes(128, 128) + ViewBytes(512, 256) + ViewBytes(64, 64) + ViewBytes(32, 32);
constexpr std::int64_t ChipWriteBytes = 512 * 512 + ViewBytes(512, 256) + ViewBytes(64, 64);

// The main window on the sample image, run from a folder with the data files, shown on the
// offscreen platform. The real timer stays stopped: the benchmarks give every tick.
struct Fixture {
    test::TempDir dir;
    std::filesystem::path previous = std::filesystem::current_path();
    test::ScriptedPrompts prompts;
    std::unique_ptr<TMainForm> form;

    Fixture()
    {
        for (const char* name : {"ChipAttributeList.txt", "ObjectList.txt", "fcpalette.pal"})
            std::filesystem::copy_file(std::string(VX_DATA_DIR "/") + name, dir.File(name));
        std::filesystem::current_path(dir.Path());
        const std::string image = dir.File("bench.nes");
        test::WriteFile(image, test::SampleBytes());
        form = std::make_unique<TMainForm>(prompts, QString::fromStdString(dir.Path()));
        if (form->Failed() || !form->OpenImage(QString::fromStdString(image)))
            std::abort();
        form->StageSelector()->setCurrentIndex(AnimatedStage);
        form->show();
        QApplication::processEvents();
        form->AnimationTimer()->stop();
    }
    ~Fixture()
    {
        form.reset();
        std::filesystem::current_path(previous);
    }

    QList<TImageView*> ShowPage(int page)
    {
        form->PageControl()->setCurrentIndex(page);
        QApplication::processEvents();
        form->AnimationTimer()->stop();
        return form->PageControl()->widget(page)->findChildren<TImageView*>();
    }

    // Every timer tick begins a frame from here on, so each measured OnTimer is a frame's.
    void FrameEveryTick()
    {
        const TPaletteManager& palette = form->PaletteManager();
        form->Graphics().SetPaletteAnime(palette.FrameCount(), 1, palette.AnimePalette());
    }
};

std::unique_ptr<Fixture> shared;

Fixture& Shared()
{
    if (!shared)
        shared = std::make_unique<Fixture>();
    return *shared;
}

void ConvertAll(const QList<TImageView*>& views)
{
    for (TImageView* view : views)
        benchmark::DoNotOptimize(view->Picture().constBits());
}

std::vector<std::uint64_t> Versions(const QList<TImageView*>& views)
{
    std::vector<std::uint64_t> versions;
    for (TImageView* view : views)
        versions.push_back(view->HasBitmap() ? view->Bitmap()->Version() : 0);
    return versions;
}

// The view bytes one step really wrote, to keep the memcpy beside it honest.
std::int64_t ChangedViewBytes(const QList<TImageView*>& views, const std::vector<std::uint64_t>& before)
{
    std::int64_t bytes = 0;
    for (qsizetype i = 0; i < views.size(); ++i)
        if (views[i]->HasBitmap() && views[i]->Bitmap()->Version() != before[static_cast<std::size_t>(i)])
            bytes += ViewBytes(views[i]->Bitmap()->Width(), views[i]->Bitmap()->Height());
    return bytes;
}

BENCHMARK(vx::bench::MemcpyBaseline)->Name("BM_Memcpy")->Arg(PaletteFrameBytes)->Arg(ChipWriteBytes)->Arg(ChipFrameBytes)->Unit(benchmark::kMicrosecond);

// One frame tick with the page shown: the clock, the new colours, the page's redraw and
// the conversion of every view that changed.
void PageFrame(benchmark::State& state, int page, std::int64_t bytes)
{
    Fixture& f = Shared();
    const QList<TImageView*> views = f.ShowPage(page);
    f.FrameEveryTick();
    ConvertAll(views);
    const auto before = Versions(views);
    const int frame = f.form->PaletteManager().GetAnimeFrame();
    f.form->OnTimer();
    ConvertAll(views);
    if (f.form->PaletteManager().GetAnimeFrame() == frame) {
        state.SkipWithError("the tick began no frame");
        return;
    }
    if (const std::int64_t written = ChangedViewBytes(views, before); written != bytes) {
        state.SkipWithError(("the page wrote " + std::to_string(written) + " view bytes, not the counted ones").c_str());
        return;
    }
    for (auto _ : state) {
        f.form->OnTimer();
        ConvertAll(views);
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_PalettePageFrame(benchmark::State& state) { PageFrame(state, pgPaletteEdit, PaletteFrameBytes); }
BENCHMARK(BM_PalettePageFrame)->Unit(benchmark::kMicrosecond);

void BM_ChipPageFrame(benchmark::State& state) { PageFrame(state, pg32x32ChipEdit, ChipFrameBytes); }
BENCHMARK(BM_ChipPageFrame)->Unit(benchmark::kMicrosecond);

// Shift+left on the chip table: the hovered quarter takes the selected 16x16 entry. Two
// entries take turns so every write changes the chip; picking one (a click on the 16x16
// table) is outside the measured time. The undo history grows by one record a write.
void BM_ChipPageShiftWrite(benchmark::State& state)
{
    Fixture& f = Shared();
    const QList<TImageView*> views = f.ShowPage(pg32x32ChipEdit);
    TChip32x32Edit& page = *f.form->Chip32x32Edit();
    TImageView* table = page.Img32x32ChipEditTable();
    TImageView* entries = page.Img16x16ChipTable(0);

    // QTest::mouseMove carries no modifiers without a held button, so the Shift move is
    // sent as the platform would deliver it.
    const QPoint at(40, 40); // chip 0x11 of the shown half, top-left quarter
    QMouseEvent move(QEvent::MouseMove, at, table->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::ShiftModifier);
    QApplication::sendEvent(table, &move);
    const int chip = page.EditPage() * 0x80 + 0x11;
    const auto& chips = f.form->Rom().CurrentStage().Chip32x32();
    const std::size_t quarter = static_cast<std::size_t>(chip * 4);

    // Two entries of the first 16x16 table, both unlike the quarter's present one.
    const std::uint8_t present = chips[quarter];
    const std::uint8_t first = present == 0 ? 2 : 0, second = present == 1 ? 3 : 1;
    const QPoint entryAt[2] = {QPoint((first % 8) * 16 + 8, 8), QPoint((second % 8) * 16 + 8, 8)};
    const std::uint8_t entryOf[2] = {first, second};

    int turn = 0;
    const auto select = [&] {
        QTest::mouseClick(entries, Qt::LeftButton, Qt::NoModifier, entryAt[turn]);
        ConvertAll(views);
    };
    const auto write = [&] {
        QTest::mousePress(table, Qt::LeftButton, Qt::ShiftModifier, at);
        ConvertAll(views);
    };

    select();
    const auto before = Versions(views);
    const auto sheetVersion = page.Chip32Sheet()->Version();
    write();
    QTest::mouseRelease(table, Qt::LeftButton, Qt::ShiftModifier, at);
    if (chips[quarter] != entryOf[turn] || page.Chip32Sheet()->Version() == sheetVersion) {
        state.SkipWithError("the Shift+left press wrote nothing");
        return;
    }
    if (const std::int64_t written = ChangedViewBytes(views, before) + 512 * 512; written != ChipWriteBytes) {
        state.SkipWithError(("the write touched " + std::to_string(written) + " bytes, not the counted ones").c_str());
        return;
    }

    for (auto _ : state) {
        turn ^= 1;
        select();
        const auto start = std::chrono::steady_clock::now();
        write();
        const auto stop = std::chrono::steady_clock::now();
        QTest::mouseRelease(table, Qt::LeftButton, Qt::ShiftModifier, at);
        if (chips[quarter] != entryOf[turn]) {
            state.SkipWithError("a write did not take");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.SetBytesProcessed(state.iterations() * ChipWriteBytes);
}
BENCHMARK(BM_ChipPageShiftWrite)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The offscreen platform's note about size hints would land in the middle of the table.
QtMessageHandler standardHandler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QStringLiteral("propagateSizeHints")) && standardHandler)
        standardHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    standardHandler = qInstallMessageHandler(QuietHandler);
    QApplication application(argc, argv);
    RegisterFontSubstitutions();
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
