#include "core/HexText.h"
#include "core/RomImgManager.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/MapEdit.h"
#include "gui/pages/VxMapEditGridForm.h"
#include "gui/widgets/ImageView.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"
#include "render/StageSheets.h"
#include "tests/gui/support/EditorFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>

using namespace vx;
using test::Control;

namespace {

class MapEditTest : public test::EditorFixture {
protected:
    TMapEdit& Page()
    {
        ShowPage(pgMapEdit);
        return *form->MapEdit();
    }
    TImageView* View(int view) const { return Find<TImageView>(u"ImgMapEdit", view); }
    TImageView* ChipTable() const { return Find<TImageView>(u"Img32x32ChipTable"); }
    QScrollBar* RoomBar(int view) const { return Find<QScrollBar>(u"ScrollBarEditedMapPage", view); }
    QScrollBar* BothBar() const { return Find<QScrollBar>(u"ScrollBarMapEdit"); }
    static QPoint CellPoint(int cell) { return {(cell / 8) * 32 + 16, (cell % 8) * 32 + 16}; }
    // A press on a cell after the pointer came over it, as a user clicks.
    void OnCell(int view, int cell, Qt::MouseButton button, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        Page();
        TImageView* control = View(view);
        const QPoint at = CellPoint(cell);
        Move(control, at.x(), at.y());
        Press(control, at.x(), at.y(), button, keys);
    }
    void PickFromTable(int chip)
    {
        Page();
        Press(ChipTable(), (chip % 16) * 16 + 8, (chip / 16) * 16 + 8, Qt::LeftButton);
        ASSERT_EQ(Page().SelectedChip(), chip);
    }
    std::uint8_t MapByte(int room, int cell) const
    {
        return Stage().Map()[static_cast<std::size_t>(room * 64 + cell)];
    }
    std::vector<std::uint8_t> Room(int room) const
    {
        const auto& map = Stage().Map();
        return {map.begin() + room * 64, map.begin() + room * 64 + 64};
    }
    // A chip that differs from the cell's content and paints differently.
    int OtherChip(int room, int cell) const
    {
        const TNkDIB& sheet = *form->Chip32x32Edit()->Chip32Sheet();
        const int held = MapByte(room, cell);
        for (int chip = 0; chip < 256; ++chip)
            if (chip != held && sheet.Pixel((chip % 16) * 32 + 5, (chip / 16) * 32 + 5) !=
                                    sheet.Pixel((held % 16) * 32 + 5, (held / 16) * 32 + 5))
                return chip;
        return -1;
    }
};

} // namespace

TEST_F(MapEditTest, ViewsShowTheRoomsAsTheToolDrawsThem)
{
    TMapEdit& page = Page();
    const TStageData& stage = Stage();
    EXPECT_EQ(page.ViewRoom(0), std::min<int>(stage.MidPoints(stage.DefaultStartPoint()).StartRoom(), 0x2A));
    EXPECT_EQ(page.ViewRoom(1), page.ViewRoom(0) + 1);
    EXPECT_EQ(Find<QLabel>(u"LblEditedMapPage", 1)->text(), QString::fromStdString(FormatHex(static_cast<unsigned>(page.ViewRoom(1)), 2)));

    // The tool's picture of the same room: its own palette manager, sheets and room bitmap.
    TPaletteManager palette(test::ReadBytes(dir.File("fcpalette.pal")), "fcpalette.pal");
    TGraphicManager graphics(palette);
    TStageSheets sheets;
    PrepareStageSheets(graphics, stage, form->Rom().ImageBytes(), sheets, nullptr);
    for (int view = 0; view < 2; ++view) {
        auto expected = graphics.CreateDisplayBitmap(256, 256);
        graphics.DrawRoom(*expected, *sheets.chip32Sheet,
                          std::span(stage.Map()).subspan(static_cast<std::size_t>(page.ViewRoom(view)) * 64, 64));
        const TNkDIB& shown = *View(view)->Bitmap();
        int differing = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                differing += shown.Color(shown.Pixel(x, y)) != expected->Color(expected->Pixel(x, y));
        EXPECT_EQ(differing, 0) << "view " << view;
    }
}

TEST_F(MapEditTest, PaintingWritesOneRecordAndTheSameChipAgainNone)
{
    TMapEdit& page = Page();
    const int room = page.ViewRoom(0), cell = 2 * 8 + 3;
    const int chip = OtherChip(room, cell);
    ASSERT_GE(chip, 0);
    PickFromTable(chip);
    const TColor before = ShownColor(View(0), (cell / 8) * 32 + 5, (cell % 8) * 32 + 5);
    OnCell(0, cell, Qt::LeftButton);
    EXPECT_EQ(MapByte(room, cell), chip);
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(UndoCaption(), QStringLiteral("Undo(&U) - Edit Map"));
    EXPECT_NE(ShownColor(View(0), (cell / 8) * 32 + 5, (cell % 8) * 32 + 5), before);

    const std::uint64_t version = View(0)->Bitmap()->Version();
    Press(View(0), CellPoint(cell).x(), CellPoint(cell).y(), Qt::LeftButton);
    EXPECT_EQ(UndoCount(), 1) << "the same chip again records nothing";
    EXPECT_EQ(View(0)->Bitmap()->Version(), version) << "and redraws nothing";

    Move(View(0), CellPoint(cell + 8).x(), CellPoint(cell + 8).y(), Qt::NoModifier);
    QMouseEvent drag(QEvent::MouseMove, QPointF(CellPoint(cell + 16)), QPointF(CellPoint(cell + 16)), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View(0), &drag);
    EXPECT_EQ(UndoCount(), 1) << "dragging does not paint";

    form->CommandUndo();
    EXPECT_NE(MapByte(room, cell), chip);
    EXPECT_EQ(ShownColor(View(0), (cell / 8) * 32 + 5, (cell % 8) * 32 + 5), before) << "undo redraws at once";
}

TEST_F(MapEditTest, TheSameRoomInBothViewsUpdatesBoth)
{
    TMapEdit& page = Page();
    RoomBar(1)->setValue(page.ViewRoom(0));
    ASSERT_EQ(page.ViewRoom(1), page.ViewRoom(0));
    const int cell = 5 * 8 + 6, chip = OtherChip(page.ViewRoom(0), cell);
    ASSERT_GE(chip, 0);
    PickFromTable(chip);
    const QPoint at((cell / 8) * 32 + 5, (cell % 8) * 32 + 5);
    const int shownBefore = View(1)->Bitmap()->Pixel(at.x(), at.y());
    OnCell(0, cell, Qt::LeftButton);
    EXPECT_EQ(MapByte(page.ViewRoom(0), cell), chip);
    EXPECT_NE(View(1)->Bitmap()->Pixel(at.x(), at.y()), shownBefore) << "the other view shows the new chip";
    EXPECT_EQ(ShownColor(View(1), at.x(), at.y()), ShownColor(View(0), at.x(), at.y()));
    EXPECT_EQ(View(1)->Bitmap()->Pixel(at.x(), at.y()), View(0)->Bitmap()->Pixel(at.x(), at.y()));
}

TEST_F(MapEditTest, RightPicksCtrlRightCopiesAndCtrlLeftPastesIntoAnotherStage)
{
    TMapEdit& page = Page();
    OnCell(1, 9, Qt::RightButton);
    EXPECT_EQ(page.SelectedChip(), MapByte(page.ViewRoom(1), 9));
    EXPECT_EQ(Find<QLabel>(u"LblSelected32x32ChipIndex")->text(), QString::fromStdString(FormatHex(MapByte(page.ViewRoom(1), 9), 2)));

    const auto copied = Room(page.ViewRoom(1));
    OnCell(1, 0, Qt::RightButton, Qt::ControlModifier);
    EXPECT_TRUE(std::equal(copied.begin(), copied.end(), page.RoomCopyBuffer().begin()));
    EXPECT_EQ(UndoCount(), 0);

    StageSelector()->setCurrentIndex(1);
    ASSERT_NE(Room(page.ViewRoom(0)), copied);
    OnCell(0, 0, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(Room(page.ViewRoom(0)), copied);
    EXPECT_EQ(UndoCaption(), QStringLiteral("Undo(&U) - Edit Map(Paste)"));
    const int records = UndoCount();
    OnCell(0, 0, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(UndoCount(), records) << "the same room again records nothing";

    form->OpenImage(image);
    EXPECT_EQ(page.RoomCopyBuffer(), (std::array<std::uint8_t, 64>{})) << "only Open clears the copy";
}

TEST_F(MapEditTest, PasteBeforeAnyCopyWritesAnEmptyRoom)
{
    TMapEdit& page = Page();
    OnCell(0, 0, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(Room(page.ViewRoom(0)), std::vector<std::uint8_t>(64, 0));
}

TEST_F(MapEditTest, ShiftLeftOpensTheGridAndOkWritesOneRecord)
{
    TMapEdit& page = Page();
    auto* grid = Find<TMapEditGridForm>(u"MapEditGridForm");
    auto* cells = Control<QTableWidget>(grid, u"SGridMapEdit");
    auto* ok = Control<QPushButton>(grid, u"BtnOK");
    auto* cancel = Control<QPushButton>(grid, u"BtnCancel");
    const int room = page.ViewRoom(0);
    const auto before = Room(room);
    ASSERT_NE(before[0], 0x07);
    QString caption;
    QTimer::singleShot(0, grid, [&] {
        caption = grid->windowTitle();
        QTest::keyClicks(cells, QStringLiteral("7"));
        ok->click();
    });
    OnCell(0, 20, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(caption, QStringLiteral("Edit Screen ") + QString::fromStdString(FormatHex(static_cast<unsigned>(room), 2)));
    EXPECT_EQ(MapByte(room, 0), 0x07) << "cell (0, 0), typed 7";
    EXPECT_EQ(UndoCaption(), QStringLiteral("Undo(&U) - Edit Map(Grid)"));
    form->CommandUndo();
    EXPECT_EQ(Room(room), before);

    QTimer::singleShot(0, grid, [&] {
        QTest::keyClicks(cells, QStringLiteral("7"));
        cancel->click();
    });
    OnCell(0, 20, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier); // Ctrl is ignored
    EXPECT_EQ(Room(room), before);
    EXPECT_EQ(UndoCount(), 0);

    QTimer::singleShot(0, grid, [&] { ok->click(); });
    OnCell(0, 20, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(UndoCount(), 0) << "OK without a change records nothing";
}

TEST_F(MapEditTest, StatusAndHintsFollowThePointerAndClearOutside)
{
    TMapEdit& page = Page();
    const int room = page.ViewRoom(0);
    Move(View(0), 40, 70); // cell 1 * 8 + 2
    const QString chip = QString::fromStdString(FormatHex(MapByte(room, 10), 2));
    EXPECT_EQ(StatusPanel(1)->text(), QStringLiteral("32x32 Tile No:") + chip);
    EXPECT_EQ(View(0)->toolTip(), QStringLiteral("Room %1, column 1, row 2: chip %2")
                                                 .arg(QString::fromStdString(FormatHex(static_cast<unsigned>(room), 2)), chip));
    EXPECT_EQ(ShownColor(View(0), 32, 64), TGraphicManager::CursorColor);
    Leave(View(0));
    EXPECT_TRUE(StatusPanel(1)->text().isEmpty());
    EXPECT_NE(ShownColor(View(0), 32, 64), TGraphicManager::CursorColor);

    Move(ChipTable(), 16 * 3 + 2, 16 * 2 + 2); // chip 23
    EXPECT_EQ(StatusPanel(1)->text(), QStringLiteral("32x32 Tile No:23"));
    const TNkDIB& table = *ChipTable()->Bitmap();
    EXPECT_EQ(table.Color(table.Pixel(3 * 32, 2 * 32)), TGraphicManager::CursorColor);
    EXPECT_EQ(table.Color(table.Pixel(3 * 32 + 1, 2 * 32 + 1)), TGraphicManager::CursorColor) << "two pixels thick";
    Leave(ChipTable());
    EXPECT_TRUE(StatusPanel(1)->text().isEmpty());
}

TEST_F(MapEditTest, ScrollBarsMoveTheViewsWithinTheirEnds)
{
    TMapEdit& page = Page();
    RoomBar(1)->setValue(0x03);
    RoomBar(0)->setValue(0x08);
    EXPECT_EQ(BothBar()->value(), 0x08) << "view 0's bar moves the overall bar";
    BothBar()->setValue(0);
    EXPECT_EQ(page.ViewRoom(0), 0x00);
    EXPECT_EQ(page.ViewRoom(1), 0x01) << "view 1 stops at room 01";
    EXPECT_EQ(RoomBar(1)->value(), 0x01);

    RoomBar(0)->setValue(43);
    EXPECT_EQ(page.ViewRoom(0), 0x2A);
    EXPECT_EQ(Find<QLabel>(u"LblEditedMapPage", 0)->text(), QStringLiteral("2A"));
    RoomBar(1)->setValue(43);
    EXPECT_EQ(page.ViewRoom(1), 0x2B);
    BothBar()->setValue(0x20);
    EXPECT_EQ(page.ViewRoom(0), 0x20);
    EXPECT_EQ(page.ViewRoom(1), 0x21);
}

TEST_F(MapEditTest, ChipPagePicksAndStageChangeResetsThePaintingChip)
{
    TMapEdit& page = Page();
    ShowPage(pg32x32ChipEdit);
    Press(Find<TImageView>(u"Img32x32ChipEditTable"), 5 * 32 + 3, 2 * 32 + 3, Qt::LeftButton);
    EXPECT_EQ(page.SelectedChip(), 0x25) << "the chip page's plain pick paints on the map";

    StageSelector()->setCurrentIndex(9);
    EXPECT_EQ(page.SelectedChip(), 0);
    const TStageData& stage = Stage();
    EXPECT_EQ(page.ViewRoom(0), std::min<int>(stage.MidPoints(stage.DefaultStartPoint()).StartRoom(), 0x2A));
    EXPECT_EQ(BothBar()->value(), page.ViewRoom(0));
}

TEST_F(MapEditTest, ASavedPaintChangesOnlyTheMapTable)
{
    TMapEdit& page = Page();
    const int room = page.ViewRoom(1), cell = 33;
    PickFromTable(OtherChip(room, cell));
    OnCell(1, cell, Qt::LeftButton);
    ASSERT_TRUE(form->CommandSave());
    EXPECT_EQ(ChangedBytes(), std::vector<std::size_t>{static_cast<std::size_t>(Stage().Address(TableKey::Map) + room * 64 + cell)});
}
