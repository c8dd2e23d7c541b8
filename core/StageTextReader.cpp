#include "core/StageText.h"

#include "core/HexText.h"
#include "core/Language.h"
#include "core/StageTextKeys.h"
#include "core/VxObject.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <set>

namespace vx {
namespace {

using nlohmann::json;
using namespace stage_text;

// Thrown inside the reader only; ReadStageText turns it into a refusal.
struct TRefused {
    std::string path;
    std::string reason;
};

[[noreturn]] void Refuse(std::string path, std::string reason) { throw TRefused{std::move(path), std::move(reason)}; }

std::string Escaped(std::string_view key)
{
    std::string out;
    for (char c : key)
        out += c == '~' ? "~0" : c == '/' ? "~1" : std::string(1, c);
    return out;
}

std::string Child(const std::string& path, std::string_view key) { return path + "/" + Escaped(key); }
std::string Child(const std::string& path, std::size_t index) { return path + "/" + std::to_string(index); }

std::string N(std::size_t n) { return std::to_string(n); }

// A value as it stands in the text, cut short (at a character boundary) for a reason.
std::string Shown(const json& value)
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

std::string Range(std::uint32_t max, int digits)
{
    return FormatHex(0, digits) + "-" + FormatHex(max, digits);
}

// Words for what an array holds, in both languages.
struct TNoun {
    const char* japanese;
    const char* english;
};
constexpr TNoun Entries{"個の要素", "entries"}, Rows{"行", "rows"}, Lines{"行", "lines"},
    Bytes{"バイト", "bytes"}, Stages{"個のステージ", "stages"};

std::string Count(std::size_t n, TNoun noun)
{
    return IsJapanese() ? N(n) + " " + noun.japanese : N(n) + " " + noun.english;
}

void RequireObject(const json& j, const std::string& path, std::span<const std::string_view> keys)
{
    if (!j.is_object())
        Refuse(path, Tr("オブジェクト ({...}) であるべきところが ", "expected an object ({...}), found ") + Shown(j) +
                         Tr(" です", ""));
    for (std::string_view key : keys)
        if (!j.contains(key))
            Refuse(Child(path, key), Tr("キーがありません", "missing key"));
    for (const auto& item : j.items())
        if (std::ranges::find(keys, item.key()) == keys.end())
            Refuse(Child(path, item.key()), Tr("このキーはこの形式にありません", "unknown key"));
}

const json& Member(const json& j, const std::string& path, std::string_view key, std::string& childPath)
{
    childPath = Child(path, key);
    return j.find(key).value();
}

// An array of exactly `count` (or, with upTo, at most `count`) elements.
const json& RequireArray(const json& j, const std::string& path, std::size_t count, TNoun noun, bool upTo = false)
{
    if (!j.is_array())
        Refuse(path, Tr("配列 ([...]) であるべきところが ", "expected an array ([...]), found ") + Shown(j) +
                         Tr(" です", ""));
    if (upTo ? j.size() > count : j.size() != count)
        Refuse(path, IsJapanese() ? (upTo ? "最大 " : "") + Count(count, noun) + " のところ " + Count(j.size(), noun) + " あります"
                                  : (upTo ? "at most " : "expected ") + Count(count, noun) + ", found " + N(j.size()));
    return j;
}

int HexDigit(char c)
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
long HexValue(std::string_view text, std::size_t digits)
{
    if (text.size() != digits)
        return -1;
    long value = 0;
    for (char c : text) {
        const int d = HexDigit(c);
        if (d < 0)
            return -1;
        value = value * 16 + d;
    }
    return value;
}

std::string NotHex(const std::string& shown, int digits)
{
    return IsJapanese() ? shown + std::string(" は ") + N(static_cast<std::size_t>(digits)) + " 桁の16進数ではありません"
                        : shown + std::string(" is not ") + (digits == 2 ? "two" : "four") + " hex digits";
}

std::string OutOfRange(std::string_view shown, std::uint32_t max, int digits)
{
    return IsJapanese() ? std::string(shown) + " は範囲 " + Range(max, digits) + " の外です"
                        : std::string(shown) + " is out of range (" + Range(max, digits) + ")";
}

std::uint32_t HexNumber(const json& j, const std::string& path, int digits, std::uint32_t max)
{
    if (!j.is_string())
        Refuse(path, NotHex(Shown(j), digits));
    const long value = HexValue(j.get_ref<const std::string&>(), static_cast<std::size_t>(digits));
    if (value < 0)
        Refuse(path, NotHex(Shown(j), digits));
    if (static_cast<std::uint32_t>(value) > max)
        Refuse(path, OutOfRange(Shown(j), max, digits));
    return static_cast<std::uint32_t>(value);
}

std::uint8_t Byte(const json& j, const std::string& path, std::uint8_t max = 0xFF)
{
    return static_cast<std::uint8_t>(HexNumber(j, path, 2, max));
}

// "0F 10 20 30": bytes of two hex digits apart by blanks, exactly out.size() of them.
void ByteLine(const json& j, const std::string& path, std::span<std::uint8_t> out, std::uint8_t max = 0xFF)
{
    if (!j.is_string())
        Refuse(path, Tr("16進数の並び (\"00 01 ...\") であるべきところが ", "expected a string of hex bytes (\"00 01 ...\"), found ") +
                         Shown(j) + Tr(" です", ""));
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
            const std::string which = IsJapanese() ? N(found + 1) + " 番目の " : "byte " + N(found + 1) + ", ";
            const long value = HexValue(token, 2);
            if (value < 0)
                Refuse(path, which + NotHex(json(std::string(token)).dump(), 2));
            if (value > max)
                Refuse(path, which + OutOfRange(json(std::string(token)).dump(), max, 2));
            out[found] = static_cast<std::uint8_t>(value);
        }
        ++found;
        at = end;
    }
    if (found != out.size())
        Refuse(path, IsJapanese() ? Count(out.size(), Bytes) + " のところ " + Count(found, Bytes) + " あります"
                                  : "expected " + Count(out.size(), Bytes) + ", found " + N(found));
}

// An array of `lines` strings of `perLine` bytes each, filling out.
void ByteLines(const json& j, const std::string& path, std::span<std::uint8_t> out, std::size_t perLine)
{
    const std::size_t lines = out.size() / perLine;
    RequireArray(j, path, lines, perLine == 1 ? Entries : Lines);
    for (std::size_t l = 0; l < lines; ++l) {
        if (perLine == 1)
            out[l] = Byte(j[l], Child(path, l));
        else
            ByteLine(j[l], Child(path, l), out.subspan(l * perLine, perLine));
    }
}

class TReader {
public:
    explicit TReader(const json& root) : root_(root) {}

    TStageText Read()
    {
        if (!root_.is_object())
            Refuse("", Tr("ステージのテキストではありません (全体がオブジェクトではありません)",
                          "not a stage text: the whole is not an object"));
        CheckFormat();
        RequireObject(root_, "", RootKeys);
        std::string path;
        text_.stage = Byte(Member(root_, "", RootKeys[2], path), path, StageCount - 1);
        ReadShared(Member(root_, "", RootKeys[3], path), path);
        ReadPalettes(Member(root_, "", RootKeys[4], path), path);
        ReadAnimation(Member(root_, "", RootKeys[5], path), path);
        ByteLines(Member(root_, "", RootKeys[6], path), path, text_.patternTableSetting, PatternLineBytes);
        ByteLines(Member(root_, "", RootKeys[7], path), path, text_.scroll, 1);
        ReadRestartPoints(Member(root_, "", RootKeys[8], path), path);
        text_.enemies = ReadObjects(Member(root_, "", RootKeys[9], path), path, EnemyCapacity);
        text_.items = ReadObjects(Member(root_, "", RootKeys[10], path), path, ItemCapacity);
        ReadRooms(Member(root_, "", RootKeys[11], path), path);
        ReadChips(Member(root_, "", RootKeys[12], path), path);
        return std::move(text_);
    }

private:
    // Format and version first, so a text of another kind or version says so and not
    // which of its keys this one lacks.
    void CheckFormat() const
    {
        const auto format = root_.find(RootKeys[0]);
        const std::string formatPath = Child("", RootKeys[0]);
        if (format == root_.end())
            Refuse(formatPath, Tr("キーがありません (ステージのテキストではありません)", "missing key: not a stage text"));
        if (!format->is_string() || format->get_ref<const std::string&>() != StageTextFormat)
            Refuse(formatPath, IsJapanese() ? Shown(*format) + " はこの形式 (\"" + std::string(StageTextFormat) + "\") ではありません"
                                            : "the format " + Shown(*format) + " is not \"" + std::string(StageTextFormat) + "\"");
        const auto version = root_.find(RootKeys[1]);
        const std::string versionPath = Child("", RootKeys[1]);
        if (version == root_.end())
            Refuse(versionPath, Tr("キーがありません", "missing key"));
        if (!version->is_number_integer() || *version != StageTextVersion)
            Refuse(versionPath, IsJapanese() ? "版 " + Shown(*version) + " は読めません (読めるのは " + N(StageTextVersion) + ")"
                                             : "version " + Shown(*version) + " is not supported (this program reads version " +
                                                   N(StageTextVersion) + ")");
    }

    void ReadShared(const json& j, const std::string& path)
    {
        RequireObject(j, path, GroupKeys);
        for (std::size_t g = 0; g < GroupKeys.size(); ++g) {
            const std::string listPath = Child(path, GroupKeys[g]);
            const json& list = RequireArray(j[std::string(GroupKeys[g])], listPath, StageCount, Stages, true);
            std::vector<int>& stages = text_.shared[g];
            for (std::size_t i = 0; i < list.size(); ++i) {
                const int s = Byte(list[i], Child(listPath, i), StageCount - 1);
                if (!stages.empty() && s <= stages.back())
                    Refuse(Child(listPath, i), Tr("ステージ番号は昇順に一度ずつ書きます", "stages go in ascending order, each once"));
                stages.push_back(s);
            }
            if (std::ranges::find(stages, text_.stage) == stages.end())
                Refuse(listPath, Tr("このファイルのステージが含まれていません", "does not list this file's own stage"));
        }
    }

    void ReadPalettes(const json& j, const std::string& path)
    {
        RequireObject(j, path, PaletteKeys);
        ByteLines(j[std::string(PaletteKeys[0])], Child(path, PaletteKeys[0]), text_.bgPalette, PaletteLineBytes);
        ByteLines(j[std::string(PaletteKeys[1])], Child(path, PaletteKeys[1]), text_.spritePalette, PaletteLineBytes);
    }

    void ReadAnimation(const json& j, const std::string& path)
    {
        RequireObject(j, path, AnimationKeys);
        text_.frameCount = Byte(j[std::string(AnimationKeys[0])], Child(path, AnimationKeys[0]));
        text_.frameTimer = Byte(j[std::string(AnimationKeys[1])], Child(path, AnimationKeys[1]));
        ByteLines(j[std::string(AnimationKeys[2])], Child(path, AnimationKeys[2]), text_.animationColours,
                  AnimationLineBytes);
    }

    void ReadRestartPoints(const json& j, const std::string& path)
    {
        RequireArray(j, path, MidPointCount, Entries);
        std::array<std::string_view, PointFields.size()> keys{};
        std::ranges::transform(PointFields, keys.begin(), &TPointField::key);
        for (std::size_t p = 0; p < MidPointCount; ++p) {
            const std::string pointPath = Child(path, p);
            RequireObject(j[p], pointPath, keys);
            MidPointBytes& bytes = text_.restartPoints[p];
            for (const TPointField& field : PointFields) {
                const json& value = j[p][std::string(field.key)];
                const auto at = static_cast<std::size_t>(field.byte);
                if (field.word) {
                    const std::uint32_t word = HexNumber(value, Child(pointPath, field.key), 4, 0xFFFF);
                    bytes[at] = static_cast<std::uint8_t>(word >> 8);
                    bytes[at + 1] = static_cast<std::uint8_t>(word);
                } else {
                    bytes[at] = Byte(value, Child(pointPath, field.key));
                }
            }
        }
    }

    static std::vector<TStageTextObject> ReadObjects(const json& j, const std::string& path, int capacity)
    {
        RequireArray(j, path, static_cast<std::size_t>(capacity), Entries, true);
        std::vector<TStageTextObject> objects;
        objects.reserve(j.size());
        for (std::size_t i = 0; i < j.size(); ++i) {
            const std::string objectPath = Child(path, i);
            RequireObject(j[i], objectPath, ObjectKeys);
            // A room of 2C or more ends the list in the image, so no object stands there.
            auto field = [&](std::size_t k, std::uint8_t max) {
                return Byte(j[i][std::string(ObjectKeys[k])], Child(objectPath, ObjectKeys[k]), max);
            };
            objects.push_back({field(0, LastRoom), field(1, 0xFF), field(2, 0xFF), field(3, 0xFF)});
        }
        return objects;
    }

    void ReadRooms(const json& j, const std::string& path)
    {
        RequireArray(j, path, RoomCount, Entries);
        for (std::size_t room = 0; room < RoomCount; ++room) {
            const std::string roomPath = Child(path, room);
            RequireArray(j[room], roomPath, RoomSide, Rows);
            for (std::size_t row = 0; row < RoomSide; ++row) {
                std::array<std::uint8_t, RoomSide> cells{};
                ByteLine(j[room][row], Child(roomPath, row), cells);
                for (std::size_t x = 0; x < RoomSide; ++x)
                    text_.map[room * RoomSize + x * RoomSide + row] = cells[x];
            }
        }
    }

    void ReadChips(const json& j, const std::string& path)
    {
        RequireArray(j, path, ChipCount, Entries);
        for (std::size_t chip = 0; chip < ChipCount; ++chip) {
            const std::string chipPath = Child(path, chip);
            RequireObject(j[chip], chipPath, ChipKeys);
            std::array<std::uint8_t, QuarterCount> quarters{}, palettes{};
            ByteLine(j[chip][std::string(ChipKeys[0])], Child(chipPath, ChipKeys[0]), quarters, MaxQuarterChip);
            ByteLine(j[chip][std::string(ChipKeys[1])], Child(chipPath, ChipKeys[1]), palettes, MaxChipPalette);
            const auto at = chip * QuarterCount;
            ByteLine(j[chip][std::string(ChipKeys[2])], Child(chipPath, ChipKeys[2]),
                     std::span(text_.chipAttributes).subspan(at, QuarterCount), MaxChipAttribute);
            for (std::size_t k = 0; k < QuarterCount; ++k)
                text_.chipEntries[at + k] = static_cast<std::uint8_t>(palettes[k] << 6 | quarters[k]);
        }
    }

    const json& root_;
    TStageText text_;
};

// Deeper than any table of the format; stops a hostile nesting before it costs anything.
constexpr std::size_t MaxDepth = 8;

// Parses, refusing a key that stands twice in one object (a merge leaves such texts), which
// the JSON library would otherwise settle silently.
json Parse(std::string_view text)
{
    struct TFrame {
        bool array = false;
        std::size_t index = 0;
        std::string key;
        std::set<std::string> keys;
    };
    std::vector<TFrame> frames;
    auto pathTo = [&](std::size_t depth) {
        std::string path;
        for (std::size_t f = 0; f < depth; ++f)
            path = frames[f].array ? Child(path, frames[f].index) : Child(path, frames[f].key);
        return path;
    };
    auto valueDone = [&] {
        if (!frames.empty() && frames.back().array)
            ++frames.back().index;
    };
    auto callback = [&](int, json::parse_event_t event, json& parsed) {
        switch (event) {
        case json::parse_event_t::object_start:
        case json::parse_event_t::array_start:
            if (frames.size() >= MaxDepth)
                Refuse(pathTo(frames.size()), Tr("入れ子が深すぎます", "nested too deep"));
            frames.emplace_back().array = event == json::parse_event_t::array_start;
            break;
        case json::parse_event_t::key: {
            TFrame& frame = frames.back();
            frame.key = parsed.get<std::string>();
            if (!frame.keys.insert(frame.key).second)
                Refuse(pathTo(frames.size()), Tr("同じキーが二度あります", "the key stands twice"));
            break;
        }
        case json::parse_event_t::object_end:
        case json::parse_event_t::array_end:
            frames.pop_back();
            valueDone();
            break;
        case json::parse_event_t::value:
            valueDone();
            break;
        }
        return true;
    };
    try {
        return json::parse(text.begin(), text.end(), callback);
    } catch (const json::exception& error) {
        // The parser counts the characters it read; the last one is where it stopped.
        const auto* parseError = dynamic_cast<const json::parse_error*>(&error);
        const std::size_t stop = parseError && parseError->byte > 0 ? parseError->byte - 1 : 0;
        std::size_t line = 1, column = 1;
        for (std::size_t i = 0; i < stop && i < text.size(); ++i) {
            column = text[i] == '\n' ? 1 : column + 1;
            line += text[i] == '\n';
        }
        Refuse("", IsJapanese() ? N(line) + " 行 " + N(column) + " 桁目で JSON として読めません"
                                : "not valid JSON at line " + N(line) + ", column " + N(column));
    }
}

} // namespace

TStageTextResult ReadStageText(std::string_view text, const std::string& fileName)
{
    TStageTextResult result;
    try {
        const json root = Parse(text);
        result.text = TReader(root).Read();
        result.text->fileName = fileName;
    } catch (const TRefused& refused) {
        result.refusal = TStageTextRefusal{fileName, refused.path, refused.reason};
    }
    return result;
}

} // namespace vx
