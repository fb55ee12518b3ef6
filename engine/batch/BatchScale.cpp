#include "engine/batch/BatchScale.h"

namespace quorvex {

void BatchScaleCollector::Line(std::size_t index, std::string_view raw) {
    if (index == 0 || requested_.mode == ScaleMode::Ratio) return;
    if (CountChar(raw, ',') < 10) return;
    std::string period = SplitFields(raw, 1, ',');
    if (period.empty()) return;
    std::array<std::string, kItemCount> fields;
    std::array<std::string_view, kItemCount> amounts;
    for (int k = 0; k < kItemCount; ++k) {
        fields[k] = SplitFields(raw, k + 2, ',');
        amounts[k] = fields[k];
    }
    const DiagramTotals totals = TotalsOfAmounts(amounts);
    if (requested_.perFigure) {
        if (totals.Larger() > requested_.amount) overBasis_.push_back(std::move(period));
        return;
    }
    builder_.Add(BatchFigureSize(raw, current_).height, totals);
}

DiagramScale BatchScaleCollector::Result() const {
    if (requested_.mode == ScaleMode::Ratio || requested_.perFigure) return requested_;
    return builder_.Result();
}

void BatchScaleCollector::ReportOverBasis(TextEncoding encoding, MessageSink& sink) const {
    const Cp932Codec codec;
    for (const std::string& raw : overBasis_) {
        sink.ShowMessage(kMsgOverBasis, "期:" + DecodeLine(raw, encoding, codec) + "\n",
                         MessageKind::Information);
    }
}

}  // namespace quorvex
