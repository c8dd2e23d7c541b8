#include "core/EditCommands.h"

#include "core/StageData.h"
#include "core/VxObject.h"

#include <algorithm>

namespace vx {

// The stage's own tables, for the commands that change them; nothing else reaches them.
struct TStageTables {
    static std::array<std::uint8_t, PaletteBlockSize>& Palette(TStageData& stage) { return stage.palette_; }
    static std::uint8_t& FrameCount(TStageData& stage) { return stage.frameCount_; }
    static std::uint8_t& FrameTimer(TStageData& stage) { return stage.frameTimer_; }
    static TStageData::ChipTables& Chips(TStageData& stage) { return *stage.chips_; }
    static std::vector<std::uint8_t>& Map(TStageData& stage) { return *stage.map_; }
    static std::vector<std::uint8_t>& Scroll(TStageData& stage) { return *stage.scroll_; }
    static void SetObjects(TStageData& stage, bool enemies, const TObjectsEdit::Tables& tables)
    {
        TStageData::ObjectTables& objects = enemies ? *stage.enemies_ : *stage.items_;
        objects.manager->Reload(tables[0], tables[1], tables[2], tables[3]);
        objects.tables = tables;
        objects.committed = tables;
    }
    static void SetMidPoints(TStageData& stage, const TMidPointsEdit::Points& points)
    {
        for (int i = 0; i < MidPointCount; ++i)
            stage.midPoints_[i]->SetFromBytes(points[i]);
        *stage.midPointsCommitted_ = points;
    }
};

std::uint8_t& TPaletteColours::At(TStageData& stage, int position) { return TStageTables::Palette(stage).at(position); }
std::uint8_t& TAnimeFrameCount::At(TStageData& stage, int) { return TStageTables::FrameCount(stage); }
std::uint8_t& TAnimeFrameTimer::At(TStageData& stage, int) { return TStageTables::FrameTimer(stage); }
std::uint8_t& TAnimeColours::At(TStageData& stage, int position) { return TStageTables::Palette(stage).at(32 + position); }
std::uint8_t& TChipEntries::At(TStageData& stage, int position) { return TStageTables::Chips(stage).entries.at(position); }
std::uint8_t& TChipAttributes::At(TStageData& stage, int position)
{
    return TStageTables::Chips(stage).attributes.at(position);
}
std::uint8_t& TMapCells::At(TStageData& stage, int position) { return TStageTables::Map(stage).at(position); }
std::uint8_t& TScrollEntries::At(TStageData& stage, int position) { return TStageTables::Scroll(stage).at(position); }

void TChipPasteEdit::Write(TStageData& stage, const Bytes& bytes) const
{
    auto& chips = TStageTables::Chips(stage);
    std::copy_n(bytes.begin(), 4, chips.entries.begin() + position_);
    std::copy_n(bytes.begin() + 4, 4, chips.attributes.begin() + position_);
}

void TChipPasteEdit::Apply(TStageData& stage) const { Write(stage, value_); }
void TChipPasteEdit::Revert(TStageData& stage) const { Write(stage, old_); }

void TRoomEdit::Apply(TStageData& stage) const
{
    std::copy(value_.begin(), value_.end(), TStageTables::Map(stage).begin() + position_);
}

void TRoomEdit::Revert(TStageData& stage) const
{
    std::copy(old_.begin(), old_.end(), TStageTables::Map(stage).begin() + position_);
}

void TObjectsEdit::Apply(TStageData& stage) const { TStageTables::SetObjects(stage, enemies_, value_); }
void TObjectsEdit::Revert(TStageData& stage) const { TStageTables::SetObjects(stage, enemies_, old_); }

bool TObjectsEdit::MergeWith(const TEditCommand& next)
{
    const auto* same = dynamic_cast<const TObjectsEdit*>(&next);
    if (!same || gesture_ == 0 || same->gesture_ != gesture_ || same->enemies_ != enemies_)
        return false;
    value_ = same->value_;
    return true;
}

int TObjectsEdit::Room() const
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

void TMidPointsEdit::Apply(TStageData& stage) const { TStageTables::SetMidPoints(stage, value_); }
void TMidPointsEdit::Revert(TStageData& stage) const { TStageTables::SetMidPoints(stage, old_); }

bool TMidPointsEdit::MergeWith(const TEditCommand& next)
{
    const auto* same = dynamic_cast<const TMidPointsEdit*>(&next);
    if (!same || gesture_ == 0 || same->gesture_ != gesture_)
        return false;
    value_ = same->value_;
    return true;
}

} // namespace vx
