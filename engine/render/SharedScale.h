#pragma once
// Drawing diagrams on one common scale. In the ratio mode every diagram fills its figure;
// in the shared mode a set of diagrams is drawn at one amount per pixel of height, so a
// period twice the size of another stands twice as tall. Pure integer and double logic;
// the drawing goes through DiagramSurface.

#include <string_view>

#include "core/model/StatementData.h"
#include "engine/render/BlockGeometry.h"
#include "engine/render/DiagramSurface.h"

namespace quorvex {

// The amounts a diagram's height stands for: balance sheet max(current + fixed assets,
// current liabilities + fixed liabilities + equity), profit and loss the sales. A sum that
// is negative or not finite counts as 0.
struct DiagramTotals {
    double bs = 0;
    double pl = 0;
    // M: the larger of the two.
    double Larger() const { return bs > pl ? bs : pl; }
};
DiagramTotals TotalsOf(const StatementData& data);
// The same from the ten amount texts (balance sheet 0..4, profit and loss 5..9).
DiagramTotals TotalsOfAmounts(const std::array<std::string_view, kItemCount>& amounts);

enum class ScaleMode { Ratio, Shared };

// Shared: `pixels` of height stand for `amount`; with perFigure set, each figure's own height
// stands for `amount` (a fixed basis shared by separate runs). An amount of 0 means no
// diagram of the set has a total: every diagram is empty.
struct DiagramScale {
    ScaleMode mode = ScaleMode::Ratio;
    int pixels = 0;
    double amount = 0;
    bool perFigure = false;
    bool operator==(const DiagramScale&) const = default;
};

// A fixed basis: h = trunc(H x T / amount), and a total above it fills the figure.
DiagramScale BasisScale(double amount);

// The scale of a set: that of the period with the smallest H / M (the first of equals);
// periods with M = 0 or H <= 0 take no part.
class SharedScaleBuilder final {
  public:
    void Add(int figureHeight, const DiagramTotals& totals);
    DiagramScale Result() const;

  private:
    bool any_ = false;
    int pixels_ = 0;
    double amount_ = 0;
};

// The two diagrams of one period as a set, in figures of the given height: the larger total
// fills its figure.
DiagramScale PeriodScale(const StatementData& data, int figureHeight);

// Height h of a diagram of the given total in a figure of the given height: the figure
// height in the ratio mode, else trunc(pixels x total / amount) computed in double,
// multiplication first, within 0..figureHeight. A total equal to the amount gives the full
// height: the division alone can land a hair below the whole number (3 x M / M can be
// 2.9999999999999996).
int ScaledHeight(const DiagramScale& scale, int figureHeight, double total);

// Which diagram a scaled drawing draws.
enum class DiagramKind { BalanceSheet, ProfitAndLoss };

// The diagram of the given kind in the figure rectangle: white (0xFFFFFF) above, the diagram
// exactly as at width x h in the bottom h rows; h = 0 leaves the figure white. In the ratio
// mode the diagram fills the figure. Leaves the surface's viewport reset.
void DrawScaledDiagram(DiagramSurface& surface, const PixelRect& figure, DiagramKind kind,
                       const StatementData& data, const DiagramOptions& options,
                       const DiagramScale& scale);

}  // namespace quorvex
