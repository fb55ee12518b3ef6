#pragma once
// Amount parsing, composition ratios and the Japanese number texts.
// Pure functions; every input, however odd, gives a defined result.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/model/StatementData.h"

namespace quorvex {

// C atof manner with "." as the decimal point and no locale: optional white space,
// optional sign, digits, optional fraction, optional exponent; stops at the first
// character that cannot continue the number. No number gives 0; overflow gives +-inf.
double ParseAmount(std::string_view text);

// C atol / atoi manner: optional white space, optional sign, decimal digits. No digits
// gives 0; values beyond the 32-bit range saturate.
std::int32_t Atol(std::string_view text);
int Atoi(std::string_view text);

// Double to 32-bit integer, truncating toward zero; NaN gives 0, out of range saturates.
std::int32_t TruncToInt32(double value);

// "1億2345万6789円"; a leading "-" gives "▲". Not meant for the empty text (the label
// shows "0円" for it without calling this).
std::string FormatKanjiAmount(std::string_view text);

// Ratios 0..4 from the amount texts of items 0..4, and 5..9 from those of items 5..9.
std::array<double, 5> ComputeBsRatios(const std::array<std::string_view, 5>& amounts);
std::array<double, 5> ComputePlRatios(const std::array<std::string_view, 5>& amounts);
// Recompute data.ratios 0..4 or 5..9 from data's amount texts.
void ComputeBsRatios(StatementData& data);
void ComputePlRatios(StatementData& data);

// The sample period: canonical names, sample amounts, default colours, ratios computed.
StatementData SampleStatementData();

// "%.nf" with the rounding the ratio texts need: the value reduced to 17 significant
// digits (half up), then rounded half up at the n-th decimal; a negative value keeps its
// sign even when it rounds to zero. Non-finite values give "inf", "-inf" or "nan".
// decimals outside 0..5 are clamped.
std::string FormatRatio(double ratio, int decimals);

// Commas between groups of three characters, counted from the right, for texts of 4 to 15
// characters; shorter and longer texts are returned unchanged.
std::string FormatCommaGrouped(std::string_view text);

}  // namespace quorvex
