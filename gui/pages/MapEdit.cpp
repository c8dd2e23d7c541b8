#include "gui/pages/MapEdit.h"

#include "core/RomImgManager.h"
#include "gui/pages/VxMapEditGridForm.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/PageControls.h"
#include "gui/widgets/RoomViewPair.h"
#include "gui/widgets/UpdatingGuard.h"
#include "render/GraphicManager.h"
#include "render/WorkingSheets.h"
#include "rules/ChipRules.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace vx {
// ---- controls ----

void TMapEdit::BindControls(QWidget* page)
{
    BuildViews(page);
    BuildRoomGroup(page);
    BuildSelectedGroup(page);
}

void TMapEdit::BuildViews(QWidget* page)
{
    const auto handlers = [this](int v) {
        return TViewHandlers{
            .pressed = [this, v](int x, int y, Qt::MouseButton button,
                                 Qt::KeyboardModifiers keys) { ImgMapEditXMouseDown(v, x, y, button, keys); },
            .moved = [this, v](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) { ImgMapEditXMouseMove(v, x, y); },
            .left = [this, v] { ImgMapEditXMouseLeave(v); }};
    };
    pair_ = std::make_unique<TRoomViewPair>(page, QStringLiteral("ImgMapEdit"), QStringLiteral("ScrollBarMapEdit"),
                                            handlers, [this](int left) { ScrollBarMapEditScroll(left); });

    // A 512x512 bitmap at half size.
    chipTable_ = MakeImageView(
        page, QStringLiteral("Img32x32ChipTable"), QRect(360, 296, 256, 256),
        {.pressed = [this](int x, int y, Qt::MouseButton button,
                           Qt::KeyboardModifiers) { Img32x32ChipTableMouseDown(x, y, button); },
         .moved = [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) { Img32x32ChipTableMouseMove(x, y); },
         .left = [this] { Img32x32ChipTableMouseLeave(); }});
}

void TMapEdit::BuildRoomGroup(QWidget* page)
{
    auto* group = new QGroupBox(QString::fromUtf8("編集部屋番号"), page);
    group->setObjectName(QStringLiteral("GroupBoxEditedMapPage"));
    group->setGeometry(3, 288, 126, 124);
    for (int v = 0; v < 2; ++v) {
        const int top = 24 + 48 * v;
        MakeCaption(v == 0 ? "Page0:" : "Page1:", group, 10, top, 44);
        pageLabels_[static_cast<std::size_t>(v)] =
            MakeValueLabel(QStringLiteral("LblEditedMapPage%1").arg(v), group, 56, top, 40);
        QScrollBar* bar =
            MakeRoomScrollBar(QStringLiteral("ScrollBarEditedMapPage%1").arg(v), group, 10, top + 20, 106, LastRoom);
        pageBars_[static_cast<std::size_t>(v)] = bar;
        QObject::connect(bar, &QScrollBar::valueChanged, bar,
                         [this, v](int position) { ScrollBarEditedMapPageXScroll(v, position); });
    }
    reloadButton_ = new QPushButton(QString::fromUtf8("CHR再読み込み"), page);
    reloadButton_->setObjectName(QStringLiteral("BtnMapEditReload"));
    reloadButton_->setGeometry(3, 418, 126, 25);
    QObject::connect(reloadButton_, &QPushButton::clicked, reloadButton_, [this] {
        if (context_.reloadCharacterData)
            context_.reloadCharacterData();
    });
}

void TMapEdit::BuildSelectedGroup(QWidget* page)
{
    auto* group = new QGroupBox(QString::fromUtf8("選択32x32チップ"), page);
    group->setObjectName(QStringLiteral("GroupBoxSelected32x32Chip"));
    group->setGeometry(135, 288, 219, 265);
    selectedView_ = MakeImageView(group, QStringLiteral("ImgSelected32x32Chip"), QRect(12, 24, 64, 64));
    MakeCaption("No:", group, 88, 24, 24);
    selectedIndex_ = MakeValueLabel(QStringLiteral("LblSelected32x32ChipIndex"), group, 114, 24, 40);

    // Each set of four stands as the quarters do: 0 top-left, 1 bottom-left, 2 top-right,
    // 3 bottom-right.
    MakeCaption("属性:", group, 12, 100, 100);
    MakeCaption("No(パレット):", group, 12, 172, 120);
    for (int q = 0; q < 4; ++q) {
        const int column = q / 2, row = q % 2;
        QLabel* attribute = MakeValueLabel(QStringLiteral("LblSelected32x32Chip16x16ChipProperty%1").arg(q), group,
                                           12 + 100 * column, 120 + 22 * row, 96);
        QLabel* entry = MakeValueLabel(QStringLiteral("LblSelected32x32Chip16x16Chip%1").arg(q), group,
                                       12 + 60 * column, 192 + 22 * row, 56);
        for (QLabel* label : {attribute, entry}) {
            label->setFixedHeight(18);
            label->setFrameShape(QFrame::Panel);
            label->setFrameShadow(QFrame::Sunken);
        }
        attributeLabels_[static_cast<std::size_t>(q)] = attribute;
        entryLabels_[static_cast<std::size_t>(q)] = entry;
    }
}

// ---- entry points ----

void TMapEdit::Open()
{
    const TGraphicManager& graphics = context_.graphics;
    pair_->GiveBitmaps(graphics);
    GiveDisplayBitmap(selectedView_, graphics, 64, 64);
    GiveDisplayBitmap(chipTable_, graphics, 512, 512);
    roomCopyBuffer_.fill(0);
    StageChanged();
}

void TMapEdit::StageChanged()
{
    hoverCell_ = {-1, -1};
    hoverChip_ = -1;
    selectedChip_ = 0;
    const TStageData& stage = context_.rom.CurrentStage();
    SetRooms(InitialViewRooms(stage.MidPoints(stage.DefaultStartPoint()).StartRoom()));
    // The chip page has rebuilt the sheets for this stage just before.
    sheets_.ApplyPalette(context_.graphics);
    DrawAll();
}

void TMapEdit::Refresh()
{
    sheets_.Rebuild(context_.graphics, context_.rom.CurrentStage().Chip32x32());
    DrawAll();
}

void TMapEdit::AnimationTick()
{
    sheets_.ApplyPalette(context_.graphics);
    DrawAll();
}

void TMapEdit::SelectChip(int chip)
{
    selectedChip_ = chip & 0xFF;
    if (context_.rom.IsLoaded())
        DrawSelectedChip();
}

void TMapEdit::ShowRoom(int room)
{
    SetRooms(InitialViewRooms(room));
    DrawView(0);
    DrawView(1);
}

void TMapEdit::SetRooms(TViewRooms rooms)
{
    rooms_ = rooms;
    pair_->SetLeft(rooms_.left);
}

// ---- drawing ----

void TMapEdit::DrawAll()
{
    DrawView(0);
    DrawView(1);
    DrawChipTable();
    DrawSelectedChip();
}

void TMapEdit::DrawView(int view)
{
    TImageView* control = pair_->View(view);
    const int room = Room(view);
    if (TNkDIB* bitmap = control->Bitmap(); bitmap && sheets_.Ready()) {
        context_.graphics.DrawRoom(*bitmap, *sheets_.chip32Sheet, context_.rom.CurrentStage().MapRoom(room));
        if (const int cell = hoverCell_[static_cast<std::size_t>(view)]; cell >= 0)
            context_.graphics.DrawCursorFrame(*bitmap, (cell / 8) * 32, (cell % 8) * 32, 32, 32);
        control->Redraw();
    }
    SetLabelText(pageLabels_[static_cast<std::size_t>(view)], Hex2Text(static_cast<unsigned>(room)));
    const TUpdatingGuard updating(updating_);
    pageBars_[static_cast<std::size_t>(view)]->setValue(room);
}

void TMapEdit::DrawChipTable()
{
    TNkDIB* bitmap = chipTable_->Bitmap();
    if (!bitmap || !sheets_.Ready())
        return;
    {
        TNkDIBCanvas canvas(*bitmap);
        canvas.CopyRect(0, 0, 512, 512, *sheets_.chip32Sheet, 0, 0, 512, 512);
    }
    if (hoverChip_ >= 0) {
        // Two pixels thick: one screen pixel at half size.
        const int x = (hoverChip_ % 16) * 32, y = (hoverChip_ / 16) * 32;
        context_.graphics.DrawCursorFrame(*bitmap, x, y, 32, 32);
        context_.graphics.DrawCursorFrame(*bitmap, x + 1, y + 1, 30, 30);
    }
    chipTable_->Redraw();
}

void TMapEdit::DrawSelectedChip()
{
    if (TNkDIB* bitmap = selectedView_->Bitmap(); bitmap && sheets_.Ready()) {
        const int x = (selectedChip_ % 16) * 32, y = (selectedChip_ / 16) * 32;
        {
            TNkDIBCanvas canvas(*bitmap);
            canvas.CopyRect(0, 0, 64, 64, *sheets_.chip32Sheet, x, y, x + 32, y + 32);
        }
        selectedView_->Redraw();
    }
    const TStageData& stage = context_.rom.CurrentStage();
    SetLabelText(selectedIndex_, Hex2Text(static_cast<unsigned>(selectedChip_)));
    for (int q = 0; q < 4; ++q)
        ShowChipQuarter(entryLabels_[static_cast<std::size_t>(q)], attributeLabels_[static_cast<std::size_t>(q)], stage,
                        selectedChip_, q, context_.chipAttributeNames);
}

void TMapEdit::RedrawAfterWrite(int view)
{
    DrawView(view);
    if (Room(1 - view) == Room(view))
        DrawView(1 - view);
}

// ---- events ----

void TMapEdit::ImgMapEditXMouseDown(int view, int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys)
{
    if (!context_.rom.IsLoaded())
        return;
    TStageData& stage = context_.rom.CurrentStage();
    const int room = Room(view);
    const int position = room * RoomSize;
    const bool shift = keys.testFlag(Qt::ShiftModifier), ctrl = keys.testFlag(Qt::ControlModifier);
    if (button == Qt::LeftButton) {
        bool changed = false;
        if (shift) {
            gridForm_.LoadRoom(room, stage.MapRoom(room));
            if (gridForm_.exec() == QDialog::Accepted)
                changed = stage.SetMapRoom(position, gridForm_.RoomData(), ukMapGrid);
        } else if (ctrl) {
            changed = stage.SetMapRoom(position, roomCopyBuffer_, ukMapPaste);
        } else if (const int cell = hoverCell_[static_cast<std::size_t>(view)]; cell >= 0) {
            changed = stage.SetMapChip(position + cell, static_cast<std::uint8_t>(selectedChip_));
        }
        if (changed)
            RedrawAfterWrite(view);
    } else if (button == Qt::RightButton) {
        if (ctrl) {
            std::ranges::copy(stage.MapRoom(room), roomCopyBuffer_.begin());
        } else if (const int cell = RoomCellAt(x, y, pair_->View(view)->width(),
                                               pair_->View(view)->height());
                   cell >= 0) {
            selectedChip_ = stage.MapRoom(room)[static_cast<std::size_t>(cell)];
            DrawSelectedChip();
        }
    }
}

void TMapEdit::ImgMapEditXMouseMove(int view, int x, int y)
{
    if (!context_.rom.IsLoaded())
        return;
    TImageView* control = pair_->View(view);
    const int cell = RoomCellAt(x, y, control->width(), control->height());
    int& hovered = hoverCell_[static_cast<std::size_t>(view)];
    if (cell < 0) { // dragged out of the view
        if (hovered >= 0)
            ImgMapEditXMouseLeave(view);
        return;
    }
    if (cell == hovered)
        return;
    hovered = cell;
    DrawView(view);
    const int room = Room(view);
    const std::uint8_t chip = context_.rom.CurrentStage().MapRoom(room)[static_cast<std::size_t>(cell)];
    context_.setStatus(1, QString::fromStdString(ChipTableStatusText(chip)));
    control->setToolTip(QString::fromStdString(RoomCellHint(room, cell, chip)));
}

void TMapEdit::ImgMapEditXMouseLeave(int view)
{
    if (!context_.rom.IsLoaded())
        return;
    hoverCell_[static_cast<std::size_t>(view)] = -1;
    DrawView(view);
    context_.setStatus(1, QString());
}

void TMapEdit::Img32x32ChipTableMouseDown(int x, int y, Qt::MouseButton button)
{
    if (!context_.rom.IsLoaded() || button != Qt::LeftButton)
        return;
    const int chip = MapChipTableAt(x, y, chipTable_->width(), chipTable_->height());
    if (chip >= 0)
        SelectChip(chip);
}

void TMapEdit::Img32x32ChipTableMouseMove(int x, int y)
{
    if (!context_.rom.IsLoaded())
        return;
    const int chip = MapChipTableAt(x, y, chipTable_->width(), chipTable_->height());
    if (chip < 0) {
        if (hoverChip_ >= 0)
            Img32x32ChipTableMouseLeave();
        return;
    }
    if (chip == hoverChip_)
        return;
    hoverChip_ = chip;
    DrawChipTable();
    context_.setStatus(1, QString::fromStdString(ChipTableStatusText(chip)));
    chipTable_->setToolTip(QString::fromStdString(ChipTableHint(chip)));
}

void TMapEdit::Img32x32ChipTableMouseLeave()
{
    if (!context_.rom.IsLoaded())
        return;
    hoverChip_ = -1;
    DrawChipTable();
    context_.setStatus(1, QString());
}

void TMapEdit::ScrollBarMapEditScroll(int left)
{
    if (updating_ || !context_.rom.IsLoaded())
        return;
    const TViewRooms moved = ScrollBothViews(rooms_, left);
    if (moved == rooms_)
        return;
    rooms_ = moved;
    DrawView(0);
    DrawView(1);
}

void TMapEdit::ScrollBarEditedMapPageXScroll(int view, int position)
{
    if (updating_ || !context_.rom.IsLoaded())
        return;
    const int room = ClampViewRoom(view, position);
    if (room == Room(view)) {
        // A position past the view's last room: the bar goes back to the room shown.
        {
            const TUpdatingGuard updating(updating_);
            pageBars_[static_cast<std::size_t>(view)]->setValue(room);
        }
        return;
    }
    Room(view) = room;
    if (view == 0)
        SetRooms(rooms_);
    DrawView(view);
}

} // namespace vx
