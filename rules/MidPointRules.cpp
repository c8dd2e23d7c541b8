#include "rules/MidPointRules.h"

#include "core/HexText.h"
#include "core/Language.h"
#include "core/MidPoint.h"
#include "core/Rooms.h"

#include <algorithm>

namespace vx {

int MidPointFieldLength(int field) { return field == mfMapBackAddr || field == mfMapForwardAddr ? 4 : 2; }

std::uint16_t MidPointFieldValue(const TMidPoint& point, int field)
{
    switch (field) {
    case mfStartY: return point.StartY;
    case mfStartRoom: return point.StartRoom();
    case mfEnemyIndex: return point.EnemyIndex;
    case mfItemIndex: return point.ItemIndex;
    case mfMapBackAddr: return point.MapBackAddr;
    case mfMapForwardAddr: return point.MapForwardAddr;
    case mfStartScroll: return point.StartScroll;
    case mfLeftRoom: return point.LeftRoom;
    case mfRightRoom: return point.RightRoom;
    default: return 0;
    }
}

std::string MidPointFieldText(const TMidPoint& point, int field) { return FormatHex(MidPointFieldValue(point, field), 2); }

std::optional<std::uint16_t> MidPointFieldInput(const TMidPoint& point, int field, std::string_view text)
{
    const auto parsed = ParseHex(text);
    if (!parsed || field < 0 || field >= MidPointFieldCount)
        return std::nullopt;
    const auto value = static_cast<std::uint16_t>(*parsed & 0xFFFF);
    const int highest = field == mfStartRoom ? LastRoom : MidPointFieldLength(field) == 4 ? 0xFFFF : 0xFF;
    if (value > highest || value == MidPointFieldValue(point, field))
        return std::nullopt;
    return value;
}

void SetMidPointField(TMidPoint& point, int field, std::uint16_t value)
{
    const auto byte = static_cast<std::uint8_t>(value);
    switch (field) {
    case mfStartY: point.StartY = byte; break;
    case mfStartRoom: point.SetStartRoom(byte); break;
    case mfEnemyIndex: point.EnemyIndex = byte; break;
    case mfItemIndex: point.ItemIndex = byte; break;
    case mfMapBackAddr: point.MapBackAddr = value; break;
    case mfMapForwardAddr: point.MapForwardAddr = value; break;
    case mfStartScroll: point.StartScroll = byte; break;
    case mfLeftRoom: point.LeftRoom = byte; break;
    case mfRightRoom: point.RightRoom = byte; break;
    default: break;
    }
}

std::uint8_t StepStartY(std::uint8_t y, bool up)
{
    const int row = y & 0xF0;
    return static_cast<std::uint8_t>(std::clamp(up ? row - 12 : row + 20, 0x04, 0xF4));
}

bool RecalcMidPoint(TMidPoint& point)
{
    const auto before = point.Clone();
    point.Recalc();
    return !point.Equals(*before);
}

std::string MidPointItemText(int index, bool start)
{
    return Tr("復帰地点", "Point") + std::to_string(index) + (start ? Tr("(スタート地点)", "(Start)") : std::string());
}

} // namespace vx
