#pragma once
// The sample period (names, amounts, default colours) with its ratios computed.

#include "model/NumberText.h"
#include "model/StatementData.h"

namespace quorvex::test {

inline StatementData SampleData() {
    StatementData data;
    for (int i = 0; i < kItemCount; ++i) {
        data.items[i].name = std::string(kCanonicalNames[i]);
        data.items[i].amount = std::string(kSampleAmounts[i]);
        data.items[i].colour = DefaultItemColours[i];
    }
    ComputeBsRatios(data);
    ComputePlRatios(data);
    return data;
}

// Data whose ratios are given directly (names and colours as in the sample).
inline StatementData DataWithRatios(const CompositionRatios& ratios) {
    StatementData data = SampleData();
    data.ratios = ratios;
    return data;
}

}  // namespace quorvex::test
