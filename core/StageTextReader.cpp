#include "core/StageText.h"

#include "core/ChipEntry.h"
#include "core/HexText.h"
#include "core/Language.h"
#include "core/StageTextKeys.h"
#include "core/StageTextParse.h"
#include "core/VxObject.h"

#include <algorithm>

namespace vx {
namespace {

using nlohmann::json;
using namespace stage_text;

// Where a value stands, built as the reader descends and spelled out only for a refusal.
class TPath {
public:
    TPath() = default;
    TPath(const TPath& parent, std::string_view key) : parent_(&parent), key_(key) {}
    TPath(const TPath& parent, std::size_t index) : parent_(&parent), index_(index), isIndex_(true) {}

    std::string Text() const
    {
        if (!parent_)
            return "";
        return parent_->Text() + "/" + (isIndex_ ? std::to_string(index_) : Escaped(key_));
    }

private:
    const TPath* parent_ = nullptr;
    std::string_view key_;
    std::size_t index_ = 0;
    bool isIndex_ = false;
};

[[noreturn]] void Refuse(const TPath& path, std::string reason) { stage_text::Refuse(path.Text(), std::move(reason)); }

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

// Words for what an array holds, in both languages; English has a word for one.
struct TNoun {
    const char* japanese;
    const char* englishOne;
    const char* english;
};
constexpr TNoun Entries{"個の要素", "entry", "entries"}, Rows{"行", "row", "rows"}, Lines{"行", "line", "lines"},
    Bytes{"バイト", "byte", "bytes"}, Stages{"個のステージ", "stage", "stages"};

std::string Count(std::size_t n, TNoun noun)
{
    return N(n) + " " + (IsJapanese() ? noun.japanese : n == 1 ? noun.englishOne : noun.english);
}

std::string Found(const char* japaneseWhat, const char* englishWhat, const json& j)
{
    return IsJapanese() ? std::string(japaneseWhat) + "であるべきところが " + Shown(j) + " です"
                        : std::string("expected ") + englishWhat + ", found " + Shown(j);
}

// A member known to be there (RequireObject checked).
const json& At(const json& j, std::string_view key) { return *j.find(key); }

void RequireObject(const json& j, const TPath& path, std::span<const std::string_view> keys)
{
    if (!j.is_object())
        Refuse(path, Found("オブジェクト ({...})", "an object ({...})", j));
    for (std::string_view key : keys)
        if (!j.contains(key))
            Refuse(TPath(path, key), Tr("キーがありません", "missing key"));
    if (j.size() != keys.size())
        for (const auto& item : j.items())
            if (std::ranges::find(keys, item.key()) == keys.end())
                Refuse(TPath(path, item.key()), Tr("このキーはこの形式にありません", "unknown key"));
}

// An array of exactly `count` (or, with upTo, at most `count`) elements.
void RequireArray(const json& j, const TPath& path, std::size_t count, TNoun noun, bool upTo = false)
{
    if (!j.is_array())
        Refuse(path, Found("配列 ([...])", "an array ([...])", j));
    if (upTo ? j.size() > count : j.size() != count)
        Refuse(path, IsJapanese() ? (upTo ? "最大 " : "") + Count(count, noun) + " のところ " + Count(j.size(), noun) + " あります"
                                  : (upTo ? "at most " : "expected ") + Count(count, noun) + ", found " + N(j.size()));
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
    return IsJapanese() ? shown + " は " + N(static_cast<std::size_t>(digits)) + " 桁の16進数ではありません"
                        : shown + " is not " + (digits == 2 ? "two" : "four") + " hex digits";
}

std::string OutOfRange(const std::string& shown, std::uint32_t max, int digits)
{
    const std::string range = FormatHex(0, digits) + "-" + FormatHex(max, digits);
    return IsJapanese() ? shown + " は範囲 " + range + " の外です" : shown + " is out of range (" + range + ")";
}

std::uint32_t HexNumber(const json& j, const TPath& path, int digits, std::uint32_t max)
{
    const long value = j.is_string() ? HexValue(j.get_ref<const std::string&>(), static_cast<std::size_t>(digits)) : -1;
    if (value < 0)
        Refuse(path, NotHex(Shown(j), digits));
    if (static_cast<std::uint32_t>(value) > max)
        Refuse(path, OutOfRange(Shown(j), max, digits));
    return static_cast<std::uint32_t>(value);
}

std::uint8_t Byte(const json& j, const TPath& path, std::uint8_t max = 0xFF)
{
    return static_cast<std::uint8_t>(HexNumber(j, path, 2, max));
}

// "0F 10 20 30": bytes of two hex digits apart by blanks, exactly out.size() of them.
void ByteLine(const json& j, const TPath& path, std::span<std::uint8_t> out, std::uint8_t max = 0xFF)
{
    if (!j.is_string())
        Refuse(path, Found("16進数の並び (\"00 01 ...\")", "a string of hex bytes (\"00 01 ...\")", j));
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
            const long value = HexValue(token, 2);
            if (value < 0 || value > max) {
                const std::string which = IsJapanese() ? N(found + 1) + " 番目の " : "byte " + N(found + 1) + ", ";
                const std::string shown = json(std::string(token)).dump();
                Refuse(path, which + (value < 0 ? NotHex(shown, 2) : OutOfRange(shown, max, 2)));
            }
            out[found] = static_cast<std::uint8_t>(value);
        }
        ++found;
        at = end;
    }
    if (found != out.size())
        Refuse(path, IsJapanese() ? Count(out.size(), Bytes) + " のところ " + Count(found, Bytes) + " あります"
                                  : "expected " + Count(out.size(), Bytes) + ", found " + N(found));
}

// An array of strings of `perLine` bytes each, filling out; one byte a line is a plain
// two-digit string.
void ByteLines(const json& j, const TPath& path, std::span<std::uint8_t> out, std::size_t perLine)
{
    const std::size_t lines = out.size() / perLine;
    RequireArray(j, path, lines, perLine == 1 ? Entries : Lines);
    for (std::size_t l = 0; l < lines; ++l) {
        if (perLine == 1)
            out[l] = Byte(j[l], TPath(path, l));
        else
            ByteLine(j[l], TPath(path, l), out.subspan(l * perLine, perLine));
    }
}

class TReader {
public:
    explicit TReader(const json& root) : root_(root) {}

    TStageText Read()
    {
        const TPath root;
        if (!root_.is_object())
            Refuse(root, Tr("ステージのテキストではありません (全体がオブジェクトではありません)",
                            "not a stage text: the whole is not an object"));
        CheckFormat(root);
        RequireObject(root_, root, RootKeys);
        auto member = [&](std::size_t k) -> const json& { return At(root_, RootKeys[k]); };
        auto path = [&](std::size_t k) { return TPath(root, RootKeys[k]); };
        text_.stage = Byte(member(2), path(2), StageCount - 1);
        ReadShared(member(3), path(3));
        ReadPalettes(member(4), path(4));
        ReadAnimation(member(5), path(5));
        ByteLines(member(6), path(6), text_.patternTableSetting, PatternLineBytes);
        ByteLines(member(7), path(7), text_.scroll, 1);
        ReadRestartPoints(member(8), path(8));
        text_.enemies = ReadObjects(member(9), path(9), EnemyCapacity);
        text_.items = ReadObjects(member(10), path(10), ItemCapacity);
        ReadRooms(member(11), path(11));
        ReadChips(member(12), path(12));
        return std::move(text_);
    }

private:
    // Format and version first, so a text of another kind or version says so and not
    // which of its keys this one lacks.
    void CheckFormat(const TPath& root) const
    {
        const TPath formatPath(root, RootKeys[0]), versionPath(root, RootKeys[1]);
        const auto format = root_.find(RootKeys[0]);
        if (format == root_.end())
            Refuse(formatPath, Tr("キーがありません (ステージのテキストではありません)", "missing key: not a stage text"));
        if (!format->is_string() || format->get_ref<const std::string&>() != StageTextFormat)
            Refuse(formatPath, IsJapanese() ? Shown(*format) + " はこの形式 (\"" + std::string(StageTextFormat) + "\") ではありません"
                                            : "the format " + Shown(*format) + " is not \"" + std::string(StageTextFormat) + "\"");
        const auto version = root_.find(RootKeys[1]);
        if (version == root_.end())
            Refuse(versionPath, Tr("キーがありません", "missing key"));
        if (!version->is_number_integer() || *version != StageTextVersion)
            Refuse(versionPath, IsJapanese() ? "版 " + Shown(*version) + " は読めません (読めるのは " + N(StageTextVersion) + ")"
                                             : "version " + Shown(*version) + " is not supported (this program reads version " +
                                                   N(StageTextVersion) + ")");
    }

    void ReadShared(const json& j, const TPath& path)
    {
        RequireObject(j, path, GroupKeys);
        for (std::size_t g = 0; g < GroupKeys.size(); ++g) {
            const TPath listPath(path, GroupKeys[g]);
            const json& list = At(j, GroupKeys[g]);
            RequireArray(list, listPath, StageCount, Stages, true);
            std::vector<int>& stages = text_.shared[g];
            for (std::size_t i = 0; i < list.size(); ++i) {
                const int s = Byte(list[i], TPath(listPath, i), StageCount - 1);
                if (!stages.empty() && s <= stages.back())
                    Refuse(TPath(listPath, i), Tr("ステージ番号は昇順に一度ずつ書きます", "stages go in ascending order, each once"));
                stages.push_back(s);
            }
            if (std::ranges::find(stages, text_.stage) == stages.end())
                Refuse(listPath, Tr("このファイルのステージが含まれていません", "does not list this file's own stage"));
        }
    }

    void ReadPalettes(const json& j, const TPath& path)
    {
        RequireObject(j, path, PaletteKeys);
        ByteLines(At(j, PaletteKeys[0]), TPath(path, PaletteKeys[0]), text_.bgPalette, PaletteLineBytes);
        ByteLines(At(j, PaletteKeys[1]), TPath(path, PaletteKeys[1]), text_.spritePalette, PaletteLineBytes);
    }

    void ReadAnimation(const json& j, const TPath& path)
    {
        RequireObject(j, path, AnimationKeys);
        text_.frameCount = Byte(At(j, AnimationKeys[0]), TPath(path, AnimationKeys[0]));
        text_.frameTimer = Byte(At(j, AnimationKeys[1]), TPath(path, AnimationKeys[1]));
        ByteLines(At(j, AnimationKeys[2]), TPath(path, AnimationKeys[2]), text_.animationColours, AnimationLineBytes);
    }

    void ReadRestartPoints(const json& j, const TPath& path)
    {
        RequireArray(j, path, MidPointCount, Entries);
        std::array<std::string_view, PointFields.size()> keys{};
        std::ranges::transform(PointFields, keys.begin(), &TPointField::key);
        for (std::size_t p = 0; p < MidPointCount; ++p) {
            const TPath pointPath(path, p);
            RequireObject(j[p], pointPath, keys);
            MidPointBytes& bytes = text_.restartPoints[p];
            for (const TPointField& field : PointFields) {
                const json& value = At(j[p], field.key);
                const auto at = static_cast<std::size_t>(field.byte);
                if (field.word) {
                    const std::uint32_t word = HexNumber(value, TPath(pointPath, field.key), 4, 0xFFFF);
                    bytes[at] = static_cast<std::uint8_t>(word >> 8);
                    bytes[at + 1] = static_cast<std::uint8_t>(word);
                } else {
                    bytes[at] = Byte(value, TPath(pointPath, field.key));
                }
            }
        }
    }

    static std::vector<TStageTextObject> ReadObjects(const json& j, const TPath& path, int capacity)
    {
        RequireArray(j, path, static_cast<std::size_t>(capacity), Entries, true);
        std::vector<TStageTextObject> objects;
        objects.reserve(j.size());
        for (std::size_t i = 0; i < j.size(); ++i) {
            const TPath objectPath(path, i);
            RequireObject(j[i], objectPath, ObjectKeys);
            // A room of 2C or more ends the list in the image, so no object stands there.
            auto field = [&](std::size_t k, std::uint8_t max) {
                return Byte(At(j[i], ObjectKeys[k]), TPath(objectPath, ObjectKeys[k]), max);
            };
            objects.push_back({field(0, LastRoom), field(1, 0xFF), field(2, 0xFF), field(3, 0xFF)});
        }
        return objects;
    }

    void ReadRooms(const json& j, const TPath& path)
    {
        RequireArray(j, path, RoomCount, Entries);
        for (std::size_t room = 0; room < RoomCount; ++room) {
            const TPath roomPath(path, room);
            RequireArray(j[room], roomPath, RoomSide, Rows);
            for (std::size_t row = 0; row < RoomSide; ++row) {
                std::array<std::uint8_t, RoomSide> cells{};
                ByteLine(j[room][row], TPath(roomPath, row), cells);
                for (std::size_t x = 0; x < RoomSide; ++x)
                    text_.map[room * RoomSize + x * RoomSide + row] = cells[x];
            }
        }
    }

    void ReadChips(const json& j, const TPath& path)
    {
        RequireArray(j, path, ChipCount, Entries);
        for (std::size_t chip = 0; chip < ChipCount; ++chip) {
            const TPath chipPath(path, chip);
            const json& c = j[chip];
            RequireObject(c, chipPath, ChipKeys);
            std::array<std::uint8_t, QuarterCount> quarters{}, palettes{};
            const auto at = chip * QuarterCount;
            ByteLine(At(c, ChipKeys[0]), TPath(chipPath, ChipKeys[0]), quarters, MaxQuarterChip);
            ByteLine(At(c, ChipKeys[1]), TPath(chipPath, ChipKeys[1]), palettes, MaxChipPalette);
            ByteLine(At(c, ChipKeys[2]), TPath(chipPath, ChipKeys[2]),
                     std::span(text_.chipAttributes).subspan(at, QuarterCount), MaxChipAttribute);
            for (std::size_t k = 0; k < QuarterCount; ++k)
                text_.chipEntries[at + k] = TChipEntry{palettes[k], quarters[k]}.Encode();
        }
    }

    const json& root_;
    TStageText text_;
};

} // namespace

TStageTextResult ReadStageText(std::string_view text, const std::string& fileName)
{
    TStageTextResult result;
    try {
        const json root = ParseDocument(text);
        result.text = TReader(root).Read();
        result.text->fileName = fileName;
    } catch (const TRefused& refused) {
        result.refusal = TStageTextRefusal{fileName, refused.path, refused.reason};
    }
    return result;
}

} // namespace vx
