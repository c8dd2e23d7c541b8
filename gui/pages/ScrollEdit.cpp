#include "gui/pages/ScrollEdit.h"

#include "core/base/HexText.h"
#include "core/model/RomImage.h"
#include "core/model/ScrollEntry.h"
#include "gui/widgets/HexBox.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/PageControls.h"
#include "gui/widgets/RoomViewPair.h"
#include "gui/widgets/UpdatingGuard.h"
#include "render/GraphicManager.h"
#include "render/RoomOverlay.h"
#include "render/WorkingSheets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <algorithm>

namespace vx {

// ---- controls ----

void ScrollEdit::bindControls(QWidget* page)
{
    rooms_ = std::make_unique<RoomViewPair>(page, QStringLiteral("ImgScrollEdit"),
                                            QStringLiteral("ScrollBarScrollEdit"), nullptr, [this](int) {
                                                if (context_.rom.isLoaded())
                                                    drawViews();
                                            });
    makeCaption(captionOf("表示部屋番号:", "Rooms:"), page, 224, 282, 80);
    pagesLabel_ = makeValueLabel(QStringLiteral("LblScrollEditPages"), page, 306, 282, 60);

    list_ = new QListWidget(page);
    list_->setObjectName(QStringLiteral("LBScrollData"));
    list_->setGeometry(3, 310, 301, 260);
    list_->setUniformItemSizes(true);
    list_->setStyleSheet(QStringLiteral("QListWidget::item { height: 16px; }"));
    QObject::connect(list_, &QListWidget::currentRowChanged, list_, [this](int line) { onEntrySelected(line); });
    // A click on the line already selected brings the views back to it as well.
    QObject::connect(list_, &QListWidget::clicked, list_, [this](const QModelIndex& at) { onEntrySelected(at.row()); });
    buildDataGroup(page);
}

void ScrollEdit::buildDataGroup(QWidget* page)
{
    auto* group = new QGroupBox(captionOf("スクロールデータ", "Scroll Data"), page);
    group->setObjectName(QStringLiteral("GroupBoxScrollData"));
    group->setGeometry(310, 304, 267, 187);
    const auto row = [group](const QString& caption, const char* name, int y) {
        makeCaption(caption, group, 12, y, 100);
        return makeValueLabel(QString::fromLatin1(name), group, 116, y, 40);
    };
    indexLabel_ = row(captionOf("スクロール番号:", "Scroll No:"), "LblSelectedScrollIndex", 24);
    leftLabel_ = row(captionOf("左端部屋番号:", "Left Room:"), "LblScrollLeftRoom", 44);
    rightLabel_ = row(captionOf("右端部屋番号:", "Right Room:"), "LblScrollRightRoom", 64);

    countCombo_ = new QComboBox(group);
    countCombo_->setObjectName(QStringLiteral("CBScrollHorizon"));
    countCombo_->setGeometry(12, 90, 56, 22);
    for (int n = 0; n < 16; ++n)
        countCombo_->addItem(QString::number(n));
    QObject::connect(countCombo_, &QComboBox::currentIndexChanged, countCombo_, [this] { onEntryChosen(); });
    makeCaption(captionOf("画面進んで", "Screens, then"), group, 74, 93, 80);

    const auto check = [group, this](const QString& caption, const char* name, int x) {
        auto* box = new QCheckBox(caption, group);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(x, 122, 82, 20);
        QObject::connect(box, &QCheckBox::clicked, box, [this] { onDirectionToggled(); });
        return box;
    };
    right_ = check(captionOf("右へ(+&20)", "&Right+20"), "CheckRight", 12);
    down_ = check(captionOf("下へ(+&40)", "&Down+40"), "CheckDown", 96);
    up_ = check(captionOf("上へ(+&80)", "&Up+80"), "CheckUp", 180);

    makeCaption(captionOf("直接入力:", "Value:"), group, 12, 154, 64);
    directBox_ = makeHexBox(QStringLiteral("EditScrollData"), group, 80, 150, 28, 22);
    directBox_->setMaxLength(2);
    QObject::connect(directBox_, &QLineEdit::textChanged, directBox_, [this] { onEntryTyped(); });
}

// ---- entry points ----

void ScrollEdit::open()
{
    rooms_->giveBitmaps(context_.graphics);
    stageChanged();
}

void ScrollEdit::stageChanged()
{
    const StageData& stage = context_.rom.currentStage();
    rooms_->setLeft(stage.restartPoints(stage.defaultStartPoint()).startRoom());
    rebuildList();
    drawViews();
    showSelectedEntry();
}

void ScrollEdit::refresh()
{
    // The sheets are rebuilt here too, so an undone chip edit shows in these rooms at once.
    sheets_.rebuild(context_.graphics, context_.rom.currentStage().chip32x32());
    const int line = selectedLine();
    rebuildList();
    {
        const UpdatingGuard updating(updating_);
        list_->setCurrentRow(std::max(line, 0));
    }
    drawViews();
    showSelectedEntry();
}

void ScrollEdit::animationTick()
{
    sheets_.applyPalette(context_.graphics);
    drawViews();
}

void ScrollEdit::selectLine(int line)
{
    if (line < 0 || line >= ScrollEntryCount)
        return;
    {
        const UpdatingGuard updating(updating_);
        list_->setCurrentRow(line);
    }
    onEntrySelected(line); // also when the line was selected already
    list_->scrollToItem(list_->currentItem());
    list_->setFocus();
}

// ---- list and fields ----

int ScrollEdit::selectedLine() const { return list_->currentRow(); }

void ScrollEdit::rebuildList()
{
    const StageData& stage = context_.rom.currentStage();
    const RestartPoint& start = stage.restartPoints(stage.defaultStartPoint());
    path_ = walkScrollPath(stage.scroll(), start.startRoom(), start.startScroll);
    const UpdatingGuard updating(updating_);
    list_->clear();
    for (int i = 0; i < ScrollEntryCount; ++i)
        list_->addItem(QString::fromStdString(
            scrollLineText(i, stage.scroll()[static_cast<std::size_t>(i)], i == start.startScroll)));
    list_->setCurrentRow(-1);
}

void ScrollEdit::showSelectedEntry()
{
    const UpdatingGuard updating(updating_);
    if (selectedLine() < 0)
        list_->setCurrentRow(0);
    const int line = selectedLine();
    const std::uint8_t entry = context_.rom.currentStage().scroll()[static_cast<std::size_t>(line)];
    const ScrollEntry step = ScrollEntry::decode(entry);
    const int count = step.count, left = path_.segmentLeftRoom[static_cast<std::size_t>(line)];
    countCombo_->setCurrentIndex(count);
    right_->setChecked(step.right);
    down_->setChecked(step.down);
    up_->setChecked(step.up);
    directBox_->setText(hex2Text(entry));
    setLabelText(indexLabel_, hex2Text(static_cast<unsigned>(line)));
    setLabelText(leftLabel_, hex2Text(static_cast<unsigned>(left)));
    setLabelText(rightLabel_, hex2Text(static_cast<unsigned>(left + count)));
}

void ScrollEdit::afterEdit()
{
    const int line = selectedLine();
    rebuildList();
    {
        const UpdatingGuard updating(updating_);
        list_->setCurrentRow(line);
    }
    drawViews();
    showSelectedEntry();
}

void ScrollEdit::edit(std::uint8_t entry)
{
    const int line = std::max(selectedLine(), 0);
    if (context_.rom.currentStage().setScrollData(line, entry))
        afterEdit();
}

// ---- views ----

void ScrollEdit::drawView(int view)
{
    ImageView* control = rooms_->view(view);
    IndexedBitmap* bitmap = control->bitmap();
    if (!bitmap || !sheets_.ready())
        return;
    const int room = viewRoom(view);
    const GraphicManager& graphics = context_.graphics;
    graphics.drawRoom(*bitmap, *sheets_.chip32Sheet, context_.rom.currentStage().mapRoom(room));
    drawPathMarks(graphics, *bitmap, path_.roomFlags[static_cast<std::size_t>(room)]);
    control->redraw();
}

void ScrollEdit::showRoom(int room)
{
    rooms_->setLeft(room);
    drawViews();
}

void ScrollEdit::drawViews()
{
    drawView(0);
    drawView(1);
    setLabelText(pagesLabel_,
                 hex2Text(static_cast<unsigned>(viewRoom(0))) + QStringLiteral("-") +
                     hex2Text(static_cast<unsigned>(viewRoom(1))));
}

// ---- events ----

void ScrollEdit::onEntrySelected(int line)
{
    if (updating_ || !context_.rom.isLoaded() || line < 0)
        return;
    showSelectedEntry();
    rooms_->setLeft(path_.segmentLeftRoom[static_cast<std::size_t>(line)]);
    drawViews();
}

void ScrollEdit::onEntryChosen()
{
    if (updating_ || !context_.rom.isLoaded())
        return;
    edit(scrollEntryOf(countCombo_->currentIndex(), right_->isChecked(), down_->isChecked(), up_->isChecked()));
}

void ScrollEdit::onDirectionToggled() { onEntryChosen(); }

void ScrollEdit::onEntryTyped()
{
    if (updating_ || !context_.rom.isLoaded() || directBox_->text().size() < directBox_->maxLength())
        return;
    const auto value = parseHex(directBox_->text().toStdString());
    if (value && *value <= 0xFF &&
        context_.rom.currentStage().setScrollData(std::max(selectedLine(), 0), static_cast<std::uint8_t>(*value))) {
        afterEdit();
        return;
    }
    // Not hex, or the value held already: the box shows the stored entry.
    showSelectedEntry();
}

} // namespace vx
