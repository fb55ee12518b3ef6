#include "core/model/OptionTable.h"

#include <algorithm>

namespace quorvex {

int& OptionValue(const OptionEntry& entry, DiagramOptions& diagram, OutputOptions& output) {
    return entry.diagram ? diagram.*entry.diagram : output.*entry.output;
}

int OptionValue(const OptionEntry& entry, const DiagramOptions& diagram,
                const OutputOptions& output) {
    return entry.diagram ? diagram.*entry.diagram : output.*entry.output;
}

int OptionDefault(const OptionEntry& entry) {
    return OptionValue(entry, DiagramOptions{}, OutputOptions{});
}

int StoredOptionValue(const OptionEntry& entry, int stored) {
    switch (entry.rule) {
        case StoredRule::Clamp:
            return std::clamp(stored, entry.low, entry.high);
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
