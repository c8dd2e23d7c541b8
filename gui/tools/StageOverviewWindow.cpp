#include "gui/tools/StageOverviewWindow.h"

#include "core/base/Language.h"
#include "core/model/RomImage.h"
#include "core/model/Rooms.h"
#include "gui/image/QImageConversion.h"
#include "gui/pages/EditorUnit.h"
#include "gui/pages/PageNavigator.h"
#include "render/StageSheetPicture.h"
#include "render/WorkingSheets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

namespace vx {
namespace {

constexpr int Columns = 11;
constexpr int PictureWidth = Columns * RoomPixels;
constexpr int PictureHeight = ((RoomCount + Columns - 1) / Columns) * RoomPixels;

} // namespace

StageOverviewWindow::StageOverviewWindow(PageNavigator& pages, const EditorContext& context,
                                         const WorkingSheets& sheets)
    : QDialog(pages.editorWindow()), pages_(pages), rom_(context.rom), graphics_(context.graphics), sheets_(sheets)
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
        if (pages_.shownRooms() != marked_)
            update();
    });
    pages.listen(this, [this](PageNavigator::Change change) {
        if (change == PageNavigator::Change::ImageClosed)
            hide(); // it shows an image that is gone
        else if (change == PageNavigator::Change::StageShown || change == PageNavigator::Change::Edited)
            redrawSoon();
    });
}

void StageOverviewWindow::redrawSoon()
{
    if (isVisible() && !redrawTimer_->isActive())
        redrawTimer_->start();
}

void StageOverviewWindow::redraw()
{
    const RomImage& rom = rom_;
    const IndexedBitmap* sheet = sheets_.chip32Sheet.get();
    if (!rom.isLoaded() || !sheet)
        return;
    const SheetPictureOptions options{Columns, false, true, true, true};
    picture_ = drawStageSheetPicture(graphics_, rom.currentStage(), *sheet, options);
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

void StageOverviewWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(0, 0, shown_);
    marked_ = pages_.shownRooms();
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
    // The clicked room goes to the left view on each page with two; pages without rooms go to the map.
    const int shown = pages_.shownPage();
    pages_.showRoom(shown == pgObjectEdit || shown == pgScrollEdit ? shown : pgMapEdit, room, true);
    update();
}

void StageOverviewWindow::showInFront()
{
    show();
    raise();
    activateWindow();
}

} // namespace vx
