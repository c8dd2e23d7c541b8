#include "gui/pages/MapEdit.h"

#include "core/base/Language.h"
#include "core/model/RomImage.h"
#include "gui/pages/MapGridDialog.h"
#include "gui/pages/Prompts.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/PageControls.h"
#include "gui/widgets/RoomViewPair.h"
#include "gui/widgets/UpdatingGuard.h"
#include "render/GraphicManager.h"
#include "render/WorkingSheets.h"
#include "rules/ChipRules.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <utility>

namespace vx {
// ---- controls ----

void MapEdit::bindControls(QWidget* page)
{
    buildViews(page);
    buildRoomGroup(page);
    buildSelectedGroup(page);
}

void MapEdit::buildViews(QWidget* page)
{
    const auto loaded = [this] { return context_.rom.isLoaded(); };
    for (int v = 0; v < 2; ++v)
        roomHover_[static_cast<std::size_t>(v)] =
            HoverCell(loaded, [this, v](int cell) { onRoomCellHovered(v, cell); });
    const auto handlers = [this](int v) {
        HoverCell& hover = roomHover_[static_cast<std::size_t>(v)];
        return ViewHandlers{.pressed = [this, v](int x, int y, Qt::MouseButton button,
                                                 Qt::KeyboardModifiers keys) { onRoomPressed(v, x, y, button, keys); },
                            .moved =
                                [this, v, &hover](int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers) {
                                    const ImageView* control = pair_->view(v);
                                    hover.moveTo(roomCellAt(x, y, control->unzoomedWidth(), control->unzoomedHeight()));
                                    onRoomMoved(v, x, y, buttons);
                                },
                            .left = [&hover] { hover.leave(); }};
    };
    pair_ = std::make_unique<RoomViewPair>(page, QStringLiteral("ImgMapEdit"), QStringLiteral("ScrollBarMapEdit"),
                                           handlers, [this](int left) { onBothRoomsBarMoved(left); });
    for (int v = 0; v < 2; ++v) {
        ImageView* view = pair_->view(v);
        QObject::connect(view, &ImageView::mouseReleased, view,
                         [this](int, int, Qt::MouseButton button, Qt::KeyboardModifiers) { onRoomReleased(button); });
        view->setCellGrid(QSize(32, 32), 8, 8);
        view->setShiftDrags(true);
        view->describeCell = [this, v](QPoint cell) {
            if (!context_.rom.isLoaded())
                return QString();
            return chipWord(
                context_.rom.currentStage().mapRoom(roomOfView(v))[static_cast<std::size_t>(cell.x() * 8 + cell.y())]);
        };
        QObject::connect(view, &ImageView::cursorPastEdge, view,
                         [this, v](int columns, int, Qt::KeyboardModifiers) { carryCursor(v, columns); });
    }
    // The page's keys, while it is shown.
    const auto key = [page](const QKeySequence& sequence, const std::function<void()>& action) {
        auto* shortcut = new QShortcut(sequence, page);
        QObject::connect(shortcut, &QShortcut::activated, page, action);
    };
    key(QKeySequence(Qt::Key_Escape), [this] { dropStamp(); });
    key(QKeySequence::Copy, [this] { copyStamp(); });
    key(QKeySequence::Paste, [this] { pasteStamp(); });

    chipHover_ = HoverCell(loaded, [this](int chip) {
        drawChipTable();
        context_.setStatus(1, chip < 0 ? QString() : QString::fromStdString(chipTableStatusText(chip)));
        if (chip >= 0)
            chipTable_->setToolTip(QString::fromStdString(chipTableHint(chip)));
    });
    // A 512x512 bitmap at half size.
    chipTable_ = makeImageView(
        page, QStringLiteral("Img32x32ChipTable"), QRect(360, 296, 256, 256),
        {.pressed = [this](int x, int y, Qt::MouseButton button,
                           Qt::KeyboardModifiers) { onChipTablePressed(x, y, button); },
         .moved =
             [this](int x, int y, Qt::MouseButtons, Qt::KeyboardModifiers) {
                 chipHover_.moveTo(mapChipTableAt(x, y, chipTable_->unzoomedWidth(), chipTable_->unzoomedHeight()));
             },
         .left = [this] { chipHover_.leave(); }});
    chipTable_->setFollowsZoom(true);
    chipTable_->setCellGrid(QSize(16, 16), 16, 16);
    chipTable_->announceName(captionOf("32x32チップ表", "32x32 chip table"));
    chipTable_->describeCell = [](QPoint cell) { return chipWord(cell.y() * 16 + cell.x()); };
}

QString MapEdit::chipWord(int chip)
{
    return QString::fromStdString(localized("チップ ", "chip ")) + hex2Text(static_cast<unsigned>(chip & 0xFF));
}

void MapEdit::carryCursor(int view, int columns)
{
    if (columns == 0 || !context_.rom.isLoaded())
        return;
    const int row = pair_->view(view)->cursorCell().y();
    const bool across = (view == 0) == (columns > 0);
    if (!across) // on into the next or previous room: the views and the bar move by one
        pair_->bar()->setValue(pair_->bar()->value() + columns);
    ImageView* to = pair_->view(across ? 1 - view : view);
    to->setCursorCell(QPoint(columns > 0 ? 0 : 7, row));
    to->setFocus(Qt::TabFocusReason);
}

void MapEdit::buildRoomGroup(QWidget* page)
{
    auto* group = new QGroupBox(captionOf("編集部屋番号", "Edited Rooms"), page);
    group->setObjectName(QStringLiteral("GroupBoxEditedMapPage"));
    group->setGeometry(3, 288, 126, 124);
    for (int v = 0; v < 2; ++v) {
        const int top = 24 + 48 * v;
        makeCaption(QStringLiteral("Page%1:").arg(v), group, 10, top, 44);
        pageLabels_[static_cast<std::size_t>(v)] =
            makeValueLabel(QStringLiteral("LblEditedMapPage%1").arg(v), group, 56, top, 40);
        QScrollBar* bar =
            makeRoomScrollBar(QStringLiteral("ScrollBarEditedMapPage%1").arg(v), group, 10, top + 20, 106, LastRoom);
        pageBars_[static_cast<std::size_t>(v)] = bar;
        QObject::connect(bar, &QScrollBar::valueChanged, bar, [this, v](int position) { onRoomBarMoved(v, position); });
    }
    reloadButton_ = new QPushButton(captionOf("CH&R再読み込み", "&Reload CHR"), page);
    reloadButton_->setObjectName(QStringLiteral("BtnMapEditReload"));
    reloadButton_->setGeometry(3, 418, 126, 25);
    QObject::connect(reloadButton_, &QPushButton::clicked, reloadButton_, [this] {
        if (context_.reloadCharacterData)
            context_.reloadCharacterData();
    });
}

void MapEdit::buildSelectedGroup(QWidget* page)
{
    auto* group = new QGroupBox(captionOf("選択32x32チップ", "Selected 32x32 Chip"), page);
    group->setObjectName(QStringLiteral("GroupBoxSelected32x32Chip"));
    group->setGeometry(135, 288, 219, 265);
    selectedView_ = makeImageView(group, QStringLiteral("ImgSelected32x32Chip"), QRect(12, 24, 64, 64));
    makeCaption(QStringLiteral("No:"), group, 88, 24, 24);
    selectedIndex_ = makeValueLabel(QStringLiteral("LblSelected32x32ChipIndex"), group, 114, 24, 40);

    // Each set of four stands as the quarters do: 0 top-left, 1 bottom-left, 2 top-right,
    // 3 bottom-right.
    makeCaption(captionOf("属性:", "Attributes:"), group, 12, 100, 100);
    makeCaption(captionOf("No(パレット):", "No (Palette):"), group, 12, 172, 120);
    for (int q = 0; q < 4; ++q) {
        const int column = q / 2, row = q % 2;
        QLabel* attribute = makeValueLabel(QStringLiteral("LblSelected32x32Chip16x16ChipProperty%1").arg(q), group,
                                           12 + 100 * column, 120 + 22 * row, 96);
        QLabel* entry = makeValueLabel(QStringLiteral("LblSelected32x32Chip16x16Chip%1").arg(q), group,
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

void MapEdit::open()
{
    const GraphicManager& graphics = context_.graphics;
    pair_->giveBitmaps(graphics);
    giveDisplayBitmap(selectedView_, graphics, 64, 64);
    giveDisplayBitmap(chipTable_, graphics, 512, 512);
    roomCopyBuffer_.fill(0);
    stageChanged();
}

void MapEdit::stageChanged()
{
    endStampStroke();
    markedCell_ = -1;
    for (HoverCell* hover : {&roomHover_[0], &roomHover_[1], &chipHover_})
        hover->forget();
    selectedChip_ = 0;
    const StageData& stage = context_.rom.currentStage();
    setRooms(initialViewRooms(stage.restartPoints(stage.defaultStartPoint()).startRoom()));
    // The chip page has rebuilt the sheets for this stage just before.
    sheets_.applyPalette(context_.graphics);
    drawAll();
}

void MapEdit::refresh()
{
    sheets_.rebuild(context_.graphics, context_.rom.currentStage().chip32x32());
    drawAll();
}

void MapEdit::animationTick()
{
    sheets_.applyPalette(context_.graphics);
    drawAll();
}

void MapEdit::selectChip(int chip)
{
    selectedChip_ = chip & 0xFF;
    dropStamp();
    if (context_.rom.isLoaded())
        drawSelectedChip();
}

void MapEdit::showRoom(int room)
{
    setRooms(initialViewRooms(room));
    drawView(0);
    drawView(1);
}

void MapEdit::setRooms(ViewRooms rooms)
{
    rooms_ = rooms;
    pair_->setLeft(rooms_.left);
}

// ---- drawing ----

void MapEdit::drawAll()
{
    drawView(0);
    drawView(1);
    drawChipTable();
    drawSelectedChip();
}

void MapEdit::drawView(int view)
{
    ImageView* control = pair_->view(view);
    const int room = roomOfView(view);
    if (IndexedBitmap* bitmap = control->bitmap(); bitmap && sheets_.ready()) {
        context_.graphics.drawRoom(*bitmap, *sheets_.chip32Sheet, context_.rom.currentStage().mapRoom(room));
        drawMarks(view, *bitmap);
        if (stamp_ || captureTo_)
            drawStampFrame(view, *bitmap);
        else if (const int cell = roomHover_[static_cast<std::size_t>(view)].cell(); cell >= 0)
            context_.graphics.drawCursorFrame(*bitmap, (cell / 8) * 32, (cell % 8) * 32, 32, 32);
        control->redraw();
    }
    setLabelText(pageLabels_[static_cast<std::size_t>(view)], hex2Text(static_cast<unsigned>(room)));
    pair_->nameView(view, captionOf("マップ", "Map"), room);
    control->describeCursor();
    const UpdatingGuard updating(updating_);
    pageBars_[static_cast<std::size_t>(view)]->setValue(room);
}

void MapEdit::drawChipTable()
{
    IndexedBitmap* bitmap = chipTable_->bitmap();
    if (!bitmap || !sheets_.ready())
        return;
    {
        BitmapCanvas canvas(*bitmap);
        canvas.copyRect(0, 0, 512, 512, *sheets_.chip32Sheet, 0, 0, 512, 512);
    }
    if (const int chip = chipHover_.cell(); chip >= 0) {
        // Two pixels thick: one screen pixel at half size.
        const int x = (chip % 16) * 32, y = (chip / 16) * 32;
        context_.graphics.drawCursorFrame(*bitmap, x, y, 32, 32);
        context_.graphics.drawCursorFrame(*bitmap, x + 1, y + 1, 30, 30);
    }
    chipTable_->redraw();
}

void MapEdit::drawSelectedChip()
{
    if (IndexedBitmap* bitmap = selectedView_->bitmap(); bitmap && sheets_.ready()) {
        const int x = (selectedChip_ % 16) * 32, y = (selectedChip_ / 16) * 32;
        {
            BitmapCanvas canvas(*bitmap);
            canvas.copyRect(0, 0, 64, 64, *sheets_.chip32Sheet, x, y, x + 32, y + 32);
        }
        selectedView_->redraw();
    }
    const StageData& stage = context_.rom.currentStage();
    setLabelText(selectedIndex_, hex2Text(static_cast<unsigned>(selectedChip_)));
    for (int q = 0; q < 4; ++q)
        showChipQuarter(entryLabels_[static_cast<std::size_t>(q)], attributeLabels_[static_cast<std::size_t>(q)], stage,
                        selectedChip_, q, context_.chipAttributeNames);
}

void MapEdit::redrawAfterWrite(int view)
{
    drawView(view);
    if (roomOfView(1 - view) == roomOfView(view))
        drawView(1 - view);
    // The hover texts name what the cell under the pointer holds now.
    if (const int cell = roomHover_[static_cast<std::size_t>(view)].cell(); cell >= 0)
        showCellHint(view, cell);
}

// ---- events ----

void MapEdit::onRoomPressed(int view, int x, int y, Qt::MouseButton button, Qt::KeyboardModifiers keys)
{
    if (!context_.rom.isLoaded())
        return;
    StageData& stage = context_.rom.currentStage();
    const int room = roomOfView(view);
    const int position = room * RoomSize;
    const bool shift = keys.testFlag(Qt::ShiftModifier), ctrl = keys.testFlag(Qt::ControlModifier);
    endStampStroke();
    markedCell_ = -1;
    if (button == Qt::LeftButton && stamp_ && !shift && !ctrl) {
        if (const auto at = viewCellAt(view, x, y)) {
            strokeStage_ = context_.rom.currentStageIndex();
            stage.beginGroup(ukMap);
            paintStamp(*at);
        }
    } else if (button == Qt::LeftButton) {
        bool changed = false;
        if (shift) {
            gridForm_.loadRoom(room, stage.mapRoom(room));
            if (gridForm_.exec() == QDialog::Accepted)
                changed = stage.setMapRoom(position, gridForm_.roomData(), ukMapGrid);
        } else if (ctrl) {
            changed = stage.setMapRoom(position, roomCopyBuffer_, ukMapPaste);
        } else if (const int cell = roomHover_[static_cast<std::size_t>(view)].cell(); cell >= 0) {
            changed = stage.setMapChip(position + cell, static_cast<std::uint8_t>(selectedChip_));
        }
        if (changed)
            redrawAfterWrite(view);
    } else if (button == Qt::RightButton) {
        if (ctrl) {
            std::ranges::copy(stage.mapRoom(room), roomCopyBuffer_.begin());
        } else if (const int cell =
                       roomCellAt(x, y, pair_->view(view)->unzoomedWidth(), pair_->view(view)->unzoomedHeight());
                   cell >= 0) {
            selectedChip_ = stage.mapRoom(room)[static_cast<std::size_t>(cell)];
            stamp_.reset();
            context_.withdrawStatus(2, stampNote_);
            captureFrom_ = captureTo_ = ViewCell{view, cell};
            drawSelectedChip();
            drawView(0);
            drawView(1);
        }
    }
}

void MapEdit::onRoomCellHovered(int view, int cell)
{
    drawView(view);
    if (stamp_)
        drawView(1 - view); // the stamp may reach into the other view
    if (cell < 0) {         // left or dragged out of the view
        context_.setStatus(1, QString());
        return;
    }
    showCellHint(view, cell);
}

void MapEdit::showCellHint(int view, int cell)
{
    const int room = roomOfView(view);
    const std::uint8_t chip = context_.rom.currentStage().mapRoom(room)[static_cast<std::size_t>(cell)];
    context_.setStatus(1, QString::fromStdString(chipTableStatusText(chip)));
    pair_->view(view)->setToolTip(QString::fromStdString(roomCellHint(room, cell, chip)));
}

void MapEdit::onChipTablePressed(int x, int y, Qt::MouseButton button)
{
    if (!context_.rom.isLoaded())
        return;
    const int chip = mapChipTableAt(x, y, chipTable_->unzoomedWidth(), chipTable_->unzoomedHeight());
    if (chip < 0)
        return;
    if (button == Qt::LeftButton) {
        selectChip(chip);
    } else if (button == Qt::RightButton && findUses) {
        auto* menu = new QMenu(chipTable_);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->setObjectName(QStringLiteral("PopupMenuMapChipTable"));
        QAction* find =
            menu->addAction(QString::fromStdString(localized("使用箇所の検索(&F)...", "&Find Chip Uses...")));
        find->setObjectName(QStringLiteral("MenuItemMapChipUses"));
        QObject::connect(find, &QAction::triggered, chipTable_, [this, chip] { findUses(chip); });
        menu->popup(chipTable_->globalPosition(x, y));
    }
}

void MapEdit::onBothRoomsBarMoved(int left)
{
    if (updating_ || !context_.rom.isLoaded())
        return;
    const ViewRooms moved = scrollBothViews(rooms_, left);
    if (moved == rooms_)
        return;
    rooms_ = moved;
    drawView(0);
    drawView(1);
}

void MapEdit::onRoomBarMoved(int view, int position)
{
    if (updating_ || !context_.rom.isLoaded())
        return;
    const int room = clampViewRoom(view, position);
    if (room == roomOfView(view)) {
        // A position past the view's last room: the bar goes back to the room shown.
        {
            const UpdatingGuard updating(updating_);
            pageBars_[static_cast<std::size_t>(view)]->setValue(room);
        }
        return;
    }
    roomOfView(view) = room;
    if (view == 0)
        setRooms(rooms_);
    drawView(view);
}

void MapEdit::highlightChip(int chip)
{
    if (chip == highlightedChip_)
        return;
    highlightedChip_ = chip;
    if (context_.rom.isLoaded()) {
        drawView(0);
        drawView(1);
    }
}

void MapEdit::showCell(int room, int cell)
{
    markedCell_ = room * RoomSize + cell;
    showRoom(room);
}

void MapEdit::drawMarks(int view, IndexedBitmap& bitmap)
{
    const int room = roomOfView(view);
    const std::span<const std::uint8_t> cells = context_.rom.currentStage().mapRoom(room);
    if (highlightedChip_ >= 0)
        for (std::size_t cell = 0; cell < cells.size(); ++cell)
            if (cells[cell] == highlightedChip_)
                context_.graphics.drawFrame(bitmap, static_cast<int>(cell / 8) * 32 + 1,
                                            static_cast<int>(cell % 8) * 32 + 1, 30, 30, RGB(255, 255, 0));
    if (markedCell_ / RoomSize == room && markedCell_ >= 0) {
        const int cell = markedCell_ % RoomSize;
        context_.graphics.drawCursorFrame(bitmap, (cell / 8) * 32, (cell % 8) * 32, 32, 32);
        context_.graphics.drawCursorFrame(bitmap, (cell / 8) * 32 + 1, (cell % 8) * 32 + 1, 30, 30);
    }
}

// ---- stamps ----

std::optional<ViewCell> MapEdit::viewCellAt(int view, int x, int y) const
{
    // Through the page: a drag may run on into the other view.
    const ImageView* from = pair_->view(view);
    const QPoint onPage = from->mapToParent(QPoint(x, y) * from->zoom());
    for (int v = 0; v < 2; ++v) {
        const ImageView* shown = pair_->view(v);
        if (!shown->geometry().contains(onPage))
            continue;
        const QPoint at = shown->unzoomedPoint(onPage - shown->pos());
        if (const int cell = roomCellAt(at.x(), at.y(), shown->unzoomedWidth(), shown->unzoomedHeight()); cell >= 0)
            return ViewCell{v, cell};
    }
    return std::nullopt;
}

void MapEdit::onRoomMoved(int view, int x, int y, Qt::MouseButtons buttons)
{
    if (!context_.rom.isLoaded())
        return;
    const auto at = viewCellAt(view, x, y);
    if ((buttons & Qt::RightButton) && captureFrom_ && at && at != captureTo_) {
        captureTo_ = at;
        drawView(0);
        drawView(1);
    } else if ((buttons & Qt::LeftButton) && strokeStage_ >= 0 && at && at != stampPainted_) {
        paintStamp(*at);
    }
}

void MapEdit::onRoomReleased(Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        endStampStroke();
    } else if (button == Qt::RightButton && captureFrom_) {
        if (captureTo_ && captureTo_ != captureFrom_) {
            stamp_ = captureStamp(context_.rom.currentStage().map(), rooms_, *captureFrom_, *captureTo_);
            stampNote_ = QString::fromStdString(localized("スタンプ ", "Stamp ")) +
                QStringLiteral("%1x%2").arg(stamp_->width).arg(stamp_->height) +
                QString::fromStdString(localized(" (Esc で 1 チップに戻る)", " (Esc: one chip again)"));
            context_.setStatus(2, stampNote_);
        }
        captureFrom_.reset();
        captureTo_.reset();
        drawView(0);
        drawView(1);
    }
}

void MapEdit::paintStamp(ViewCell at)
{
    StageData& stage = context_.rom.currentStage();
    bool changed = false;
    for (const auto& [position, chip] : stampWrites(*stamp_, rooms_, at))
        changed = stage.setMapChip(position, chip) || changed;
    stampPainted_ = at;
    if (changed) {
        drawView(0);
        drawView(1);
    }
}

void MapEdit::endStampStroke()
{
    if (strokeStage_ < 0)
        return;
    // A stage change comes here after the switch: the step closes where the stroke began.
    const int stage = std::exchange(strokeStage_, -1);
    stampPainted_.reset();
    if (context_.rom.isLoaded())
        context_.rom.stage(stage).endGroup();
}

void MapEdit::drawStampFrame(int view, IndexedBitmap& bitmap)
{
    const int room = roomOfView(view);
    std::vector<std::pair<int, std::uint8_t>> cells;
    if (captureFrom_ && captureTo_) {
        const MapStamp taken = captureStamp(context_.rom.currentStage().map(), rooms_, *captureFrom_, *captureTo_);
        cells = stampWrites(taken, rooms_, stampCorner(rooms_, *captureFrom_, *captureTo_));
    } else {
        for (int v = 0; v < 2 && cells.empty(); ++v)
            if (const int cell = roomHover_[static_cast<std::size_t>(v)].cell(); cell >= 0)
                cells = stampWrites(*stamp_, rooms_, {v, cell});
    }
    int left = 8, top = 8, right = -1, bottom = -1;
    for (const auto& [position, chip] : cells) {
        if (position / RoomSize != room)
            continue;
        const int column = (position % RoomSize) / 8, row = position % 8;
        if (!captureFrom_) // the preview shows the stamp's chips; a capture shows the room's
            copySquare(bitmap, column * 32, row * 32, *sheets_.chip32Sheet, (chip % 16) * 32, (chip / 16) * 32, 32);
        left = std::min(left, column);
        top = std::min(top, row);
        right = std::max(right, column);
        bottom = std::max(bottom, row);
    }
    if (right >= 0)
        context_.graphics.drawCursorFrame(bitmap, left * 32, top * 32, (right - left + 1) * 32,
                                          (bottom - top + 1) * 32);
}

void MapEdit::copyStamp()
{
    MapStamp one;
    one.chips = {static_cast<std::uint8_t>(selectedChip_)};
    QGuiApplication::clipboard()->setText(QString::fromStdString(stampText(stamp_ ? *stamp_ : one)));
}

void MapEdit::pasteStamp()
{
    const Result<MapStamp> pasted = stampOfText(QGuiApplication::clipboard()->text().toStdString());
    if (!pasted.ok()) {
        context_.prompts.showMessage(QString::fromStdString(pasted.error().text()));
        return;
    }
    stamp_ = pasted.value();
    stampNote_ = QString::fromStdString(localized("スタンプ ", "Stamp ")) +
        QStringLiteral("%1x%2").arg(stamp_->width).arg(stamp_->height);
    context_.setStatus(2, stampNote_);
}

void MapEdit::dropStamp()
{
    if (!stamp_)
        return;
    stamp_.reset();
    context_.withdrawStatus(2, stampNote_);
    if (context_.rom.isLoaded()) {
        drawView(0);
        drawView(1);
    }
}

} // namespace vx
