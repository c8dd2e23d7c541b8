#include "gui/app/StageOverviewWindow.h"

#include "core/base/Language.h"
#include "core/model/RomImage.h"
#include "core/model/Rooms.h"
#include "gui/app/EditNotice.h"
#include "gui/app/MainForm.h"
#include "gui/image/QImageConversion.h"
#include "gui/pages/Chip32x32Edit.h"
#include "gui/pages/MapEdit.h"
#include "gui/pages/ObjectEdit.h"
#include "gui/pages/ScrollEdit.h"
#include "render/StageSheetPicture.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

namespace vx {
namespace {

constexpr int Columns = 11;
constexpr int PictureWidth = Columns * RoomPixels;
constexpr int PictureHeight = ((RoomCount + Columns - 1) / Columns) * RoomPixels;

} // namespace

StageOverviewWindow::StageOverviewWindow(MainForm& main) : QDialog(&main), main_(main)
{
    setObjectName(QStringLiteral("StageOverviewWindow"));
    setWindowTitle(QString::fromStdString(localized("ステージ全体図", "Stage Overview")));
    resize(PictureWidth / 4, PictureHeight / 4);
    redrawTimer_ = new QTimer(this);
    redrawTimer_->setSingleShot(true);
    redrawTimer_->setInterval(16);
    connect(redrawTimer_, &QTimer::timeout, this, &StageOverviewWindow::redraw);
    // The rooms the page shows move with its bars and the page shown; a look ten times a
    // second costs nothing and needs no word from every page.
    followTimer_ = new QTimer(this);
    followTimer_->setInterval(100);
    connect(followTimer_, &QTimer::timeout, this, [this] {
        if (shownRooms() != marked_)
            update();
    });
    connect(main.stageSelector(), &QComboBox::currentIndexChanged, this, &StageOverviewWindow::redrawSoon);
    listenToEdits(main.rom(), this, [this] { redrawSoon(); });
}

void StageOverviewWindow::redrawSoon()
{
    if (isVisible() && !redrawTimer_->isActive())
        redrawTimer_->start();
}

void StageOverviewWindow::redraw()
{
    const RomImage& rom = main_.rom();
    const IndexedBitmap* sheet = main_.chip32x32Edit()->chip32Sheet();
    if (!rom.isLoaded() || !sheet)
        return;
    const SheetPictureOptions options{Columns, false, true, true, true};
    picture_ = drawStageSheetPicture(main_.graphics(), rom.currentStage(), *sheet, options);
    toQImage(*picture_, shown_, PictureWidth / reduction_, PictureHeight / reduction_);
    update();
}

void StageOverviewWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    followTimer_->start();
    redraw();
}

void StageOverviewWindow::hideEvent(QHideEvent* event)
{
    followTimer_->stop(); // nothing to follow while it is not shown
    QDialog::hideEvent(event);
}

void StageOverviewWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The smallest whole reduction that fits, never an enlargement past full size.
    const int across = (PictureWidth + std::max(1, width()) - 1) / std::max(1, width());
    const int down = (PictureHeight + std::max(1, height()) - 1) / std::max(1, height());
    const int reduction = std::clamp(std::max(across, down), 1, 16);
    if (reduction != reduction_) {
        reduction_ = reduction;
        if (picture_)
            toQImage(*picture_, shown_, PictureWidth / reduction_, PictureHeight / reduction_);
    }
}

std::pair<int, int> StageOverviewWindow::shownRooms() const
{
    switch (main_.pages()->currentIndex()) {
    case pgMapEdit: return {main_.mapEdit()->viewRoom(0), main_.mapEdit()->viewRoom(1)};
    case pgObjectEdit: return {main_.objectEdit()->shownRoom(0), main_.objectEdit()->shownRoom(1)};
    case pgScrollEdit: return {main_.scrollEdit()->viewRoom(0), main_.scrollEdit()->viewRoom(1)};
    default: return {-1, -1};
    }
}

void StageOverviewWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(0, 0, shown_);
    marked_ = shownRooms();
    const int side = RoomPixels / reduction_;
    painter.setPen(QPen(QColor(255, 0, 255), 2));
    for (const int room : {marked_.first, marked_.second})
        if (room >= 0 && room < RoomCount)
            painter.drawRect((room % Columns) * side + 1, (room / Columns) * side + 1, side - 2, side - 2);
}

void StageOverviewWindow::mousePressEvent(QMouseEvent* event)
{
    const int side = RoomPixels / reduction_;
    const QPoint at = event->position().toPoint();
    const int column = at.x() / side, row = at.y() / side;
    if (at.x() < 0 || at.y() < 0 || column >= Columns)
        return;
    if (const int room = row * Columns + column; room < RoomCount)
        showRoomOnPage(room);
}

void StageOverviewWindow::showRoomOnPage(int room)
{
    // The clicked room goes to the left view on each page with two.
    switch (main_.pages()->currentIndex()) {
    case pgObjectEdit: main_.objectEdit()->showRoomAtLeft(room); break;
    case pgScrollEdit: main_.scrollEdit()->showRoom(room); break;
    default:
        main_.pages()->setCurrentIndex(pgMapEdit);
        main_.mapEdit()->showRoom(room);
        break;
    }
    update();
}

void showStageOverviewWindow(MainForm& main)
{
    if (!main.rom().isLoaded())
        return;
    auto* window = main.findChild<StageOverviewWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new StageOverviewWindow(main);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace vx
