#include "core/text/StageTextMerge.h"

#include "core/base/HexText.h"
#include "core/text/StageTextKeys.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace vx {
namespace {

using namespace stage_text;

std::string hex2(unsigned value) { return formatHex(value, 2); }

std::string hexText(std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (std::uint8_t b : bytes)
        text += hex2(b);
    return text;
}

// Names the values both sides changed differently; or, comparing, every value ours changed.
struct Naming {
    bool comparing = false;
    std::string baseName = "base", oursName = "ours";
};

class Merger {
public:
    Merger(const StageText& base, const StageText& ours, const StageText& theirs, StageTextMerge& out,
           Naming naming = {})
        : base_(base), ours_(ours), theirs_(theirs), out_(out), naming_(std::move(naming))
    {
    }

    void run()
    {
        StageText& m = out_.merged;
        for (std::size_t g = 0; g < GroupKeys.size(); ++g) {
            if (!pick(base_.shared[g], ours_.shared[g], theirs_.shared[g], m.shared[g]) ||
                changed(base_.shared[g], ours_.shared[g]))
                conflict("shared " + std::string(GroupKeys[g]), "the sides list different stages");
            bool held = false;
            const bool oursHeld = ours_.heldElsewhere[g];
            if (!pick(base_.heldElsewhere[g], oursHeld, theirs_.heldElsewhere[g], held) ||
                changed(base_.heldElsewhere[g], oursHeld))
                conflict(std::string(GroupTableKeys[g]),
                         naming_.comparing ? (oursHeld ? naming_.oursName : naming_.baseName) +
                                 " names another file for the table, " +
                                 (oursHeld ? naming_.baseName : naming_.oursName) + " holds it"
                                           : "one side holds the table, the other names another file");
            m.heldElsewhere[g] = held;
        }
        const bool oursHeld = ours_.palettesElsewhere;
        if (!pick(base_.palettesElsewhere, oursHeld, theirs_.palettesElsewhere, m.palettesElsewhere) ||
            changed(base_.palettesElsewhere, oursHeld))
            conflict("palettes",
                     naming_.comparing
                         ? (oursHeld ? naming_.oursName : naming_.baseName) + " names the palette file, " +
                             (oursHeld ? naming_.baseName : naming_.oursName) + " holds the palettes"
                         : "one side holds the palettes, the other names the palette file");
        bytes(&StageText::bgPalette, [](std::size_t i) { return "background palette entry " + std::to_string(i); });
        bytes(&StageText::spritePalette, [](std::size_t i) { return "sprite palette entry " + std::to_string(i); });
        value(&StageText::frameCount, "animation frameCount");
        value(&StageText::frameTimer, "animation frameTimer");
        bytes(&StageText::animationColours, [](std::size_t i) {
            return "animation colours row " + std::to_string(i / AnimationLineBytes) + " entry " +
                std::to_string(i % AnimationLineBytes);
        });
        bytes(&StageText::patternTableSetting, [](std::size_t i) {
            return "patternTableSetting line " + std::to_string(i / PatternLineBytes) + " byte " +
                std::to_string(i % PatternLineBytes);
        });
        bytes(&StageText::scroll, [](std::size_t i) { return "scroll entry " + hex2(static_cast<unsigned>(i)); });
        restartPoints();
        objects(&StageText::enemies, EnemyCapacity, "enemies");
        objects(&StageText::items, ItemCapacity, "items");
        // The map holds a room column by column; the text and the pages name column and row.
        bytes(&StageText::map, [](std::size_t i) {
            return "room " + hex2(static_cast<unsigned>(i / RoomSize)) + " column " +
                std::to_string(i % RoomSize / RoomSide) + " row " + std::to_string(i % RoomSide);
        });
        bytes(&StageText::chipEntries, [](std::size_t i) {
            return "chip " + hex2(static_cast<unsigned>(i / QuarterCount)) + " quarter " +
                std::to_string(i % QuarterCount);
        });
        bytes(&StageText::chipAttributes, [](std::size_t i) {
            return "chip " + hex2(static_cast<unsigned>(i / QuarterCount)) + " attribute " +
                std::to_string(i % QuarterCount);
        });
    }

private:
    // The merged value into out; false, leaving ours', when both sides changed it differently.
    template <class T>
    static bool pick(const T& base, const T& ours, const T& theirs, T& out)
    {
        out = ours == base ? theirs : ours;
        if (ours != base && theirs != base && ours != theirs) {
            out = ours;
            return false;
        }
        return true;
    }

    // Comparing, whether ours differs from base there.
    template <class T>
    bool changed(const T& base, const T& ours) const
    {
        return naming_.comparing && base != ours;
    }

    void conflict(const std::string& where, const std::string& what)
    {
        out_.conflicts.push_back("stage " + hex2(static_cast<unsigned>(ours_.stage)) + " " + where + ": " + what);
    }

    std::string values(const std::string& base, const std::string& ours, const std::string& theirs) const
    {
        if (naming_.comparing)
            return base + " in " + naming_.baseName + ", " + ours + " in " + naming_.oursName;
        return "base " + base + ", ours " + ours + ", theirs " + theirs;
    }

    void value(std::uint8_t StageText::*member, const std::string& where)
    {
        const std::uint8_t b = base_.*member, o = ours_.*member, t = theirs_.*member;
        if (!pick(b, o, t, out_.merged.*member) || changed(b, o))
            conflict(where, values(hex2(b), hex2(o), hex2(t)));
    }

    template <std::size_t N, class Where>
    void bytes(std::array<std::uint8_t, N> StageText::*member, Where where)
    {
        const auto &b = base_.*member, &o = ours_.*member, &t = theirs_.*member;
        auto& m = out_.merged.*member;
        for (std::size_t i = 0; i < N; ++i)
            if (!pick(b[i], o[i], t[i], m[i]) || changed(b[i], o[i]))
                conflict(where(i), values(hex2(b[i]), hex2(o[i]), hex2(t[i])));
    }

    // A field is its one or two bytes as a whole: an address is one value.
    void restartPoints()
    {
        for (std::size_t p = 0; p < RestartPointCount; ++p)
            for (const PointField& field : PointFields) {
                const auto at = static_cast<std::size_t>(field.byte);
                const std::size_t size = field.word ? 2 : 1;
                auto part = [&](const StageText& text) {
                    return std::vector<std::uint8_t>(text.restartPoints[p].begin() + at,
                                                     text.restartPoints[p].begin() + at + size);
                };
                std::vector<std::uint8_t> merged;
                const auto b = part(base_), o = part(ours_), t = part(theirs_);
                if (!pick(b, o, t, merged) || changed(b, o))
                    conflict("restart point " + std::to_string(p) + " " + std::string(field.key),
                             values(hexText(b), hexText(o), hexText(t)));
                std::ranges::copy(merged, out_.merged.restartPoints[p].begin() + at);
            }
    }

    static std::vector<StageTextObject> inRoom(const std::vector<StageTextObject>& list, int room)
    {
        std::vector<StageTextObject> found;
        std::ranges::copy_if(list, std::back_inserter(found), [&](const StageTextObject& o) { return o.room == room; });
        return found;
    }

    // Room by room: an object has no name, and its place in the list shifts with every
    // insertion, so the list of one room is the unit. Ours' stored order is kept; a room taken
    // from theirs stands where ours' objects of that room stood, or before ours' first object
    // of a later room.
    void objects(std::vector<StageTextObject> StageText::*member, int capacity, const std::string& name)
    {
        const auto &b = base_.*member, &o = ours_.*member, &t = theirs_.*member;
        auto& m = out_.merged.*member;
        if (naming_.comparing) {
            bool roomDiffers = false;
            for (int room = 0; room < RoomCount; ++room)
                if (inRoom(b, room) != inRoom(o, room)) {
                    roomDiffers = true;
                    conflict("room " + hex2(static_cast<unsigned>(room)) + " " + name,
                             "the list differs from " + naming_.baseName);
                }
            if (o != b && !roomDiffers)
                conflict(name, "the same objects stand in another order than in " + naming_.baseName);
            return;
        }
        if (t == b || o == t) {
            m = o;
            return;
        }
        if (o == b) {
            m = t;
            return;
        }
        std::array<bool, RoomCount> takeTheirs{}, placed{}, inOurs{};
        for (int room = 0; room < RoomCount; ++room) {
            const auto rb = inRoom(b, room), ro = inRoom(o, room), rt = inRoom(t, room);
            inOurs[static_cast<std::size_t>(room)] = !ro.empty();
            std::vector<StageTextObject> unused;
            if (!pick(rb, ro, rt, unused))
                conflict("room " + hex2(static_cast<unsigned>(room)) + " " + name,
                         "both sides changed this room's list differently");
            else
                takeTheirs[static_cast<std::size_t>(room)] = ro == rb && rt != rb;
        }
        std::vector<StageTextObject> merged;
        auto place = [&](int room) {
            const auto r = static_cast<std::size_t>(room);
            if (takeTheirs[r] && !placed[r]) {
                std::ranges::copy(inRoom(t, room), std::back_inserter(merged));
                placed[r] = true;
            }
        };
        for (const StageTextObject& object : o) {
            for (int room = 0; room < object.room; ++room)
                if (!inOurs[static_cast<std::size_t>(room)])
                    place(room);
            place(object.room);
            if (!takeTheirs[object.room])
                merged.push_back(object);
        }
        for (int room = 0; room < RoomCount; ++room)
            place(room);
        if (merged.size() > static_cast<std::size_t>(capacity)) {
            conflict(name,
                     "the merged list holds " + std::to_string(merged.size()) + " objects, more than " +
                         std::to_string(capacity));
            merged = o;
        }
        m = std::move(merged);
    }

    const StageText &base_, &ours_, &theirs_;
    StageTextMerge& out_;
    Naming naming_;
};

} // namespace

Result<StageTextMerge> mergeStageTexts(const StageText& base, const StageText& ours, const StageText& theirs)
{
    for (const StageText* text : {&base, &theirs})
        if (text->stage != ours.stage)
            return Error("the texts hold different stages (" + hex2(static_cast<unsigned>(ours.stage)) + " and " +
                             hex2(static_cast<unsigned>(text->stage)) + ")",
                         text->fileName);
    StageTextMerge merge;
    merge.merged = ours;
    Merger(base, ours, theirs, merge).run();
    // A table the merged text leaves to another file holds nothing, whatever a side held.
    emptyTablesHeldElsewhere(merge.merged);
    return merge;
}

std::vector<std::string> stageTextDifferences(const StageText& from, const StageText& to, const std::string& fromName,
                                              const std::string& toName)
{
    // Where one holds a table the other leaves to another file, that is the one difference.
    StageText a = from, b = to;
    for (std::size_t g = 0; g < SharedGroups.size(); ++g)
        if (a.heldElsewhere[g] != b.heldElsewhere[g])
            a.heldElsewhere[g] = b.heldElsewhere[g] = true;
    if (a.palettesElsewhere != b.palettesElsewhere)
        a.palettesElsewhere = b.palettesElsewhere = true;
    emptyTablesHeldElsewhere(a);
    emptyTablesHeldElsewhere(b);
    a.heldElsewhere = from.heldElsewhere;
    b.heldElsewhere = to.heldElsewhere;
    a.palettesElsewhere = from.palettesElsewhere;
    b.palettesElsewhere = to.palettesElsewhere;
    StageTextMerge compared;
    Merger(a, b, a, compared, {true, fromName, toName}).run();
    return std::move(compared.conflicts);
}

std::string stageTextMergeToJson(const StageTextMerge& merge)
{
    std::string text = stageTextToJson(merge.merged);
    if (merge.conflicts.empty())
        return text;
    // The list goes last, after the tables, one line per conflict; the writer ends with "\n}\n".
    std::string list = ",\n  \"" + std::string(StageTextConflictsKey) + "\": [";
    for (std::size_t i = 0; i < merge.conflicts.size(); ++i)
        list += (i ? ",\n    " : "\n    ") + nlohmann::json(merge.conflicts[i]).dump();
    list += "\n  ]";
    text.insert(text.rfind("\n}"), list);
    return text;
}

} // namespace vx
