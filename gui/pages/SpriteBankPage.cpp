#include "gui/pages/SpriteBankPage.h"

#include "core/Rooms.h"
#include "gui/widgets/ImageView.h"

#include <QLabel>
#include <QScrollBar>

namespace vx {

void TSpriteBankPage::BindControls(QWidget* page)
{
    auto* room = new TImageView(page, 1);
    room->setObjectName(QStringLiteral("ImgSpriteBankRoom"));
    room->setGeometry(48, 24, 256, 256);
    auto* caption = new QLabel(QString::fromUtf8("部屋番号:"), page);
    caption->setGeometry(48, 304, 60, 16);
    auto* value = new QLabel(QStringLiteral("--"), page);
    value->setObjectName(QStringLiteral("LblSpriteBankRoom"));
    value->setGeometry(112, 304, 40, 16);
    auto* view = new TImageView(page, 1);
    view->setObjectName(QStringLiteral("ImgSpriteBankView"));
    view->setGeometry(310, 24, 256, 256);
    auto* scroll = new QScrollBar(Qt::Horizontal, page);
    scroll->setObjectName(QStringLiteral("ScrollBarSpriteBank"));
    scroll->setRange(0, RoomCount - 1);
    scroll->setGeometry(48, 282, 256, 16);
}

} // namespace vx
