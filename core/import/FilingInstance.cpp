#include "core/import/FilingInstance.h"

#include <array>

namespace quorvex {

bool TaxonomyOfNamespace(std::string_view uri, FilingTaxonomy& taxonomy) {
    constexpr std::string_view kSite = "http://disclosure.edinet-fsa.go.jp/";
    constexpr std::string_view kTaxonomy = "http://disclosure.edinet-fsa.go.jp/taxonomy/";
    if (!uri.starts_with(kSite)) return false;
    if (!uri.starts_with(kTaxonomy)) {
        taxonomy = FilingTaxonomy::Filer;
        return true;
    }
    struct Known {
        std::string_view name;
        FilingTaxonomy taxonomy;
    };
    static constexpr std::array<Known, 4> kKnown = {{{"jppfs", FilingTaxonomy::Jppfs},
                                                     {"jpigp", FilingTaxonomy::Jpigp},
                                                     {"jpdei", FilingTaxonomy::Jpdei},
                                                     {"jpcrp", FilingTaxonomy::Jpcrp}}};
    // "<t>/YYYY-MM-DD/<t>_cor"
    const std::string_view rest = uri.substr(kTaxonomy.size());
    for (const Known& k : kKnown) {
        if (rest.size() != k.name.size() * 2 + 1 + 10 + 1 + 4 || !rest.starts_with(k.name) ||
            rest[k.name.size()] != '/') {
            continue;
        }
        const std::string_view date = rest.substr(k.name.size() + 1, 10);
        bool ok = rest[k.name.size() + 11] == '/' &&
                  rest.substr(k.name.size() + 12) == std::string(k.name) + "_cor";
        for (std::size_t i = 0; ok && i < 10; ++i) {
            const bool dash = i == 4 || i == 7;
            ok = dash ? date[i] == '-' : (date[i] >= '0' && date[i] <= '9');
        }
        if (ok) {
            taxonomy = k.taxonomy;
            return true;
        }
    }
    return false;
}

}  // namespace quorvex
