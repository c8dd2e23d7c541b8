#include "gui/pages/MidPointEdit.h"

#include "core/MidPoint.h"
#include "core/RomImgManager.h"
#include "core/Rooms.h"
#include "gui/widgets/HexBox.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/PageControls.h"
#include "gui/widgets/UpDown.h"
#include "gui/widgets/UpdatingGuard.h"
#include "render/GraphicManager.h"
#include "render/RoomOverlay.h"
#include "render/WorkingSheets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

namespace vx {

// ---- controls ----

void TMidPointEdit::BindControls(QWidget* page)
{
    view_ = MakeImageView(page, QStringLiteral("ImgMidPointStartRoom"), QRect(194, 3, RoomPixels, RoomPixels));
    roomBar_ = MakeRoomScrollBar(QStringLiteral("ScrollBarMidPointStartRoom"), page, 194, 260, 256, LastRoom);
    QObject::connect(roomBar_, &QScrollBar::valueChanged, roomBar_,
                     [this](int position) { ScrollBarMidPointStartRoomScroll(position); });
    MakeCaption("復帰部屋番号:", page, 267, 282, 80);
    roomLabel_ = MakeValueLabel(QStringLiteral("LblMidPointStartRoom"), page, 349, 282, 40);

    auto* pointGroup = new QGroupBox(QString::fromUtf8("復帰地点データの選択"), page);
    pointGroup->setObjectName(QStringLiteral("GroupBoxMidPointSelect"));
    pointGroup->setGeometry(3, 304, 190, 70);
    pointCombo_ = new QComboBox(pointGroup);
    pointCombo_->setObjectName(QStringLiteral("ComboBoxMidPointSelect"));
    pointCombo_->setGeometry(12, 28, 166, 22);
    QObject::connect(pointCombo_, &QComboBox::currentIndexChanged, pointCombo_,
                     [this](int index) { ComboBoxMidPointSelectChange(index); });

    auto* yGroup = new QGroupBox(QString::fromUtf8("着地Y座標"), page);
    yGroup->setObjectName(QStringLiteral("GroupBoxMidPointStartY"));
    yGroup->setGeometry(104, 88, 76, 113);
    yArrows_ = new TUpDown(yGroup);
    yArrows_->setObjectName(QStringLiteral("UpDownMidPointStartY"));
    yArrows_->setGeometry(28, 22, 20, 44);
    QObject::connect(yArrows_, &TUpDown::stepRequested, yArrows_,
                     [this](int direction) { UpDownMidPointStartYChangingEx(direction); });
    MakeCaption("Y座標:", yGroup, 8, 80, 36);
    yLabel_ = MakeValueLabel(QStringLiteral("LblMidPointStartY"), yGroup, 46, 80, 26);

    allRecalcButton_ = new QPushButton(QString::fromUtf8("まとめて値を自動計算"), page);
    allRecalcButton_->setObjectName(QStringLiteral("BtnMidPointAllRecalc"));
    allRecalcButton_->setGeometry(39, 400, 126, 25);
    QObject::connect(allRecalcButton_, &QPushButton::clicked, allRecalcButton_, [this] { BtnMidPointAllRecalcClick(); });
    BuildDataGroup(page);
}

void TMidPointEdit::BuildDataGroup(QWidget* page)
{
    auto* group = new QGroupBox(QString::fromUtf8("復帰地点データ"), page);
    group->setObjectName(QStringLiteral("GroupBoxMidPointData"));
    group->setGeometry(199, 304, 410, 257);
    static const char* const captions[MidPointFieldCount] = {
        "着地Y座標:", "復帰部屋番号:", "最初の敵番号:", "最初のアイテム番号:", "左進行時マップ読み込みアドレス:",
        "右進行時マップ読み込みアドレス:", "スクロール番号:", "左端部屋番号:", "右端部屋番号:"};
    static const char* const names[MidPointFieldCount] = {
        "EditMidPointStartY",      "EditMidPointStartRoom",      "EditMidPointEnemyIndex",
        "EditMidPointItemIndex",   "EditMidPointMapBackAddr",    "EditMidPointMapForwardAddr",
        "EditMidPointStartScroll", "EditMidPointLeftRoom",       "EditMidPointRightRoom"};
    for (int field = 0; field < MidPointFieldCount; ++field) {
        const int y = 24 + 24 * field;
        MakeCaption(captions[field], group, 12, y + 3, 200);
        QLineEdit* box = MakeHexBox(QString::fromLatin1(names[field]), group, 214, y,
                                    MidPointFieldLength(field) == 4 ? 44 : 28, 22);
        box->setMaxLength(MidPointFieldLength(field));
        boxes_[static_cast<std::size_t>(field)] = box;
        QObject::connect(box, &QLineEdit::textChanged, box, [this, field] { EditMidPointDataChange(field); });
    }
    recalcButton_ = new QPushButton(QString::fromUtf8("値を自動計算"), group);
    recalcButton_->setObjectName(QStringLiteral("BtnMidPointRecalc"));
    recalcButton_->setGeometry(290, 24, 108, 25);
    QObject::connect(recalcButton_, &QPushButton::clicked, recalcButton_, [this] { BtnMidPointRecalcClick(); });
}

// ---- entry points ----

void TMidPointEdit::Open()
{
    GiveDisplayBitmap(view_, context_.graphics, RoomPixels, RoomPixels);
    StageChanged();
}

void TMidPointEdit::StageChanged()
{
    const TStageData& stage = context_.rom.CurrentStage();
    selected_ = stage.DefaultStartPoint();
    {
        const TUpdatingGuard updating(updating_);
        pointCombo_->clear();
        for (int n = 0; n < MidPointCount; ++n)
            pointCombo_->addItem(QString::fromStdString(MidPointItemText(n, n == selected_)));
        pointCombo_->setCurrentIndex(selected_);
    }
    ShowStartRoomBar();
    Draw();
    FillBoxes();
}

void TMidPointEdit::Refresh()
{
    sheets_.Rebuild(context_.graphics, context_.rom.CurrentStage().Chip32x32());
    Draw();
    FillBoxes();
}

void TMidPointEdit::AnimationTick()
{
    sheets_.ApplyPalette(context_.graphics);
    Draw();
}

void TMidPointEdit::SelectPoint(int point)
{
    pointCombo_->setCurrentIndex(std::clamp(point, 0, MidPointCount - 1));
    pointCombo_->setFocus();
}

// ---- drawing ----

TMidPoint& TMidPointEdit::Point() const { return context_.rom.CurrentStage().MidPoints(selected_); }

void TMidPointEdit::Draw()
{
    const TMidPoint& point = Point();
    if (TNkDIB* bitmap = view_->Bitmap(); bitmap && sheets_.Ready()) {
        const int room = std::min<int>(point.StartRoom(), LastRoom);
        context_.graphics.DrawRoom(*bitmap, *sheets_.chip32Sheet,
                                   context_.rom.CurrentStage().MapRoom(room));
        DrawLandingMarker(context_.graphics, *bitmap, point);
        view_->Redraw();
    }
    SetLabelText(roomLabel_, Hex2Text(point.StartRoom()));
    SetLabelText(yLabel_, Hex2Text(point.StartY));
}

void TMidPointEdit::FillBoxes()
{
    const TMidPoint& point = Point();
    const TUpdatingGuard updating(updating_);
    for (int field = 0; field < MidPointFieldCount; ++field)
        boxes_[static_cast<std::size_t>(field)]->setText(QString::fromStdString(MidPointFieldText(point, field)));
}

void TMidPointEdit::ShowStartRoomBar()
{
    const TUpdatingGuard updating(updating_);
    roomBar_->setValue(Point().StartRoom());
}

void TMidPointEdit::MarkEdited() { context_.rom.CurrentStage().MarkEdited(efMidPoint); }

// ---- events ----

void TMidPointEdit::ComboBoxMidPointSelectChange(int index)
{
    if (updating_ || !context_.rom.IsLoaded() || index < 0 || index >= MidPointCount || index == selected_)
        return;
    selected_ = index;
    ShowStartRoomBar();
    Draw();
    FillBoxes();
}

void TMidPointEdit::ScrollBarMidPointStartRoomScroll(int position)
{
    if (updating_ || !context_.rom.IsLoaded() || position == Point().StartRoom())
        return;
    Point().SetStartRoom(static_cast<std::uint8_t>(std::clamp(position, 0, LastRoom)));
    MarkEdited();
    Draw();
    FillBoxes();
}

void TMidPointEdit::UpDownMidPointStartYChangingEx(int direction)
{
    if (!context_.rom.IsLoaded())
        return;
    TMidPoint& point = Point();
    const std::uint8_t y = StepStartY(point.StartY, direction > 0);
    if (y == point.StartY)
        return;
    point.StartY = y;
    MarkEdited();
    Draw();
    FillBoxes();
}

void TMidPointEdit::EditMidPointDataChange(int field)
{
    QLineEdit* box = boxes_[static_cast<std::size_t>(field)];
    if (updating_ || !context_.rom.IsLoaded() || box->text().size() < box->maxLength())
        return;
    TMidPoint& point = Point();
    if (const auto value = MidPointFieldInput(point, field, box->text().toStdString())) {
        SetMidPointField(point, field, *value);
        MarkEdited();
        if (field == mfStartRoom)
            ShowStartRoomBar();
    }
    // Accepted or not, the boxes show what is stored.
    Draw();
    FillBoxes();
}

void TMidPointEdit::BtnMidPointRecalcClick()
{
    if (!context_.rom.IsLoaded())
        return;
    if (RecalcMidPoint(Point()))
        MarkEdited();
    Draw();
    FillBoxes();
}

void TMidPointEdit::BtnMidPointAllRecalcClick()
{
    if (!context_.rom.IsLoaded())
        return;
    // The six points are one step of the history.
    context_.rom.CurrentStage().BeginGesture();
    for (int n = 0; n < MidPointCount; ++n)
        if (RecalcMidPoint(context_.rom.CurrentStage().MidPoints(n)))
            MarkEdited();
    context_.rom.CurrentStage().EndGesture();
    Draw();
    FillBoxes();
}

} // namespace vx
