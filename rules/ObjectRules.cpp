#include "rules/ObjectRules.h"

#include "core/HexText.h"
#include "core/Language.h"
#include "core/VxObject.h"

#include <algorithm>
#include <cstdlib>

namespace vx {
namespace {

std::string Hex2(int value) { return FormatHex(static_cast<std::uint32_t>(value & 0xFF), 2); }

// Lines end at CR LF, LF or CR.
std::vector<std::string_view> Lines(std::string_view text)
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

std::optional<TObjectLine> ParseLine(std::string_view line)
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
        const auto value = ParseHex(line.substr(at, end - at));
        if (!value)
            return std::nullopt; // a bad token ends the line
        values[taken++] = static_cast<std::uint8_t>(*value & 0xFF);
        at = end;
    }
    return TObjectLine{values[0], values[1], values[2]};
}

} // namespace

int ObjectCoordinate(int position, int size)
{
    return size > 0 ? static_cast<int>(static_cast<long long>(position) * 256 / size) : 0;
}

TVxObjectNode* HitTestObject(const TVxObjectList& room, int px, int py)
{
    for (int i = 0; i < room.Count(); ++i) {
        TVxObjectNode* object = room.Items(i);
        if (std::abs(px - object->X) <= ObjectHitReach && std::abs(py - object->Y) <= ObjectHitReach)
            return object;
    }
    return nullptr;
}

std::optional<TObjectPoint> DragPosition(int px, int py, bool ctrl, bool shift)
{
    if (ctrl && shift)
        return std::nullopt;
    const int grid = ctrl ? 8 : shift ? 4 : 1;
    // Division towards zero, as the snapping has always worked (the clamp follows).
    return TObjectPoint{px / grid * grid, py / grid * grid};
}

int StepWithin(int value, int step, int lowest, int highest) { return std::clamp(value + step, lowest, highest); }

int FirstLeftRoom(int startRoom) { return std::clamp(startRoom, 0, LastLeftViewRoom); }

int LeftRoomShowing(int left, int room)
{
    if (room < left)
        left = room;
    else if (room > left + 1)
        left = room - 1;
    return std::clamp(left, 0, LastLeftViewRoom);
}

std::string ObjectHintText(int orderIndex, const TVxObjectNode& object, const std::vector<std::string>& kindNames)
{
    const std::string name = object.Kind < kindNames.size() ? kindNames[object.Kind] : Hex2(object.Kind);
    if (IsJapanese())
        return "設置番号:" + Hex2(orderIndex) + "\r\nX座標:" + Hex2(object.X) + "\r\nY座標:" + Hex2(object.Y) +
               "\r\n種類:\r\n" + name;
    return "Index:" + Hex2(orderIndex) + "\r\nXPos:" + Hex2(object.X) + "\r\nYPos:" + Hex2(object.Y) + "\r\nKind:\r\n" +
           name;
}

std::string ShownRoomsText(int left) { return Hex2(left) + "-" + Hex2(left + 1); }

std::string RoomCountsText(const TVxObjectManager& objects, int left)
{
    const auto count = [&](int room) { return room >= 0 && room < RoomCount ? objects.Lists(room).Count() : 0; };
    return std::to_string(count(left)) + "-" + std::to_string(count(left + 1));
}

std::string TotalCountText(const TVxObjectManager& objects, int limit)
{
    return std::to_string(objects.TotalCount()) + " / " + std::to_string(limit);
}

TObjectMenuState ObjectMenuState(const TVxObjectNode* hovered, int clipboard)
{
    const bool japanese = IsJapanese();
    TObjectMenuState state;
    state.create = {hovered == nullptr, "オブジェクトの新規作成"};
    if (hovered) {
        const std::string kind = Hex2(hovered->Kind);
        state.copy = {true, japanese ? "このオブジェクト(" + kind + ")をコピー" : "Copy Object(" + kind + ")"};
        state.select = {true, japanese ? "このオブジェクト(" + kind + ")を選択" : "Select Object(" + kind + ")"};
        state.remove = {true, japanese ? "このオブジェクト(" + kind + ")を削除" : "Remove Object(" + kind + ")"};
    } else {
        state.copy = {false, japanese ? "オブジェクトをコピー" : "Copy"};
        state.select = {false, japanese ? "オブジェクトを選択" : "Select"};
        state.remove = {false, japanese ? "オブジェクトを削除" : "Remove"};
    }
    const bool copied = clipboard >= 0;
    const std::string kind = copied ? Hex2(clipboard) : std::string();
    state.paste = {hovered == nullptr && copied,
                   copied ? (japanese ? "オブジェクト(" + kind + ")を貼り付け" : "Paste Object(" + kind + ")")
                          : (japanese ? "オブジェクトを貼り付け" : "Paste")};
    return state;
}

std::string RoomObjectsText(const TVxObjectList& room)
{
    std::string text;
    for (int i = 0; i < room.Count(); ++i) {
        const TVxObjectNode& object = *room.Items(i);
        text += Hex2(object.X) + " " + Hex2(object.Y) + " " + Hex2(object.Kind) + "\r\n";
    }
    return text;
}

std::vector<TObjectLine> ParseRoomObjectsText(std::string_view text)
{
    std::vector<TObjectLine> objects;
    for (std::string_view line : Lines(text))
        if (const auto object = ParseLine(line))
            objects.push_back(*object);
    return objects;
}

int RoomObjectsLimit(const TVxObjectManager& objects, int room)
{
    if (room < 0 || room >= RoomCount)
        return 0;
    return std::max(objects.Capacity - (objects.TotalCount() - objects.Lists(room).Count()), 0);
}

bool RoomObjectsFit(const TVxObjectManager& objects, int room, std::size_t lines)
{
    if (room < 0 || room >= RoomCount)
        return false;
    const std::size_t others = static_cast<std::size_t>(objects.TotalCount() - objects.Lists(room).Count());
    return others + lines <= static_cast<std::size_t>(objects.Capacity);
}

std::string RoomTextCaption(int room)
{
    return IsJapanese() ? "部屋番号" + Hex2(room) + "のオブジェクト編集" : "Edit Object in Screen " + Hex2(room);
}

std::string CannotCreateObjectText()
{
    return Tr("オブジェクトを作成できませんでした。", "Failed to Create a New Object");
}

std::string FailedToAddObjectsText() { return Tr("オブジェクトの追加に失敗しました", "Failed to Add Objects"); }

std::string RoomObjectsDoNotFitText(int typed, int fit)
{
    const std::string have = std::to_string(typed), most = std::to_string(fit);
    if (IsJapanese())
        return FailedToAddObjectsText() + "\n何も変更していません。入力は" + have + "個ですが、この部屋に置けるのは" +
               most + "個までです。";
    return FailedToAddObjectsText() + "\nNothing was applied: the text has " + have +
           (typed == 1 ? " object" : " objects") + " and this room can hold at most " + most + ".";
}

std::string OrderTypeQuestion()
{
    return Tr("オブジェクトの順序決定方法を変更しようとしています。自由順序から部屋単位で管理への変更はオブジェクトの順序が変"
              "更される可能性があります。変更を行いますか？",
              "Intend to Order Method.Switching \"Free\" to \"By Screen\" maybe changes Order of Objects.Do you really do?");
}

} // namespace vx
