#include "core/model/OptionTable.h"

#include <algorithm>

namespace quorvex {

int& OptionValue(const OptionSpec& spec, DiagramOptions& diagram, OutputOptions& output) {
    return spec.diagram ? diagram.*spec.diagram : output.*spec.output;
}

int OptionValue(const OptionSpec& spec, const DiagramOptions& diagram,
                const OutputOptions& output) {
    return spec.diagram ? diagram.*spec.diagram : output.*spec.output;
}

int OptionDefault(const OptionSpec& spec) {
    return OptionValue(spec, DiagramOptions{}, OutputOptions{});
}

int StoredOptionValue(const OptionSpec& spec, int stored) {
    switch (spec.rule) {
        case StoredRule::Clamp:
            return std::clamp(stored, spec.low, spec.high);
        case StoredRule::OneOnly:
            return stored == 1 ? 1 : 0;
        case StoredRule::NonZeroIsOne:
            return stored != 0 ? 1 : 0;
        case StoredRule::Kept:
            break;
    }
    return stored;
}

}  // namespace quorvex
