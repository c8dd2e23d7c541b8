#include "gui/pages/RestartPointEdit.h"

#include "core/model/RestartPoint.h"
#include "core/model/RomImage.h"
#include "core/model/Rooms.h"
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

void RestartPointEdit::bindControls(QWidget* page)
{
    view_ = makeImageView(page, QStringLiteral("ImgMidPointStartRoom"), QRect(194, 3, RoomPixels, RoomPixels));
    view_->setFollowsZoom(true);
    // One cell, the room: Up and Down move the landing marker a row as the arrow buttons do.
    view_->setCellGrid(QSize(RoomPixels, RoomPixels), 1, 1);
    view_->describeCell = [this](QPoint) {
        return context_.rom.isLoaded()
            ? QString::fromStdString(localized("着地Y座標 ", "Start Y ")) + hex2Text(currentPoint().startY)
            : QString();
    };
    QObject::connect(view_, &ImageView::cursorPastEdge, view_,
                     [this](int, int rows, Qt::KeyboardModifiers) { onStartYStepped(-rows); });
    roomBar_ = makeRoomScrollBar(QStringLiteral("ScrollBarMidPointStartRoom"), page, 194, 260, 256, LastRoom);
    roomBar_->setAccessibleName(captionOf("復帰部屋番号", "Start Room")); // its caption stands below it
    QObject::connect(roomBar_, &QScrollBar::valueChanged, roomBar_,
                     [this](int position) { onStartRoomBarMoved(position); });
    makeCaption(captionOf("復帰部屋番号:", "Start Room:"), page, 267, 282, 80);
    roomLabel_ = makeValueLabel(QStringLiteral("LblMidPointStartRoom"), page, 349, 282, 40);

    auto* pointGroup = new QGroupBox(captionOf("復帰地点データの選択", "Restart Point"), page);
    pointGroup->setObjectName(QStringLiteral("GroupBoxMidPointSelect"));
    pointGroup->setGeometry(3, 304, 190, 70);
    pointCombo_ = new QComboBox(pointGroup);
    pointCombo_->setObjectName(QStringLiteral("ComboBoxMidPointSelect"));
    pointCombo_->setGeometry(12, 28, 166, 22);
    QObject::connect(pointCombo_, &QComboBox::currentIndexChanged, pointCombo_,
                     [this](int index) { onPointChosen(index); });

    auto* yGroup = new QGroupBox(captionOf("着地Y座標", "Start Y"), page);
    yGroup->setObjectName(QStringLiteral("GroupBoxMidPointStartY"));
    yGroup->setGeometry(104, 88, 76, 113);
    yArrows_ = new UpDown(yGroup);
    yArrows_->setObjectName(QStringLiteral("UpDownMidPointStartY"));
    yArrows_->setGeometry(28, 22, 20, 44);
    QObject::connect(yArrows_, &UpDown::stepRequested, yArrows_, [this](int direction) { onStartYStepped(direction); });
    makeCaption(captionOf("Y座標:", "Y:"), yGroup, 8, 80, 36);
    yLabel_ = makeValueLabel(QStringLiteral("LblMidPointStartY"), yGroup, 46, 80, 26);

    allRecalcButton_ = new QPushButton(captionOf("まとめて値を自動計算(&A)", "&Auto-Calculate All"), page);
    allRecalcButton_->setObjectName(QStringLiteral("BtnMidPointAllRecalc"));
    // Wider than first laid out, centred where it was, for its access letter.
    allRecalcButton_->setGeometry(26, 400, 152, 25);
    QObject::connect(allRecalcButton_, &QPushButton::clicked, allRecalcButton_, [this] { recalculateAllPoints(); });
    buildDataGroup(page);
}

void RestartPointEdit::buildDataGroup(QWidget* page)
{
    auto* group = new QGroupBox(captionOf("復帰地点データ", "Restart Point Data"), page);
    group->setObjectName(QStringLiteral("GroupBoxMidPointData"));
    group->setGeometry(199, 304, 410, 257);
    static const char* const captions[RestartPointFieldCount][2] = {
        {"着地Y座標:", "Start Y:"},
        {"復帰部屋番号:", "Start Room:"},
        {"最初の敵番号:", "First Enemy:"},
        {"最初のアイテム番号:", "First Item:"},
        {"左進行時マップ読み込みアドレス:", "Map Address Going Left:"},
        {"右進行時マップ読み込みアドレス:", "Map Address Going Right:"},
        {"スクロール番号:", "Scroll No:"},
        {"左端部屋番号:", "Left End Room:"},
        {"右端部屋番号:", "Right End Room:"}};
    static const char* const names[RestartPointFieldCount] = {
        "EditMidPointStartY",      "EditMidPointStartRoom",   "EditMidPointEnemyIndex",
        "EditMidPointItemIndex",   "EditMidPointMapBackAddr", "EditMidPointMapForwardAddr",
        "EditMidPointStartScroll", "EditMidPointLeftRoom",    "EditMidPointRightRoom"};
    for (int field = 0; field < RestartPointFieldCount; ++field) {
        const int y = 24 + 24 * field;
        makeCaption(captionOf(captions[field][0], captions[field][1]), group, 12, y + 3, 200);
        QLineEdit* box = makeHexBox(QString::fromLatin1(names[field]), group, 214, y,
                                    restartPointFieldLength(field) == 4 ? 44 : 28, 22);
        box->setMaxLength(restartPointFieldLength(field));
        boxes_[static_cast<std::size_t>(field)] = box;
        QObject::connect(box, &QLineEdit::textChanged, box, [this, field] { onFieldTyped(field); });
    }
    recalcButton_ = new QPushButton(captionOf("値を自動計算(&C)", "Auto-&Calculate"), group);
    recalcButton_->setObjectName(QStringLiteral("BtnMidPointRecalc"));
    recalcButton_->setGeometry(290, 24, 108, 25);
    QObject::connect(recalcButton_, &QPushButton::clicked, recalcButton_, [this] { recalculatePoint(); });
}

// ---- entry points ----

void RestartPointEdit::open()
{
    giveDisplayBitmap(view_, context_.graphics, RoomPixels, RoomPixels);
    stageChanged();
}

void RestartPointEdit::stageChanged()
{
    const StageData& stage = context_.rom.currentStage();
    selected_ = stage.defaultStartPoint();
    {
        const UpdatingGuard updating(updating_);
        pointCombo_->clear();
        for (int n = 0; n < RestartPointCount; ++n)
            pointCombo_->addItem(QString::fromStdString(restartPointItemText(n, n == selected_)));
        pointCombo_->setCurrentIndex(selected_);
    }
    showStartRoomBar();
    draw();
    fillBoxes();
}

void RestartPointEdit::refresh()
{
    sheets_.rebuild(context_.graphics, context_.rom.currentStage().chip32x32());
    draw();
    fillBoxes();
}

void RestartPointEdit::animationTick()
{
    sheets_.applyPalette(context_.graphics);
    draw();
}

void RestartPointEdit::selectPoint(int point)
{
    pointCombo_->setCurrentIndex(std::clamp(point, 0, RestartPointCount - 1));
    pointCombo_->setFocus();
}

// ---- drawing ----

const RestartPoint& RestartPointEdit::currentPoint() const { return stage().restartPoints(selected_); }

StageData& RestartPointEdit::stage() const { return context_.rom.currentStage(); }

void RestartPointEdit::draw()
{
    const RestartPoint& point = currentPoint();
    if (IndexedBitmap* bitmap = view_->bitmap(); bitmap && sheets_.ready()) {
        const int room = std::min<int>(point.startRoom(), LastRoom);
        context_.graphics.drawRoom(*bitmap, *sheets_.chip32Sheet, context_.rom.currentStage().mapRoom(room));
        drawLandingMarker(context_.graphics, *bitmap, point);
        view_->redraw();
    }
    view_->announceName(captionOf("復帰地点の部屋 ", "Restart point room ") + hex2Text(point.startRoom()));
    view_->describeCursor();
    setLabelText(roomLabel_, hex2Text(point.startRoom()));
    setLabelText(yLabel_, hex2Text(point.startY));
}

void RestartPointEdit::fillBoxes()
{
    const RestartPoint& point = currentPoint();
    const UpdatingGuard updating(updating_);
    for (int field = 0; field < RestartPointFieldCount; ++field)
        boxes_[static_cast<std::size_t>(field)]->setText(QString::fromStdString(restartPointFieldText(point, field)));
}

void RestartPointEdit::showStartRoomBar()
{
    const UpdatingGuard updating(updating_);
    roomBar_->setValue(currentPoint().startRoom());
}

// ---- events ----

void RestartPointEdit::onPointChosen(int index)
{
    if (updating_ || !context_.rom.isLoaded() || index < 0 || index >= RestartPointCount || index == selected_)
        return;
    selected_ = index;
    showStartRoomBar();
    draw();
    fillBoxes();
}

void RestartPointEdit::onStartRoomBarMoved(int position)
{
    if (updating_ || !context_.rom.isLoaded() || position == currentPoint().startRoom())
        return;
    stage().setRestartPointStartRoom(selected_, static_cast<std::uint8_t>(std::clamp(position, 0, LastRoom)));
    draw();
    fillBoxes();
}

void RestartPointEdit::onStartYStepped(int direction)
{
    if (!context_.rom.isLoaded())
        return;
    if (!stage().setRestartPointField(selected_, mfStartY, stepStartY(currentPoint().startY, direction > 0)))
        return;
    draw();
    fillBoxes();
}

void RestartPointEdit::onFieldTyped(int field)
{
    QLineEdit* box = boxes_[static_cast<std::size_t>(field)];
    if (updating_ || !context_.rom.isLoaded() || box->text().size() < box->maxLength())
        return;
    if (const auto value = restartPointFieldInput(currentPoint(), field, box->text().toStdString())) {
        stage().setRestartPointField(selected_, field, *value);
        if (field == mfStartRoom)
            showStartRoomBar();
    }
    // Accepted or not, the boxes show what is stored.
    draw();
    fillBoxes();
}

void RestartPointEdit::recalculatePoint()
{
    if (!context_.rom.isLoaded())
        return;
    stage().recalcRestartPoint(selected_);
    draw();
    fillBoxes();
}

void RestartPointEdit::recalculateAllPoints()
{
    if (!context_.rom.isLoaded())
        return;
    stage().recalcRestartPoints(); // the six points as one step
    draw();
    fillBoxes();
}

} // namespace vx
