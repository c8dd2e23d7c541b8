#include "gui/pages/ScrollEdit.h"

#include "core/HexText.h"
#include "core/RomImgManager.h"
#include "core/ScrollEntry.h"
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

void TScrollEdit::BindControls(QWidget* page)
{
    rooms_ = std::make_unique<TRoomViewPair>(page, QStringLiteral("ImgScrollEdit"), QStringLiteral("ScrollBarScrollEdit"),
                                             nullptr, [this](int) {
                                                 if (context_.rom.IsLoaded())
                                                     DrawViews();
                                             });
    MakeCaption("表示部屋番号:", page, 224, 282, 80);
    pagesLabel_ = MakeValueLabel(QStringLiteral("LblScrollEditPages"), page, 306, 282, 60);

    list_ = new QListWidget(page);
    list_->setObjectName(QStringLiteral("LBScrollData"));
    list_->setGeometry(3, 310, 301, 260);
    list_->setUniformItemSizes(true);
    list_->setStyleSheet(QStringLiteral("QListWidget::item { height: 16px; }"));
    QObject::connect(list_, &QListWidget::currentRowChanged, list_, [this](int line) { LBScrollDataClick(line); });
    // A click on the line already selected brings the views back to it as well.
    QObject::connect(list_, &QListWidget::clicked, list_, [this](const QModelIndex& at) { LBScrollDataClick(at.row()); });
    BuildDataGroup(page);
}

void TScrollEdit::BuildDataGroup(QWidget* page)
{
    auto* group = new QGroupBox(QString::fromUtf8("スクロールデータ"), page);
    group->setObjectName(QStringLiteral("GroupBoxScrollData"));
    group->setGeometry(310, 304, 267, 187);
    const auto row = [group](const char* caption, const char* name, int y) {
        MakeCaption(caption, group, 12, y, 100);
        return MakeValueLabel(QString::fromLatin1(name), group, 116, y, 40);
    };
    indexLabel_ = row("スクロール番号:", "LblSelectedScrollIndex", 24);
    leftLabel_ = row("左端部屋番号:", "LblScrollLeftRoom", 44);
    rightLabel_ = row("右端部屋番号:", "LblScrollRightRoom", 64);

    countCombo_ = new QComboBox(group);
    countCombo_->setObjectName(QStringLiteral("CBScrollHorizon"));
    countCombo_->setGeometry(12, 90, 56, 22);
    for (int n = 0; n < 16; ++n)
        countCombo_->addItem(QString::number(n));
    QObject::connect(countCombo_, &QComboBox::currentIndexChanged, countCombo_, [this] { CBScrollHorizonChange(); });
    MakeCaption("画面進んで", group, 74, 93, 80);

    const auto check = [group, this](const char* caption, const char* name, int x) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), group);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(x, 122, 82, 20);
        QObject::connect(box, &QCheckBox::clicked, box, [this] { CheckDirectionClick(); });
        return box;
    };
    right_ = check("右へ(+20)", "CheckRight", 12);
    down_ = check("下へ(+40)", "CheckDown", 96);
    up_ = check("上へ(+80)", "CheckUp", 180);

    MakeCaption("直接入力:", group, 12, 154, 64);
    directBox_ = MakeHexBox(QStringLiteral("EditScrollData"), group, 80, 150, 28, 22);
    directBox_->setMaxLength(2);
    QObject::connect(directBox_, &QLineEdit::textChanged, directBox_, [this] { EditScrollDataChange(); });
}

// ---- entry points ----

void TScrollEdit::Open()
{
    rooms_->GiveBitmaps(context_.graphics);
    StageChanged();
}

void TScrollEdit::StageChanged()
{
    const TStageData& stage = context_.rom.CurrentStage();
    rooms_->SetLeft(stage.MidPoints(stage.DefaultStartPoint()).StartRoom());
    RebuildList();
    DrawViews();
    ShowSelectedEntry();
}

void TScrollEdit::Refresh()
{
    // The sheets are rebuilt here too, so an undone chip edit shows in these rooms at once.
    sheets_.Rebuild(context_.graphics, context_.rom.CurrentStage().Chip32x32());
    const int line = SelectedLine();
    RebuildList();
    {
        const TUpdatingGuard updating(updating_);
        list_->setCurrentRow(std::max(line, 0));
    }
    DrawViews();
    ShowSelectedEntry();
}

void TScrollEdit::AnimationTick()
{
    sheets_.ApplyPalette(context_.graphics);
    DrawViews();
}

void TScrollEdit::SelectLine(int line)
{
    if (line < 0 || line >= ScrollEntryCount)
        return;
    {
        const TUpdatingGuard updating(updating_);
        list_->setCurrentRow(line);
    }
    LBScrollDataClick(line); // also when the line was selected already
    list_->scrollToItem(list_->currentItem());
    list_->setFocus();
}

// ---- list and fields ----

int TScrollEdit::SelectedLine() const { return list_->currentRow(); }

void TScrollEdit::RebuildList()
{
    const TStageData& stage = context_.rom.CurrentStage();
    const TMidPoint& start = stage.MidPoints(stage.DefaultStartPoint());
    path_ = WalkScrollPath(stage.Scroll(), start.StartRoom(), start.StartScroll);
    const TUpdatingGuard updating(updating_);
    list_->clear();
    for (int i = 0; i < ScrollEntryCount; ++i)
        list_->addItem(QString::fromStdString(
            ScrollLineText(i, stage.Scroll()[static_cast<std::size_t>(i)], i == start.StartScroll)));
    list_->setCurrentRow(-1);
}

void TScrollEdit::ShowSelectedEntry()
{
    const TUpdatingGuard updating(updating_);
    if (SelectedLine() < 0)
        list_->setCurrentRow(0);
    const int line = SelectedLine();
    const std::uint8_t entry = context_.rom.CurrentStage().Scroll()[static_cast<std::size_t>(line)];
    const TScrollEntry step = TScrollEntry::Decode(entry);
    const int count = step.count, left = path_.segmentLeftRoom[static_cast<std::size_t>(line)];
    countCombo_->setCurrentIndex(count);
    right_->setChecked(step.right);
    down_->setChecked(step.down);
    up_->setChecked(step.up);
    directBox_->setText(Hex2Text(entry));
    SetLabelText(indexLabel_, Hex2Text(static_cast<unsigned>(line)));
    SetLabelText(leftLabel_, Hex2Text(static_cast<unsigned>(left)));
    SetLabelText(rightLabel_, Hex2Text(static_cast<unsigned>(left + count)));
}

void TScrollEdit::AfterEdit()
{
    const int line = SelectedLine();
    RebuildList();
    {
        const TUpdatingGuard updating(updating_);
        list_->setCurrentRow(line);
    }
    DrawViews();
    ShowSelectedEntry();
}

void TScrollEdit::Edit(std::uint8_t entry)
{
    const int line = std::max(SelectedLine(), 0);
    if (context_.rom.CurrentStage().SetScrollData(line, entry))
        AfterEdit();
}

// ---- views ----

void TScrollEdit::DrawView(int view)
{
    TImageView* control = rooms_->View(view);
    TNkDIB* bitmap = control->Bitmap();
    if (!bitmap || !sheets_.Ready())
        return;
    const int room = ViewRoom(view);
    const TGraphicManager& graphics = context_.graphics;
    graphics.DrawRoom(*bitmap, *sheets_.chip32Sheet,
                      context_.rom.CurrentStage().MapRoom(room));
    DrawPathMarks(graphics, *bitmap, path_.roomFlags[static_cast<std::size_t>(room)]);
    control->Redraw();
}

void TScrollEdit::DrawViews()
{
    DrawView(0);
    DrawView(1);
    SetLabelText(pagesLabel_, Hex2Text(static_cast<unsigned>(ViewRoom(0))) + QStringLiteral("-") +
                                  Hex2Text(static_cast<unsigned>(ViewRoom(1))));
}

// ---- events ----

void TScrollEdit::LBScrollDataClick(int line)
{
    if (updating_ || !context_.rom.IsLoaded() || line < 0)
        return;
    ShowSelectedEntry();
    rooms_->SetLeft(path_.segmentLeftRoom[static_cast<std::size_t>(line)]);
    DrawViews();
}

void TScrollEdit::CBScrollHorizonChange()
{
    if (updating_ || !context_.rom.IsLoaded())
        return;
    Edit(ScrollEntryOf(countCombo_->currentIndex(), right_->isChecked(), down_->isChecked(), up_->isChecked()));
}

void TScrollEdit::CheckDirectionClick() { CBScrollHorizonChange(); }

void TScrollEdit::EditScrollDataChange()
{
    if (updating_ || !context_.rom.IsLoaded() || directBox_->text().size() < directBox_->maxLength())
        return;
    const auto value = ParseHex(directBox_->text().toStdString());
    if (value && *value <= 0xFF && context_.rom.CurrentStage().SetScrollData(std::max(SelectedLine(), 0),
                                                                             static_cast<std::uint8_t>(*value))) {
        AfterEdit();
        return;
    }
    // Not hex, or the value held already: the box shows the stored entry.
    ShowSelectedEntry();
}

} // namespace vx
