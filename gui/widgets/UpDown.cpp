#include "gui/widgets/UpDown.h"

#include "core/base/Language.h"

#include <QBoxLayout>
#include <QToolButton>

namespace vx {

UpDown::UpDown(QWidget* parent, Qt::Orientation orientation) : QWidget(parent)
{
    auto* layout = orientation == Qt::Vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(this))
                                               : static_cast<QBoxLayout*>(new QHBoxLayout(this));
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(orientation == Qt::Vertical ? Qt::UpArrow : Qt::RightArrow);
    down_->setArrowType(orientation == Qt::Vertical ? Qt::DownArrow : Qt::LeftArrow);
    const bool vertical = orientation == Qt::Vertical;
    up_->setAccessibleName(QString::fromStdString(vertical ? captionText("上へ", "Up") //
                                                           : captionText("右へ", "Right")));
    down_->setAccessibleName(
        QString::fromStdString(vertical ? captionText("下へ", "Down") : captionText("左へ", "Left")));
    for (QToolButton* button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    // Up (or right) comes first in a vertical pair, last in a horizontal one.
    if (orientation == Qt::Vertical) {
        layout->addWidget(up_);
        layout->addWidget(down_);
    } else {
        layout->addWidget(down_);
        layout->addWidget(up_);
    }
    connect(up_, &QToolButton::clicked, this, [this] { emit stepRequested(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { emit stepRequested(-1); });
}

} // namespace vx
