#include "rules/ObjectRules.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/StageObjects.h"

#include <algorithm>
#include <cstdlib>

namespace vx {
namespace {

std::string hex2(int value) { return formatHex(static_cast<std::uint32_t>(value & 0xFF), 2); }

// Lines end at CR LF, LF or CR.
std::vector<std::string_view> textLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

std::optional<ObjectLine> parseLine(std::string_view line)
{
    std::uint8_t values[3] = {};
    int taken = 0;
    std::size_t at = 0;
    while (taken < 3) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        if (at >= line.size())
            return std::nullopt; // fewer than three tokens
        std::size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        const auto value = parseHex(line.substr(at, end - at));
        if (!value)
            return std::nullopt; // a bad token ends the line
        values[taken++] = static_cast<std::uint8_t>(*value & 0xFF);
        at = end;
    }
    return ObjectLine{values[0], values[1], values[2]};
}

} // namespace

int objectCoordinate(int position, int size)
{
    return size > 0 ? static_cast<int>(static_cast<long long>(position) * 256 / size) : 0;
}

const PlacedObject* hitTestObject(const RoomObjectList& room, int px, int py)
{
    for (int i = 0; i < room.count(); ++i) {
        const PlacedObject* object = room.items(i);
        if (std::abs(px - object->x) <= ObjectHitReach && std::abs(py - object->y) <= ObjectHitReach)
            return object;
    }
    return nullptr;
}

std::optional<ObjectPoint> dragPosition(int px, int py, bool ctrl, bool shift)
{
    if (ctrl && shift)
        return std::nullopt;
    const int grid = ctrl ? 8 : shift ? 4 : 1;
    // Division towards zero, as the snapping has always worked (the clamp follows).
    return ObjectPoint{px / grid * grid, py / grid * grid};
}

int stepWithin(int value, int step, int lowest, int highest) { return std::clamp(value + step, lowest, highest); }

int firstLeftRoom(int startRoom) { return std::clamp(startRoom, 0, LastLeftViewRoom); }

int leftRoomShowing(int left, int room)
{
    if (room < left)
        left = room;
    else if (room > left + 1)
        left = room - 1;
    return std::clamp(left, 0, LastLeftViewRoom);
}

std::string objectHintText(int orderIndex, const PlacedObject& object, const std::vector<std::string>& kindNames)
{
    const std::string name = object.kind < kindNames.size() ? kindNames[object.kind] : hex2(object.kind);
    if (isJapanese())
        return "設置番号:" + hex2(orderIndex) + "\r\nX座標:" + hex2(object.x) + "\r\nY座標:" + hex2(object.y) +
            "\r\n種類:\r\n" + name;
    return "Index:" + hex2(orderIndex) + "\r\nXPos:" + hex2(object.x) + "\r\nYPos:" + hex2(object.y) + "\r\nKind:\r\n" +
        name;
}

std::string shownRoomsText(int left) { return hex2(left) + "-" + hex2(left + 1); }

std::string roomCountsText(const StageObjects& objects, int left)
{
    const auto count = [&](int room) { return room >= 0 && room < RoomCount ? objects.lists(room).count() : 0; };
    return std::to_string(count(left)) + "-" + std::to_string(count(left + 1));
}

std::string totalCountText(const StageObjects& objects, int limit)
{
    return std::to_string(objects.totalCount()) + " / " + std::to_string(limit);
}

ObjectMenuState objectMenuState(const PlacedObject* hovered, int clipboard)
{
    const bool japanese = isJapanese();
    ObjectMenuState state;
    state.create = {hovered == nullptr, captionText("オブジェクトの新規作成", "Create New Object")};
    if (hovered) {
        const std::string kind = hex2(hovered->kind);
        state.copy = {true,
                      japanese ? "このオブジェク"
                                 "ト(" +
                              kind + ")をコピー"
                               : "Copy Object(" + kind + ")"};
        state.select = {true,
                        japanese ? "このオブジェク"
                                   "ト(" +
                                kind + ")を選択"
                                 : "Select Object(" + kind + ")"};
        state.remove = {true,
                        japanese ? "このオブジェク"
                                   "ト(" +
                                kind + ")を削除"
                                 : "Remove Object(" + kind + ")"};
    } else {
        state.copy = {false, japanese ? "オブジェクトをコピー" : "Copy"};
        state.select = {false, japanese ? "オブジェクトを選択" : "Select"};
        state.remove = {false, japanese ? "オブジェクトを削除" : "Remove"};
    }
    const bool copied = clipboard >= 0;
    const std::string kind = copied ? hex2(clipboard) : std::string();
    state.paste = {hovered == nullptr && copied,
                   copied ? (japanese ? "オブジェク"
                                        "ト(" +
                                     kind + ")を貼り付け"
                                      : "Paste Object(" + kind + ")")
                          : (japanese ? "オブジェクトを貼り付け" : "Paste")};
    return state;
}

std::string roomObjectsText(const RoomObjectList& room)
{
    std::string text;
    for (int i = 0; i < room.count(); ++i) {
        const PlacedObject& object = *room.items(i);
        text += hex2(object.x) + " " + hex2(object.y) + " " + hex2(object.kind) + "\r\n";
    }
    return text;
}

std::vector<ObjectLine> parseRoomObjectsText(std::string_view text)
{
    std::vector<ObjectLine> objects;
    for (std::string_view line : textLines(text))
        if (const auto object = parseLine(line))
            objects.push_back(*object);
    return objects;
}

int roomObjectsLimit(const StageObjects& objects, int room)
{
    if (room < 0 || room >= RoomCount)
        return 0;
    return std::max(objects.capacity - (objects.totalCount() - objects.lists(room).count()), 0);
}

bool roomObjectsFit(const StageObjects& objects, int room, std::size_t lines)
{
    if (room < 0 || room >= RoomCount)
        return false;
    const std::size_t others = static_cast<std::size_t>(objects.totalCount() - objects.lists(room).count());
    return others + lines <= static_cast<std::size_t>(objects.capacity);
}

std::string roomTextCaption(int room)
{
    return isJapanese() ? "部屋番"
                          "号" +
            hex2(room) + "のオブジェクト編集"
                        : "Edit Object in Screen " + hex2(room);
}

std::string cannotCreateObjectText()
{
    return localized("オブジェクトを作成できませんでした。", "Failed to Create a New Object");
}

std::string failedToAddObjectsText()
{
    return localized("オブジェクトの追加に失敗しまし"
                     "た",
                     "Failed to Add Objects");
}

std::string roomObjectsDoNotFitText(int typed, int fit)
{
    const std::string have = std::to_string(typed), most = std::to_string(fit);
    if (isJapanese())
        return failedToAddObjectsText() +
            "\n何も変更していません。入力"
            "は" +
            have + "個ですが、この部屋に置けるのは" + most + "個までです。";
    return failedToAddObjectsText() + "\nNothing was applied: the text has " + have +
        (typed == 1 ? " object" : " objects") + " and this room can hold at most " + most + ".";
}

std::string orderTypeQuestion()
{
    return localized(
        "オブジェクトの順序決定方法を変更しようとしています。自由順序から部屋単"
        "位で管理への変更はオブジェクトの順序が変"
        "更される可能性があります。変更を行いますか？",
        "Intend to Order Method.Switching \"Free\" to \"By Screen\" maybe changes Order of Objects.Do you really do?");
}

} // namespace vx
