#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/model/RestartPoint.h"

namespace vx {

// Characters a box holds: 4 for the two map addresses, 2 for the rest.
int restartPointFieldLength(int field);
// The box's text: upper-case hex, at least two digits.
std::string restartPointFieldText(const RestartPoint& point, int field);
// A full box's text: the value to store, or nothing when it is not hex, lies outside the
// field's range (a start room above 2B) or equals the stored value. Taken as 16 bits.
std::optional<std::uint16_t> restartPointFieldInput(const RestartPoint& point, int field, std::string_view text);

// The landing height one row up or down: rows of 16 pixels at offset 4, from 04 to F4.
std::uint8_t stepStartY(std::uint8_t y, bool up);
// Recalculates the map addresses and object numbers from the start room; whether
// anything changed.
bool recalcRestartPoint(RestartPoint& point);

// The point list's item: "Point3(Start)" / "復帰地点3(スタート地点)".
std::string restartPointItemText(int index, bool start);

} // namespace vx
