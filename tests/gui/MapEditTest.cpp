#include "core/HexText.h"
#include "core/RomImgManager.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/MapEdit.h"
#include "gui/pages/VxMapEditGridForm.h"
#include "gui/widgets/ImageView.h"
#include "render/GraphicManager.h"
#include "render/PaletteManager.h"
#include "render/StageSheets.h"
#include "tests/gui/EditorFixture.h"

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

namespace {

class MapEditTest : public test::EditorFixture {
protected:
    TMapEdit& Page()
    {
        if (!form)
            Opened();
        form->PageControl()->setCurrentIndex(pgMapEdit);
        return *form->MapEdit();
    }
    static QPoint CellPoint(int cell) { return {(cell / 8) * 32 + 16, (cell % 8) * 32 + 16}; }
    // A press on a cell after the pointer came over it, as a user clicks.
    void OnCell(int view, int cell, Qt::MouseButton button, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        TImageView* control = Page().ImgMapEdit(view);
        const QPoint at = CellPoint(cell);
        Move(control, at.x(), at.y());
        Press(control, at.x(), at.y(), button, keys);
    }
    void PickFromTable(int chip)
    {
        Press(Page().Img32x32ChipTable(), (chip % 16) * 16 + 8, (chip / 16) * 16 + 8, Qt::LeftButton);
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
    EXPECT_EQ(page.LblEditedMapPage(1)->text(), QString::fromStdString(FormatHex(static_cast<unsigned>(page.ViewRoom(1)), 2)));

    // The tool's picture of the same room: its own palette manager, sheets and room bitmap.
    TPaletteManager palette(test::ReadBytes(dir.File("fcpalette.pal")), "fcpalette.pal");
    TGraphicManager graphics(palette);
    TStageSheets sheets;
    PrepareStageSheets(graphics, stage, form->Rom().ImageBytes(), sheets, nullptr);
    for (int view = 0; view < 2; ++view) {
        auto expected = graphics.CreateDisplayBitmap(256, 256);
        graphics.DrawRoom(*expected, *sheets.chip32Sheet,
                          std::span(stage.Map()).subspan(static_cast<std::size_t>(page.ViewRoom(view)) * 64, 64));
        const TNkDIB& shown = *page.ImgMapEdit(view)->Bitmap();
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
    const TColor before = ShownColor(page.ImgMapEdit(0), (cell / 8) * 32 + 5, (cell % 8) * 32 + 5);
    OnCell(0, cell, Qt::LeftButton);
    EXPECT_EQ(MapByte(room, cell), chip);
    EXPECT_EQ(UndoCount(), 1);
    EXPECT_EQ(UndoCaption(), QStringLiteral("Undo(&U) - Edit Map"));
    EXPECT_NE(ShownColor(page.ImgMapEdit(0), (cell / 8) * 32 + 5, (cell % 8) * 32 + 5), before);

    const std::uint64_t version = page.ImgMapEdit(0)->Bitmap()->Version();
    Press(page.ImgMapEdit(0), CellPoint(cell).x(), CellPoint(cell).y(), Qt::LeftButton);
    EXPECT_EQ(UndoCount(), 1) << "the same chip again records nothing";
    EXPECT_EQ(page.ImgMapEdit(0)->Bitmap()->Version(), version) << "and redraws nothing";

    Move(page.ImgMapEdit(0), CellPoint(cell + 8).x(), CellPoint(cell + 8).y(), Qt::NoModifier);
    QMouseEvent drag(QEvent::MouseMove, QPointF(CellPoint(cell + 16)), QPointF(CellPoint(cell + 16)), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page.ImgMapEdit(0), &drag);
    EXPECT_EQ(UndoCount(), 1) << "dragging does not paint";

    form->CommandUndo();
    EXPECT_NE(MapByte(room, cell), chip);
    EXPECT_EQ(ShownColor(page.ImgMapEdit(0), (cell / 8) * 32 + 5, (cell % 8) * 32 + 5), before) << "undo redraws at once";
}

TEST_F(MapEditTest, TheSameRoomInBothViewsUpdatesBoth)
{
    TMapEdit& page = Page();
    page.ScrollBarEditedMapPage(1)->setValue(page.ViewRoom(0));
    ASSERT_EQ(page.ViewRoom(1), page.ViewRoom(0));
    const int cell = 5 * 8 + 6, chip = OtherChip(page.ViewRoom(0), cell);
    PickFromTable(chip);
    OnCell(0, cell, Qt::LeftButton);
    const QPoint at((cell / 8) * 32 + 5, (cell % 8) * 32 + 5);
    EXPECT_EQ(ShownColor(page.ImgMapEdit(1), at.x(), at.y()), ShownColor(page.ImgMapEdit(0), at.x(), at.y()));
    EXPECT_EQ(page.ImgMapEdit(1)->Bitmap()->Pixel(at.x(), at.y()), page.ImgMapEdit(0)->Bitmap()->Pixel(at.x(), at.y()));
}

TEST_F(MapEditTest, RightPicksCtrlRightCopiesAndCtrlLeftPastesIntoAnotherStage)
{
    TMapEdit& page = Page();
    OnCell(1, 9, Qt::RightButton);
    EXPECT_EQ(page.SelectedChip(), MapByte(page.ViewRoom(1), 9));
    EXPECT_EQ(page.LblSelected32x32ChipIndex()->text(), QString::fromStdString(FormatHex(MapByte(page.ViewRoom(1), 9), 2)));

    const auto copied = Room(page.ViewRoom(1));
    OnCell(1, 0, Qt::RightButton, Qt::ControlModifier);
    EXPECT_TRUE(std::equal(copied.begin(), copied.end(), page.RoomCopyBuffer().begin()));
    EXPECT_EQ(UndoCount(), 0);

    form->StageSelector()->setCurrentIndex(1);
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
    TMapEditGridForm* grid = form->MapEditGridForm();
    const int room = page.ViewRoom(0);
    const auto before = Room(room);
    ASSERT_NE(before[0], 0x07);
    QString caption;
    QTimer::singleShot(0, grid, [&] {
        caption = grid->windowTitle();
        QTest::keyClicks(grid->SGridMapEdit(), QStringLiteral("7"));
        grid->BtnOK()->click();
    });
    OnCell(0, 20, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(caption, QStringLiteral("Edit Screen ") + QString::fromStdString(FormatHex(static_cast<unsigned>(room), 2)));
    EXPECT_EQ(MapByte(room, 0), 0x07) << "cell (0, 0), typed 7";
    EXPECT_EQ(UndoCaption(), QStringLiteral("Undo(&U) - Edit Map(Grid)"));
    form->CommandUndo();
    EXPECT_EQ(Room(room), before);

    QTimer::singleShot(0, grid, [&] {
        QTest::keyClicks(grid->SGridMapEdit(), QStringLiteral("7"));
        grid->BtnCancel()->click();
    });
    OnCell(0, 20, Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier); // Ctrl is ignored
    EXPECT_EQ(Room(room), before);
    EXPECT_EQ(UndoCount(), 0);

    QTimer::singleShot(0, grid, [&] { grid->BtnOK()->click(); });
    OnCell(0, 20, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(UndoCount(), 0) << "OK without a change records nothing";
}

TEST_F(MapEditTest, StatusAndHintsFollowThePointerAndClearOutside)
{
    TMapEdit& page = Page();
    const int room = page.ViewRoom(0);
    Move(page.ImgMapEdit(0), 40, 70); // cell 1 * 8 + 2
    const QString chip = QString::fromStdString(FormatHex(MapByte(room, 10), 2));
    EXPECT_EQ(form->StatusPanel(1)->text(), QStringLiteral("32x32 Tile No:") + chip);
    EXPECT_EQ(page.ImgMapEdit(0)->toolTip(), QStringLiteral("Room %1, column 1, row 2: chip %2")
                                                 .arg(QString::fromStdString(FormatHex(static_cast<unsigned>(room), 2)), chip));
    EXPECT_EQ(ShownColor(page.ImgMapEdit(0), 32, 64), TGraphicManager::CursorColor);
    Leave(page.ImgMapEdit(0));
    EXPECT_TRUE(form->StatusPanel(1)->text().isEmpty());
    EXPECT_NE(ShownColor(page.ImgMapEdit(0), 32, 64), TGraphicManager::CursorColor);

    Move(page.Img32x32ChipTable(), 16 * 3 + 2, 16 * 2 + 2); // chip 23
    EXPECT_EQ(form->StatusPanel(1)->text(), QStringLiteral("32x32 Tile No:23"));
    const TNkDIB& table = *page.Img32x32ChipTable()->Bitmap();
    EXPECT_EQ(table.Color(table.Pixel(3 * 32, 2 * 32)), TGraphicManager::CursorColor);
    EXPECT_EQ(table.Color(table.Pixel(3 * 32 + 1, 2 * 32 + 1)), TGraphicManager::CursorColor) << "two pixels thick";
    Leave(page.Img32x32ChipTable());
    EXPECT_TRUE(form->StatusPanel(1)->text().isEmpty());
}

TEST_F(MapEditTest, ScrollBarsMoveTheViewsWithinTheirEnds)
{
    TMapEdit& page = Page();
    page.ScrollBarEditedMapPage(1)->setValue(0x03);
    page.ScrollBarEditedMapPage(0)->setValue(0x08);
    EXPECT_EQ(page.ScrollBarMapEdit()->value(), 0x08) << "view 0's bar moves the overall bar";
    page.ScrollBarMapEdit()->setValue(0);
    EXPECT_EQ(page.ViewRoom(0), 0x00);
    EXPECT_EQ(page.ViewRoom(1), 0x01) << "view 1 stops at room 01";
    EXPECT_EQ(page.ScrollBarEditedMapPage(1)->value(), 0x01);

    page.ScrollBarEditedMapPage(0)->setValue(43);
    EXPECT_EQ(page.ViewRoom(0), 0x2A);
    EXPECT_EQ(page.LblEditedMapPage(0)->text(), QStringLiteral("2A"));
    page.ScrollBarEditedMapPage(1)->setValue(43);
    EXPECT_EQ(page.ViewRoom(1), 0x2B);
    page.ScrollBarMapEdit()->setValue(0x20);
    EXPECT_EQ(page.ViewRoom(0), 0x20);
    EXPECT_EQ(page.ViewRoom(1), 0x21);
}

TEST_F(MapEditTest, ChipPagePicksAndStageChangeResetsThePaintingChip)
{
    TMapEdit& page = Page();
    form->PageControl()->setCurrentIndex(pg32x32ChipEdit);
    Press(form->Chip32x32Edit()->Img32x32ChipEditTable(), 5 * 32 + 3, 2 * 32 + 3, Qt::LeftButton);
    EXPECT_EQ(page.SelectedChip(), 0x25) << "the chip page's plain pick paints on the map";

    form->StageSelector()->setCurrentIndex(9);
    EXPECT_EQ(page.SelectedChip(), 0);
    const TStageData& stage = Stage();
    EXPECT_EQ(page.ViewRoom(0), std::min<int>(stage.MidPoints(stage.DefaultStartPoint()).StartRoom(), 0x2A));
    EXPECT_EQ(page.ScrollBarMapEdit()->value(), page.ViewRoom(0));
}

TEST_F(MapEditTest, ASavedPaintChangesOnlyTheMapTable)
{
    TMapEdit& page = Page();
    const int room = page.ViewRoom(1), cell = 33;
    PickFromTable(OtherChip(room, cell));
    OnCell(1, cell, Qt::LeftButton);
    ASSERT_TRUE(form->CommandSave());
    const auto saved = test::ReadBytes(image.toStdString());
    const auto& original = test::SampleBytes();
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < saved.size(); ++i)
        if (saved[i] != original[i])
            changed.push_back(i);
    EXPECT_EQ(changed, std::vector<std::size_t>{static_cast<std::size_t>(Stage().Address(TableKey::Map) + room * 64 + cell)});
}
