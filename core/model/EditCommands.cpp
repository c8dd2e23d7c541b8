#include "core/model/EditCommands.h"

#include "core/model/StageData.h"
#include "core/model/StageObjects.h"

#include <algorithm>

namespace vx {

// The stage's own tables, for the commands that change them; nothing else reaches them.
struct StageTables {
    static std::array<std::uint8_t, PaletteBlockSize>& palette(StageData& stage) { return stage.palette_; }
    static std::uint8_t& frameCount(StageData& stage) { return stage.frameCount_; }
    static std::uint8_t& frameTimer(StageData& stage) { return stage.frameTimer_; }
    static StageData::ChipTables& chips(StageData& stage) { return *stage.chips_; }
    static std::vector<std::uint8_t>& map(StageData& stage) { return *stage.map_; }
    static std::vector<std::uint8_t>& scroll(StageData& stage) { return *stage.scroll_; }
    static void setObjects(StageData& stage, bool enemies, const ObjectsEdit::Tables& tables)
    {
        StageData::ObjectTables& objects = enemies ? *stage.enemies_ : *stage.items_;
        objects.manager->reload(tables[0], tables[1], tables[2], tables[3]);
        objects.tables = tables;
    }
    static void setRestartPoints(StageData& stage, const RestartPointsEdit::Points& points)
    {
        for (int i = 0; i < RestartPointCount; ++i)
            stage.restartPoints_[i]->setFromBytes(points[i]);
    }
};

std::uint8_t& PaletteColours::at(StageData& stage, int position) { return StageTables::palette(stage).at(position); }
std::uint8_t& AnimeFrameCount::at(StageData& stage, int) { return StageTables::frameCount(stage); }
std::uint8_t& AnimeFrameTimer::at(StageData& stage, int) { return StageTables::frameTimer(stage); }
std::uint8_t& AnimeColours::at(StageData& stage, int position) { return StageTables::palette(stage).at(32 + position); }
std::uint8_t& ChipEntries::at(StageData& stage, int position) { return StageTables::chips(stage).entries.at(position); }
std::uint8_t& ChipAttributes::at(StageData& stage, int position)
{
    return StageTables::chips(stage).attributes.at(position);
}
std::uint8_t& MapCells::at(StageData& stage, int position) { return StageTables::map(stage).at(position); }
std::uint8_t& ScrollEntries::at(StageData& stage, int position) { return StageTables::scroll(stage).at(position); }

void ChipPasteEdit::write(StageData& stage, const Bytes& bytes) const
{
    auto& chips = StageTables::chips(stage);
    std::copy_n(bytes.begin(), 4, chips.entries.begin() + position_);
    std::copy_n(bytes.begin() + 4, 4, chips.attributes.begin() + position_);
}

void ChipPasteEdit::apply(StageData& stage) const { write(stage, value_); }
void ChipPasteEdit::revert(StageData& stage) const { write(stage, old_); }

void RoomEdit::apply(StageData& stage) const
{
    std::copy(value_.begin(), value_.end(), StageTables::map(stage).begin() + position_);
}

void RoomEdit::revert(StageData& stage) const
{
    std::copy(old_.begin(), old_.end(), StageTables::map(stage).begin() + position_);
}

void ObjectsEdit::apply(StageData& stage) const { StageTables::setObjects(stage, enemies_, value_); }
void ObjectsEdit::revert(StageData& stage) const { StageTables::setObjects(stage, enemies_, old_); }

bool ObjectsEdit::mergeWith(const EditCommand& next)
{
    const auto* same = dynamic_cast<const ObjectsEdit*>(&next);
    if (!same || gesture_ == 0 || same->gesture_ != gesture_ || same->enemies_ != enemies_)
        return false;
    value_ = same->value_;
    return true;
}

void TileBytesEdit::apply(StageData& stage) const
{
    for (const TileByteChange& change : changes_)
        stage.tileEdits().set(change.offset, change.value);
}

void TileBytesEdit::revert(StageData& stage) const
{
    for (auto change = changes_.rbegin(); change != changes_.rend(); ++change)
        stage.tileEdits().set(change->offset, change->old);
}

bool TileBytesEdit::mergeWith(const EditCommand& next)
{
    const auto* same = dynamic_cast<const TileBytesEdit*>(&next);
    if (!same || gesture_ == 0 || same->gesture_ != gesture_)
        return false;
    // A byte painted twice in a stroke keeps its first old value.
    for (const TileByteChange& change : same->changes_) {
        auto mine = std::find_if(changes_.begin(), changes_.end(),
                                 [&](const TileByteChange& c) { return c.offset == change.offset; });
        if (mine != changes_.end())
            mine->value = change.value;
        else
            changes_.push_back(change);
    }
    return true;
}

int ObjectsEdit::room() const
{
    for (std::size_t i = 0; i < old_[0].size() && i < value_[0].size(); ++i) {
        bool differs = false;
        for (std::size_t t = 0; t < 4; ++t)
            differs = differs || old_[t][i] != value_[t][i];
        if (differs)
            return value_[0][i] < RoomCount ? value_[0][i] : (old_[0][i] < RoomCount ? old_[0][i] : -1);
    }
    return -1;
}

void RestartPointsEdit::apply(StageData& stage) const { StageTables::setRestartPoints(stage, value_); }
void RestartPointsEdit::revert(StageData& stage) const { StageTables::setRestartPoints(stage, old_); }

bool RestartPointsEdit::mergeWith(const EditCommand& next)
{
    const auto* same = dynamic_cast<const RestartPointsEdit*>(&next);
    if (!same || gesture_ == 0 || same->gesture_ != gesture_)
        return false;
    value_ = same->value_;
    return true;
}

void GroupedEdit::apply(StageData& stage) const
{
    for (const auto& command : commands_)
        command->apply(stage);
}

void GroupedEdit::revert(StageData& stage) const
{
    for (auto it = commands_.rbegin(); it != commands_.rend(); ++it)
        (*it)->revert(stage);
}

std::vector<EditedFlag> GroupedEdit::flags() const
{
    std::vector<EditedFlag> all;
    for (const auto& command : commands_)
        for (EditedFlag flag : command->flags())
            if (std::ranges::find(all, flag) == all.end())
                all.push_back(flag);
    return all;
}

} // namespace vx
