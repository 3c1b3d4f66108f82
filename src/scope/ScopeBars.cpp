#include "scope/ScopeBars.h"

namespace tonewell {

namespace {

ToolbarItem List(int id, ListControl& control) {
    return ToolbarItem::Of(id, ToolbarControlKind::DropDownList, 0, {}, &control);
}

ToolbarItem Label(std::string_view text) {
    ToolbarItem item;
    item.kind = ToolbarControlKind::Label;
    item.label = text;
    return item;
}

}  // namespace

ScopeBars::ScopeBars()
    : bar1_{{List(kScopeTimeRangeId, timeRange), List(kScopeTimeMultiplierId, timeMultiplier), Label("A"),
             List(kScopeRangeAId, rangeA), List(kScopeMultiplierAId, multiplierA)}},
      bar2_{{List(kScopeRangeBId, rangeB), List(kScopeMultiplierBId, multiplierB), List(kScopeTypeId, type)}} {}

void ScopeBars::Fill(const RangeTables& tables) {
    timeRange.fill(tables[RangeTableId::ScopeTimeRange]);
    timeMultiplier.fill(tables[RangeTableId::ScopeTimeMultiplier]);
    rangeA.fill(tables[RangeTableId::ScopeRangeA]);
    multiplierA.fill(tables[RangeTableId::ScopeMultiplierA]);
    rangeB.fill(tables[RangeTableId::ScopeRangeB]);
    multiplierB.fill(tables[RangeTableId::ScopeMultiplierB]);
    type.fill(tables[RangeTableId::ScopeType]);
}

}  // namespace tonewell
