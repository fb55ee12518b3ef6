#pragma once
// What every reader of a filing hands to the mapping, whatever form the filing came in (an
// XBRL instance, inline XBRL pages, EDINET's CSV download; alone, in a ZIP or in a folder):
// the contexts it understood, the facts the mapping may read, and the filing's own
// linkbases where they were at hand. Toolkit-free, so the mapping is too.

#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

struct FilingDate {
    int year = 0, month = 0, day = 0;
    auto operator<=>(const FilingDate&) const = default;
};

// A context without dimensions other than the consolidated/non-consolidated axis; readers
// drop every other context.
struct FilingContext {
    std::string id;
    bool instant = false;
    FilingDate start, end;  // an instant has only end
    bool nonConsolidated = false;
};

// Which taxonomy an element belongs to, told by its namespace URI (any release date).
enum class FilingTaxonomy {
    Jppfs,  // Japanese-GAAP financial statements (jppfs_cor)
    Jpigp,  // IFRS (jpigp_cor)
    Jpdei,  // document and entity information (jpdei_cor)
    Jpcrp,  // the report's own taxonomy (jpcrp_cor): summaries, notes
    Filer,  // the filer's extension elements (its own schema)
};

// The taxonomy of a namespace URI: "http://disclosure.edinet-fsa.go.jp/taxonomy/<t>/<date>/<t>_cor"
// for the standard ones, any other URI under "http://disclosure.edinet-fsa.go.jp/" for the
// filer's; false for everything else (XBRL's own namespaces, other taxonomies).
bool TaxonomyOfNamespace(std::string_view uri, FilingTaxonomy& taxonomy);

struct FilingElement {
    FilingTaxonomy taxonomy = FilingTaxonomy::Jppfs;
    std::string name;  // local name
    auto operator<=>(const FilingElement&) const = default;
};

// One fact. Numbers are in XBRL's lexical form ("-1234000000"): an inline reader applies
// the format, scale and sign before handing them over. Texts (the DEI facts) are trimmed.
struct FilingFact {
    FilingElement element;
    std::string context;
    std::string value;
    bool numeric = false;  // it had a unit
};

// An arc of the filing's presentation or calculation linkbase, inside one extended link.
struct FilingArc {
    std::string role;  // the extended link's role URI
    FilingElement from, to;
    double order = 0;   // presentation
    double weight = 0;  // calculation
};

struct FilingLinkbases {
    std::vector<FilingArc> presentation;
    std::vector<FilingArc> calculation;
    // Japanese standard labels of the filer's extension elements (*_lab.xml).
    std::vector<std::pair<FilingElement, std::string>> labels;
    bool present = false;  // any linkbase was read
};

struct FilingInstance {
    std::vector<FilingContext> contexts;
    std::vector<FilingFact> facts;
    FilingLinkbases linkbases;
};

// The facts the mapping reads; readers keep no others, so memory stays bounded by the
// mapping's needs and not by the filing's size.
bool IsMappedFact(const FilingElement& element, bool numeric);

}  // namespace quorvex
