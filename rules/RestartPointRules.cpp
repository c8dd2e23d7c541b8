#include "rules/RestartPointRules.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/RestartPoint.h"
#include "core/model/Rooms.h"

#include <algorithm>

namespace vx {

int restartPointFieldLength(int field) { return field == mfMapBackAddr || field == mfMapForwardAddr ? 4 : 2; }

std::string restartPointFieldText(const RestartPoint& point, int field)
{
    return formatHex(restartPointFieldValue(point, field), 2);
}

std::optional<std::uint16_t> restartPointFieldInput(const RestartPoint& point, int field, std::string_view text)
{
    const auto parsed = parseHex(text);
    if (!parsed || field < 0 || field >= RestartPointFieldCount)
        return std::nullopt;
    const auto value = static_cast<std::uint16_t>(*parsed & 0xFFFF);
    const int highest = field == mfStartRoom ? LastRoom : restartPointFieldLength(field) == 4 ? 0xFFFF : 0xFF;
    if (value > highest || value == restartPointFieldValue(point, field))
        return std::nullopt;
    return value;
}

std::uint8_t stepStartY(std::uint8_t y, bool up)
{
    const int row = y & 0xF0;
    return static_cast<std::uint8_t>(std::clamp(up ? row - 12 : row + 20, 0x04, 0xF4));
}

bool recalcRestartPoint(RestartPoint& point)
{
    const auto before = point.clone();
    point.recalc();
    return !point.equals(*before);
}

std::string restartPointItemText(int index, bool start)
{
    return localized("復帰地点", "Point") + std::to_string(index) +
        (start ? localized("(スタート地点)", "(Start)") : std::string());
}

} // namespace vx
