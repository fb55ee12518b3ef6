#pragma once
// The sample period (names, amounts, default colours) with its ratios computed.

#include "core/model/NumberText.h"
#include "core/model/StatementData.h"

namespace quorvex::test {

inline StatementData SampleData() {
    return SampleStatementData();
}

// Data whose ratios are given directly (names and colours as in the sample).
inline StatementData DataWithRatios(const CompositionRatios& ratios) {
    StatementData data = SampleData();
    data.ratios = ratios;
    return data;
}

}  // namespace quorvex::test
