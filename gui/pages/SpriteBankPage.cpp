#include "gui/pages/SpriteBankPage.h"

#include "core/model/Rooms.h"
#include "gui/widgets/ImageView.h"
#include "gui/widgets/PageControls.h"

#include <QLabel>
#include <QScrollBar>

namespace vx {

void SpriteBankPage::bindControls(QWidget* page)
{
    makeImageView(page, QStringLiteral("ImgSpriteBankRoom"), QRect(48, 24, RoomPixels, RoomPixels), {}, 1);
    auto* caption = new QLabel(captionOf("部屋番号:", "Room:"), page);
    caption->setGeometry(48, 304, 60, 16);
    auto* value = new QLabel(QStringLiteral("--"), page);
    value->setObjectName(QStringLiteral("LblSpriteBankRoom"));
    value->setGeometry(112, 304, 40, 16);
    makeImageView(page, QStringLiteral("ImgSpriteBankView"), QRect(310, 24, 256, 256), {}, 1);
    auto* scroll = new QScrollBar(Qt::Horizontal, page);
    scroll->setObjectName(QStringLiteral("ScrollBarSpriteBank"));
    scroll->setRange(0, LastRoom);
    scroll->setGeometry(48, 282, 256, 16);
}

} // namespace vx
