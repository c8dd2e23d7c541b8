#include "core/text/StageText.h"

#include "core/base/HexText.h"
#include "core/base/Language.h"
#include "core/model/ChipEntry.h"
#include "core/model/StageObjects.h"
#include "core/text/StageTextKeys.h"
#include "core/text/StageTextMerge.h"
#include "core/text/StageTextParse.h"

#include <algorithm>

namespace vx {
namespace {

using nlohmann::json;
using namespace stage_text;

// Where a value stands, built as the reader descends and spelled out only for a refusal.
class Path {
public:
    Path() = default;
    Path(const Path& parent, std::string_view key) : parent_(&parent), key_(key) {}
    Path(const Path& parent, std::size_t index) : parent_(&parent), index_(index), isIndex_(true) {}

    std::string text() const
    {
        if (!parent_)
            return "";
        return parent_->text() + "/" + (isIndex_ ? std::to_string(index_) : escaped(key_));
    }

private:
    const Path* parent_ = nullptr;
    std::string_view key_;
    std::size_t index_ = 0;
    bool isIndex_ = false;
};

[[noreturn]] void refuse(const Path& path, std::string reason) { stage_text::refuse(path.text(), std::move(reason)); }

std::string decimalText(std::size_t n) { return std::to_string(n); }

// A value as it stands in the text, cut short (at a character boundary) for a reason.
std::string shown(const json& value)
{
    std::string text = value.dump();
    if (text.size() > 24) {
        std::size_t cut = 20;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        text = text.substr(0, cut) + "...";
    }
    return text;
}

// Words for what an array holds, in both languages; English has a word for one.
struct Noun {
    const char* japanese;
    const char* englishOne;
    const char* english;
};
constexpr Noun Entries{"個の要素", "entry", "entries"}, Rows{"行", "row", "rows"}, Lines{"行", "line", "lines"},
    Bytes{"バイト", "byte", "bytes"}, Stages{"個のステージ", "stage", "stages"};

std::string countText(std::size_t n, Noun noun)
{
    return decimalText(n) + " " + (isJapanese() ? noun.japanese : n == 1 ? noun.englishOne : noun.english);
}

std::string found(const char* japaneseWhat, const char* englishWhat, const json& j)
{
    return isJapanese() ? std::string(japaneseWhat) + "であるべきところが " + shown(j) + " です"
                        : std::string("expected ") + englishWhat + ", found " + shown(j);
}

// A member known to be there (requireObject checked).
const json& memberAt(const json& j, std::string_view key) { return *j.find(key); }

void requireObject(const json& j, const Path& path, std::span<const std::string_view> keys)
{
    if (!j.is_object())
        refuse(path, found("オブジェクト ({...})", "an object ({...})", j));
    for (std::string_view key : keys)
        if (!j.contains(key))
            refuse(Path(path, key), localized("キーがありません", "missing key"));
    if (j.size() != keys.size())
        for (const auto& item : j.items())
            if (std::ranges::find(keys, item.key()) == keys.end())
                refuse(Path(path, item.key()),
                       localized("このキーはこの形式にありませ"
                                 "ん",
                                 "unknown key"));
}

// An array of exactly `count` (or, with upTo, at most `count`) elements.
void requireArray(const json& j, const Path& path, std::size_t count, Noun noun, bool upTo = false)
{
    if (!j.is_array())
        refuse(path, found("配列 ([...])", "an array ([...])", j));
    if (upTo ? j.size() > count : j.size() != count)
        refuse(path,
               isJapanese()
                   ? (upTo ? "最大 " : "") + countText(count, noun) + " のところ " + countText(j.size(), noun) +
                       " あります"
                   : (upTo ? "at most " : "expected ") + countText(count, noun) + ", found " + decimalText(j.size()));
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Exactly `digits` hex digits, or -1.
long hexValue(std::string_view text, std::size_t digits)
{
    if (text.size() != digits)
        return -1;
    long value = 0;
    for (char c : text) {
        const int d = hexDigit(c);
        if (d < 0)
            return -1;
        value = value * 16 + d;
    }
    return value;
}

std::string notHex(const std::string& shown, int digits)
{
    return isJapanese() ? shown + " は " + decimalText(static_cast<std::size_t>(digits)) +
            " 桁の16進数では"
            "ありません"
                        : shown + " is not " + (digits == 2 ? "two" : "four") + " hex digits";
}

std::string outOfRange(const std::string& shown, std::uint32_t max, int digits)
{
    const std::string range = formatHex(0, digits) + "-" + formatHex(max, digits);
    return isJapanese() ? shown + " は範囲 " + range + " の外です" : shown + " is out of range (" + range + ")";
}

std::uint32_t hexNumber(const json& j, const Path& path, int digits, std::uint32_t max)
{
    const long value = j.is_string() ? hexValue(j.get_ref<const std::string&>(), static_cast<std::size_t>(digits)) : -1;
    if (value < 0)
        refuse(path, notHex(shown(j), digits));
    if (static_cast<std::uint32_t>(value) > max)
        refuse(path, outOfRange(shown(j), max, digits));
    return static_cast<std::uint32_t>(value);
}

std::uint8_t byte(const json& j, const Path& path, std::uint8_t max = 0xFF)
{
    return static_cast<std::uint8_t>(hexNumber(j, path, 2, max));
}

// "0F 10 20 30": bytes of two hex digits apart by blanks, exactly out.size() of them.
void byteLine(const json& j, const Path& path, std::span<std::uint8_t> out, std::uint8_t max = 0xFF)
{
    if (!j.is_string())
        refuse(path, found("16進数の並び (\"00 01 ...\")", "a string of hex bytes (\"00 01 ...\")", j));
    const std::string& text = j.get_ref<const std::string&>();
    std::size_t found = 0, at = 0;
    while (true) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
            ++at;
        if (at == text.size())
            break;
        const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
        const std::string_view token(text.data() + at, end - at);
        if (found < out.size()) {
            const long value = hexValue(token, 2);
            if (value < 0 || value > max) {
                const std::string which =
                    isJapanese() ? decimalText(found + 1) + " 番目の " : "byte " + decimalText(found + 1) + ", ";
                const std::string shown = json(std::string(token)).dump();
                refuse(path, which + (value < 0 ? notHex(shown, 2) : outOfRange(shown, max, 2)));
            }
            out[found] = static_cast<std::uint8_t>(value);
        }
        ++found;
        at = end;
    }
    if (found != out.size())
        refuse(path,
               isJapanese() ? countText(out.size(), Bytes) +
                       " のとこ"
                       "ろ " +
                       countText(found, Bytes) + " あります"
                            : "expected " + countText(out.size(), Bytes) + ", found " + decimalText(found));
}

// An array of strings of `perLine` bytes each, filling out; one byte a line is a plain
// two-digit string.
void byteLines(const json& j, const Path& path, std::span<std::uint8_t> out, std::size_t perLine)
{
    const std::size_t lines = out.size() / perLine;
    requireArray(j, path, lines, perLine == 1 ? Entries : Lines);
    for (std::size_t l = 0; l < lines; ++l) {
        if (perLine == 1)
            out[l] = byte(j[l], Path(path, l));
        else
            byteLine(j[l], Path(path, l), out.subspan(l * perLine, perLine));
    }
}

class Reader {
public:
    explicit Reader(const json& root) : root_(root) {}

    StageText read()
    {
        const Path root;
        if (!root_.is_object())
            refuse(root,
                   localized("ステージのテキストではありません (全体がオブジェクトでは"
                             "ありません)",
                             "not a stage text: the whole is not an object"));
        checkFormat(root);
        // A merge left unresolved: taking ours' values silently would lose theirs.
        if (root_.contains(StageTextConflictsKey))
            refuse(Path(root, StageTextConflictsKey),
                   localized("マージの衝突が残っています。"
                             "解決してからこのリストを消してください",
                             "the merge left conflicts: resolve them, then remove this list"));
        requireObject(root_, root, RootKeys);
        auto member = [&](std::size_t k) -> const json& { return memberAt(root_, RootKeys[k]); };
        auto path = [&](std::size_t k) { return Path(root, RootKeys[k]); };
        text_.stage = byte(member(RootStage), path(RootStage), StageCount - 1);
        readShared(member(RootShared), path(RootShared));
        text_.palettesElsewhere = readPaletteFile(member(RootPalettes), path(RootPalettes));
        if (!text_.palettesElsewhere)
            readPalettes(member(RootPalettes), path(RootPalettes));
        readAnimation(member(RootAnimation), path(RootAnimation));
        byteLines(member(RootPatternTableSetting), path(RootPatternTableSetting), text_.patternTableSetting,
                  PatternLineBytes);
        auto here = [&](SharedGroup group) {
            const auto g = static_cast<std::size_t>(std::ranges::find(SharedGroups, group) - SharedGroups.begin());
            text_.heldElsewhere[g] = readHeldIn(member(GroupRootKeys[g]), path(GroupRootKeys[g]), g);
            return !text_.heldElsewhere[g];
        };
        if (here(SharedGroup::Scroll))
            byteLines(member(RootScroll), path(RootScroll), text_.scroll, 1);
        if (here(SharedGroup::RestartPoints))
            readRestartPoints(member(RootRestartPoints), path(RootRestartPoints));
        if (here(SharedGroup::EnemyObjects))
            text_.enemies = readObjects(member(RootEnemies), path(RootEnemies), EnemyCapacity);
        if (here(SharedGroup::ItemObjects))
            text_.items = readObjects(member(RootItems), path(RootItems), ItemCapacity);
        if (here(SharedGroup::Map))
            readRooms(member(RootRooms), path(RootRooms));
        if (here(SharedGroup::Chips))
            readChips(member(RootChips), path(RootChips));
        return std::move(text_);
    }

private:
    // Format and version first, so a text of another kind or version says so and not
    // which of its keys this one lacks.
    void checkFormat(const Path& root)
    {
        const Path formatPath(root, RootKeys[RootFormat]), versionPath(root, RootKeys[RootVersion]);
        const auto format = root_.find(RootKeys[RootFormat]);
        if (format == root_.end())
            refuse(formatPath,
                   localized("キーがありません (ステージのテキストではありませ"
                             "ん)",
                             "missing key: not a stage text"));
        if (!format->is_string() || format->get_ref<const std::string&>() != StageTextFormat)
            refuse(formatPath,
                   isJapanese() ? shown(*format) +
                           " はこの形"
                           "式 (\"" +
                           std::string(StageTextFormat) + "\") ではありません"
                                : "the format " + shown(*format) + " is not \"" + std::string(StageTextFormat) + "\"");
        const auto version = root_.find(RootKeys[RootVersion]);
        if (version == root_.end())
            refuse(versionPath, localized("キーがありません", "missing key"));
        if (!version->is_number_integer() || *version < OldestStageTextVersion || *version > StageTextVersion)
            refuse(versionPath,
                   isJapanese() ? "版 " + shown(*version) + " は読めません (読めるのは " +
                           decimalText(OldestStageTextVersion) + "-" + decimalText(StageTextVersion) + ")"
                                : "version " + shown(*version) + " is not supported (this program reads versions " +
                           decimalText(OldestStageTextVersion) + "-" + decimalText(StageTextVersion) + ")");
        version_ = version->get<int>();
    }

    void readShared(const json& j, const Path& path)
    {
        requireObject(j, path, GroupKeys);
        for (std::size_t g = 0; g < GroupKeys.size(); ++g) {
            const Path listPath(path, GroupKeys[g]);
            const json& list = memberAt(j, GroupKeys[g]);
            requireArray(list, listPath, StageCount, Stages, true);
            std::vector<int>& stages = text_.shared[g];
            for (std::size_t i = 0; i < list.size(); ++i) {
                const int s = byte(list[i], Path(listPath, i), StageCount - 1);
                if (!stages.empty() && s <= stages.back())
                    refuse(Path(listPath, i),
                           localized("ステージ番号は昇順に一度ずつ書きま"
                                     "す",
                                     "stages go in ascending order, each once"));
                stages.push_back(s);
            }
            if (std::ranges::find(stages, text_.stage) == stages.end())
                refuse(listPath,
                       localized("このファイルのステージが含まれていませ"
                                 "ん",
                                 "does not list this file's own stage"));
        }
    }

    // Whether a shared table stands as {"in": "stage-03.json"}: left to the file of the
    // lowest stage sharing it, which must be another's and named as a folder names it.
    bool readHeldIn(const json& j, const Path& path, std::size_t group) const
    {
        if (version_ < 3 || !j.is_object())
            return false;
        requireObject(j, path, std::array{HeldInKey});
        const Path inPath(path, HeldInKey);
        const std::vector<int>& stages = text_.shared[group];
        if (stages.front() == text_.stage)
            refuse(inPath,
                   localized("このステージが共有の先頭なので、表はこのファイルに書きま"
                             "す",
                             "this stage is the lowest that shares the table, so its file holds it"));
        const std::string expected = stageTextFileName(stages.front());
        const json& name = memberAt(j, HeldInKey);
        if (!name.is_string() || name.get_ref<const std::string&>() != expected)
            refuse(inPath, found(("\"" + expected + "\"").c_str(), ("\"" + expected + "\"").c_str(), name));
        return true;
    }

    // Whether the palettes stand as {"in": "palettes/stage-03.gpl"}, the stage's own file.
    bool readPaletteFile(const json& j, const Path& path) const
    {
        if (version_ < 3 || !j.is_object() || !j.contains(HeldInKey))
            return false;
        requireObject(j, path, std::array{HeldInKey});
        const std::string expected = paletteFileName(text_.stage);
        const json& name = memberAt(j, HeldInKey);
        if (!name.is_string() || name.get_ref<const std::string&>() != expected)
            refuse(Path(path, HeldInKey),
                   found(("\"" + expected + "\"").c_str(), ("\"" + expected + "\"").c_str(), name));
        return true;
    }

    void readPalettes(const json& j, const Path& path)
    {
        requireObject(j, path, PaletteKeys);
        byteLines(memberAt(j, PaletteKeys[0]), Path(path, PaletteKeys[0]), text_.bgPalette, PaletteLineBytes);
        byteLines(memberAt(j, PaletteKeys[1]), Path(path, PaletteKeys[1]), text_.spritePalette, PaletteLineBytes);
    }

    void readAnimation(const json& j, const Path& path)
    {
        requireObject(j, path, AnimationKeys);
        text_.frameCount = byte(memberAt(j, AnimationKeys[0]), Path(path, AnimationKeys[0]));
        text_.frameTimer = byte(memberAt(j, AnimationKeys[1]), Path(path, AnimationKeys[1]));
        byteLines(memberAt(j, AnimationKeys[2]), Path(path, AnimationKeys[2]), text_.animationColours,
                  AnimationLineBytes);
    }

    void readRestartPoints(const json& j, const Path& path)
    {
        requireArray(j, path, RestartPointCount, Entries);
        std::array<std::string_view, PointFields.size()> keys{};
        std::ranges::transform(PointFields, keys.begin(), &PointField::key);
        for (std::size_t p = 0; p < RestartPointCount; ++p) {
            const Path pointPath(path, p);
            requireObject(j[p], pointPath, keys);
            RestartPointBytes& bytes = text_.restartPoints[p];
            for (const PointField& field : PointFields) {
                const json& value = memberAt(j[p], field.key);
                const auto at = static_cast<std::size_t>(field.byte);
                if (field.word) {
                    const std::uint32_t word = hexNumber(value, Path(pointPath, field.key), 4, 0xFFFF);
                    bytes[at] = static_cast<std::uint8_t>(word >> 8);
                    bytes[at + 1] = static_cast<std::uint8_t>(word);
                } else {
                    bytes[at] = byte(value, Path(pointPath, field.key));
                }
            }
        }
    }

    static std::vector<StageTextObject> readObjects(const json& j, const Path& path, int capacity)
    {
        requireArray(j, path, static_cast<std::size_t>(capacity), Entries, true);
        std::vector<StageTextObject> objects;
        objects.reserve(j.size());
        for (std::size_t i = 0; i < j.size(); ++i) {
            const Path objectPath(path, i);
            requireObject(j[i], objectPath, ObjectKeys);
            // A room of 2C or more ends the list in the image, so no object stands there.
            auto field = [&](std::size_t k, std::uint8_t max) {
                return byte(memberAt(j[i], ObjectKeys[k]), Path(objectPath, ObjectKeys[k]), max);
            };
            objects.push_back({field(0, LastRoom), field(1, 0xFF), field(2, 0xFF), field(3, 0xFF)});
        }
        return objects;
    }

    void readRooms(const json& j, const Path& path)
    {
        requireArray(j, path, RoomCount, Entries);
        for (std::size_t room = 0; room < RoomCount; ++room) {
            const Path roomPath(path, room);
            const Path rowsPath(roomPath, RoomKeys[1]);
            const json* rows = &j[room];
            // Version 1 has the rows alone; from 2 on a room names itself.
            if (version_ >= 2) {
                requireObject(*rows, roomPath, RoomKeys);
                const Path numberPath(roomPath, RoomKeys[0]);
                if (byte(memberAt(*rows, RoomKeys[0]), numberPath, LastRoom) != room)
                    refuse(numberPath,
                           isJapanese() ? "部屋番号が位"
                                          "置 (" +
                                   formatHex(static_cast<std::uint32_t>(room), 2) + ") と合いません"
                                        : "the room number does not match its place (" +
                                   formatHex(static_cast<std::uint32_t>(room), 2) + ")");
                rows = &memberAt(*rows, RoomKeys[1]);
            }
            const Path& linesPath = version_ >= 2 ? rowsPath : roomPath;
            requireArray(*rows, linesPath, RoomSide, Rows);
            for (std::size_t row = 0; row < RoomSide; ++row) {
                std::array<std::uint8_t, RoomSide> cells{};
                byteLine((*rows)[row], Path(linesPath, row), cells);
                for (std::size_t x = 0; x < RoomSide; ++x)
                    text_.map[room * RoomSize + x * RoomSide + row] = cells[x];
            }
        }
    }

    void readChips(const json& j, const Path& path)
    {
        requireArray(j, path, ChipCount, Entries);
        for (std::size_t chip = 0; chip < ChipCount; ++chip) {
            const Path chipPath(path, chip);
            const json& c = j[chip];
            requireObject(c, chipPath, ChipKeys);
            std::array<std::uint8_t, QuarterCount> quarters{}, palettes{};
            const auto at = chip * QuarterCount;
            byteLine(memberAt(c, ChipKeys[0]), Path(chipPath, ChipKeys[0]), quarters, MaxQuarterChip);
            byteLine(memberAt(c, ChipKeys[1]), Path(chipPath, ChipKeys[1]), palettes, MaxChipPalette);
            byteLine(memberAt(c, ChipKeys[2]), Path(chipPath, ChipKeys[2]),
                     std::span(text_.chipAttributes).subspan(at, QuarterCount), MaxChipAttribute);
            for (std::size_t k = 0; k < QuarterCount; ++k)
                text_.chipEntries[at + k] = ChipEntry{palettes[k], quarters[k]}.encode();
        }
    }

    const json& root_;
    StageText text_;
    int version_ = StageTextVersion;
};

} // namespace

Result<StageText> readStageText(std::string_view text, const std::string& fileName)
{
    try {
        const json root = parseDocument(text);
        StageText read = Reader(root).read();
        read.fileName = fileName;
        return read;
    } catch (const Refused& refused) {
        return Error{refused.reason, fileName, refused.path};
    }
}

} // namespace vx
