#include "gui/pages/MapGridDialog.h"

#include "gui/pages/Prompts.h"
#include "gui/widgets/PageControls.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace vx {
namespace {

// The grid: hex typing, normalising before arrows, focus loss and presses, and the menu
// on the right button; the rest is the table's own selection handling.
class GridTable : public QTableWidget {
public:
    GridTable(MapGridDialog& form, QWidget* parent) : QTableWidget(GridSize, GridSize, parent), form_(form) {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Copy)) {
            form_.copyCells();
            return;
        }
        if (event->matches(QKeySequence::Paste)) {
            form_.pasteCells();
            return;
        }
        switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
            form_.normalizeCells();
            QTableWidget::keyPressEvent(event);
            return;
        default: break;
        }
        const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!command && !event->text().isEmpty() && event->text().at(0).isPrint()) {
            // Hex digits type into the cell; other characters do nothing (no search).
            form_.onCellKey(event->text());
            return;
        }
        QTableWidget::keyPressEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        form_.normalizeCells();
        QTableWidget::focusOutEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        form_.normalizeCells();
        if (event->button() == Qt::RightButton) {
            const QModelIndex at = indexAt(event->position().toPoint());
            form_.onCellMenu(at.isValid() ? at.column() : -1, at.isValid() ? at.row() : -1,
                             event->globalPosition().toPoint());
            return;
        }
        QTableWidget::mousePressEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        form_.normalizeCells(); // the second press of a double click is a press too
        QTableWidget::mouseDoubleClickEvent(event);
    }

private:
    MapGridDialog& form_;
};

// Each cell: the selection or normal colour, the text right-aligned 2 pixels below the top.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
        painter->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
        painter->setFont(option.font);
        painter->drawText(option.rect.adjusted(0, 2, 0, 0), Qt::AlignRight | Qt::AlignTop, index.data().toString());
    }
};

} // namespace

MapGridDialog::MapGridDialog(Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts)
{
    setObjectName(QStringLiteral("MapEditGridForm"));
    setWindowTitle(captionOf("マップの編集", "Edit Map"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(283, 325);

    grid_ = new GridTable(*this, this);
    grid_->setObjectName(QStringLiteral("SGridMapEdit"));
    grid_->setGeometry(8, 8, 259, 259);
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    for (QHeaderView* header : {grid_->horizontalHeader(), grid_->verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setDefaultSectionSize(32); // 31 pixels and the grid line
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid_->setTabKeyNavigation(false);
    grid_->setContextMenuPolicy(Qt::PreventContextMenu);
    grid_->setItemDelegate(new GridCellDelegate(grid_));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(15);
    grid_->setFont(font);
    for (int row = 0; row < GridSize; ++row)
        for (int column = 0; column < GridSize; ++column) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            grid_->setItem(row, column, item);
        }

    // Neither button answers Enter or Esc.
    ok_ = new QPushButton(captionOf("OK(&O)", "&OK"), this);
    ok_->setObjectName(QStringLiteral("BtnOK"));
    ok_->setGeometry(97, 292, 75, 25);
    cancel_ = new QPushButton(captionOf("キャンセル(&C)", "&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("BtnCancel"));
    cancel_->setGeometry(185, 292, 90, 25); // wide enough for "キャンセル(&C)"
    for (QPushButton* button : {ok_, cancel_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(ok_, &QPushButton::clicked, this, &MapGridDialog::acceptCells);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("PopupMenuMapEditGrid"));
    copy_ = menu_->addAction(captionOf("クリップボードにコピ"
                                       "ー",
                                       "Copy to Clipboard"),
                             this, &MapGridDialog::copyCells);
    copy_->setObjectName(QStringLiteral("MenuItemCopyToClipBoard"));
    paste_ = menu_->addAction(captionOf("クリップボードから貼り付け", "Paste from Clipboard"), this,
                              &MapGridDialog::pasteCells);
    paste_->setObjectName(QStringLiteral("MenuItemPasteFromClipBoard"));
    fill_ = menu_->addAction(captionOf("選択範囲を初期"
                                       "化",
                                       "Fill Selection..."),
                             this, &MapGridDialog::fillSelection);
    fill_->setObjectName(QStringLiteral("MenuItemFillCells"));
}

void MapGridDialog::loadRoom(int room, std::span<const std::uint8_t> roomBytes)
{
    setWindowTitle(QString::fromStdString(gridCaption(room)));
    cells_ = cellsOfRoom(roomBytes);
    showCells();
    grid_->clearSelection();
    grid_->setCurrentCell(0, 0);
    grid_->setFocus();
}

void MapGridDialog::showCells()
{
    for (int column = 0; column < GridSize; ++column)
        for (int row = 0; row < GridSize; ++row)
            grid_->item(row, column)
                ->setText(QString::fromStdString(cells_[static_cast<std::size_t>(gridIndex(column, row))]));
}

GridRange MapGridDialog::selectedRange() const
{
    const QList<QTableWidgetSelectionRange> ranges = grid_->selectedRanges();
    if (!ranges.isEmpty()) {
        const QTableWidgetSelectionRange& range = ranges.first();
        return {range.leftColumn(), range.topRow(), range.rightColumn(), range.bottomRow()};
    }
    const int column = std::max(grid_->currentColumn(), 0), row = std::max(grid_->currentRow(), 0);
    return {column, row, column, row};
}

bool MapGridDialog::onCellKey(const QString& text)
{
    const int column = grid_->currentColumn(), row = grid_->currentRow();
    if (text.size() != 1 || column < 0 || row < 0 || text.at(0).unicode() > 0x7F)
        return false;
    std::string& cell = cells_[static_cast<std::size_t>(gridIndex(column, row))];
    if (!typeIntoCell(cell, static_cast<char>(text.at(0).unicode())))
        return false;
    grid_->item(row, column)->setText(QString::fromStdString(cell));
    return true;
}

void MapGridDialog::normalizeCells()
{
    vx::normalizeCells(cells_);
    showCells();
}

void MapGridDialog::onCellMenu(int column, int row, const QPoint& global)
{
    const GridRange selection = selectedRange();
    const bool single = selection.left == selection.right && selection.top == selection.bottom;
    if (single && column >= 0 && row >= 0)
        grid_->setCurrentCell(row, column);
    paste_->setEnabled(clipboardHasText());
    menu_->popup(global);
}

bool MapGridDialog::clipboardHasText() { return !QGuiApplication::clipboard()->text().isEmpty(); }

void MapGridDialog::copyCells()
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(copyText(cells_, selectedRange())));
}

void MapGridDialog::pasteCells()
{
    const GridRange selection = selectedRange();
    if (pasteText(cells_, QGuiApplication::clipboard()->text().toStdString(), selection.left, selection.top))
        showCells();
}

void MapGridDialog::fillSelection()
{
    const auto answer =
        prompts_.inputText(QString::fromStdString(fillCaption()), QString::fromStdString(fillPrompt()), QString());
    if (!answer)
        return;
    const auto value = parseFillValue(answer->toStdString());
    if (value && fillCells(cells_, selectedRange(), *value))
        showCells();
}

void MapGridDialog::acceptCells()
{
    roomData_ = roomOfCells(cells_);
    accept();
}

void MapGridDialog::keyPressEvent(QKeyEvent* event)
{
    // Esc does not cancel and Enter does not confirm: only the buttons and the close box.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vx
