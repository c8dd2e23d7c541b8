#include "gui/widgets/PageControls.h"

#include "core/HexText.h"
#include "core/StageData.h"
#include "rules/ChipRules.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>

namespace vx {

QString Hex2Text(unsigned value) { return QString::fromStdString(FormatHex(value, 2)); }

QLabel* MakeCaption(const char* text, QWidget* parent, int x, int y, int width)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setGeometry(x, y, width, 16);
    return label;
}

QLabel* MakeValueLabel(const QString& name, QWidget* parent, int x, int y, int width)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(x, y, width, 16);
    return label;
}

QScrollBar* MakeRoomScrollBar(const QString& name, QWidget* parent, int x, int y, int width, int highest)
{
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setGeometry(x, y, width, 16);
    bar->setRange(0, highest);
    bar->setPageStep(1);
    return bar;
}

void SetLabelText(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

void ShowChipQuarter(QLabel* entry, QLabel* attribute, const TStageData& stage, int chip, int quarter,
                     const std::vector<std::string>& attributeNames)
{
    const std::size_t at = static_cast<std::size_t>((chip & 0xFF) * 4 + (quarter & 3));
    SetLabelText(entry, QString::fromStdString(EntryLabelText(stage.Chip32x32()[at])));
    SetLabelText(attribute, QString::fromStdString(
                                AttributeName(attributeNames, stage.StageIndex(), stage.Chip32x32Attribute()[at])));
}

QButtonGroup* MakeRadioGroup(QWidget* page, const char* caption, const char* name, int y, const char* first,
                             const char* second)
{
    auto* box = new QGroupBox(QString::fromUtf8(caption), page);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(3, y, 200, 66);
    auto* group = new QButtonGroup(box);
    int id = 0;
    for (const char* item : {first, second}) {
        auto* button = new QRadioButton(QString::fromUtf8(item), box);
        button->setGeometry(10, 20 + 20 * id, 180, 18);
        group->addButton(button, id++);
    }
    return group;
}

} // namespace vx
