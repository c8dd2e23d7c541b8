#include "gui/widgets/PageControls.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/StageData.h"
#include "rules/ChipRules.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

namespace vx {

QString captionOf(const char* japanese, const char* english)
{
    return QString::fromStdString(captionText(japanese, english));
}

QString hex2Text(unsigned value) { return QString::fromStdString(formatHex(value, 2)); }

QLabel* makeCaption(const QString& text, QWidget* parent, int x, int y, int width)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, width, 16);
    return label;
}

QLabel* makeValueLabel(const QString& name, QWidget* parent, int x, int y, int width)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(x, y, width, 16);
    return label;
}

QScrollBar* makeRoomScrollBar(const QString& name, QWidget* parent, int x, int y, int width, int highest)
{
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setGeometry(x, y, width, 16);
    bar->setRange(0, highest);
    bar->setPageStep(1);
    // Chosen by keyboard too: Tab reaches it, the arrows and PgUp/PgDn step the room.
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

void setLabelText(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

void showChipQuarter(QLabel* entry, QLabel* attribute, const StageData& stage, int chip, int quarter,
                     const std::vector<std::string>& attributeNames)
{
    const std::size_t at = static_cast<std::size_t>((chip & 0xFF) * 4 + (quarter & 3));
    setLabelText(entry, QString::fromStdString(entryLabelText(stage.chip32x32()[at])));
    setLabelText(
        attribute,
        QString::fromStdString(attributeName(attributeNames, stage.stageIndex(), stage.chip32x32Attribute()[at])));
}

QButtonGroup* makeRadioGroup(QWidget* page, const QString& caption, const char* name, int y, const QString& first,
                             const QString& second)
{
    auto* box = new QGroupBox(caption, page);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(3, y, 200, 66);
    auto* group = new QButtonGroup(box);
    int id = 0;
    for (const QString& item : {first, second}) {
        auto* button = new QRadioButton(item, box);
        button->setGeometry(10, 20 + 20 * id, 180, 18);
        group->addButton(button, id++);
    }
    return group;
}

} // namespace vx
