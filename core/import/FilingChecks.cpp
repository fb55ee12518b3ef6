#include "core/import/FilingChecks.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <tuple>

#include "core/model/Messages.h"

namespace quorvex {
namespace {

bool Digits(std::string_view text, std::size_t at, std::size_t len, int& out) {
    if (at + len > text.size()) return false;
    for (std::size_t i = at; i < at + len; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    std::from_chars(text.data() + at, text.data() + at + len, out);
    return true;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// "Z", "+hh:mm" or "-hh:mm", or nothing.
bool Zone(std::string_view text) {
    if (text.empty() || text == "Z") return true;
    int h = 0, m = 0;
    return text.size() == 6 && (text[0] == '+' || text[0] == '-') && Digits(text, 1, 2, h) &&
           text[3] == ':' && Digits(text, 4, 2, m) && h <= 14 && m <= 59;
}

// Appends one UTF-8 character of text at i (advancing i), or U+FFFD for a control
// character or a malformed sequence.
void AppendCharacter(std::string_view text, std::size_t& i, std::string& out) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t len = b < 0x80         ? 1
                      : (b >> 5) == 6  ? 2
                      : (b >> 4) == 14 ? 3
                      : (b >> 3) == 30 ? 4
                                       : 0;
    bool ok = len != 0 && i + len <= text.size();
    for (std::size_t k = 1; ok && k < len; ++k) {
        ok = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
    }
    if (!ok) {
        out += "\uFFFD";
        ++i;
        return;
    }
    // C0 (and DEL), and C1: U+0080..U+009F is encoded C2 80..C2 9F.
    const bool control = (len == 1 && (b < 0x20 || b == 0x7F)) ||
                         (len == 2 && b == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0);
    if (control) {
        out += "\uFFFD";
    } else {
        out.append(text.substr(i, len));
    }
    i += len;
}

std::string Neutralised(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) AppendCharacter(text, i, out);
    return out;
}

}  // namespace

bool ParseCalendarDate(std::string_view text, FilingDate& date) {
    FilingDate d;
    if (text.size() < 10 || !Digits(text, 0, 4, d.year) || text[4] != '-' ||
        !Digits(text, 5, 2, d.month) || text[7] != '-' || !Digits(text, 8, 2, d.day)) {
        return false;
    }
    if (d.year == 0 || d.month < 1 || d.month > 12 || d.day < 1 ||
        d.day > DaysInMonth(d.year, d.month)) {
        return false;
    }
    std::string_view rest = text.substr(10);
    if (!rest.empty() && rest[0] == 'T') {
        int h = 0, m = 0, s = 0;
        if (!Digits(rest, 1, 2, h) || rest.size() < 9 || rest[3] != ':' || !Digits(rest, 4, 2, m) ||
            rest[6] != ':' || !Digits(rest, 7, 2, s)) {
            return false;
        }
        // 24:00:00 is the end of the day, as XML Schema allows.
        if (!((h < 24 && m < 60 && s < 60) || (h == 24 && m == 0 && s == 0))) return false;
        rest.remove_prefix(9);
        if (!rest.empty() && rest[0] == '.') {
            std::size_t n = 1;
            while (n < rest.size() && rest[n] >= '0' && rest[n] <= '9') ++n;
            if (n == 1) return false;
            rest.remove_prefix(n);
        }
    }
    if (!Zone(rest)) return false;
    date = d;
    return true;
}

FilingProblem CheckFilingInstance(FilingInstance& instance) {
    const auto conflict = [](std::string_view what, std::string_view context, std::string_view a,
                             std::string_view b) {
        return FilingProblem{kMsgImportConflict, QuotedValue(what) + " (" + QuotedValue(context) +
                                                     "): 「" + QuotedValue(a) + "」と「" +
                                                     QuotedValue(b) + "」\n"};
    };
    const auto periodText = [](const FilingContext& c) {
        const auto day = [](FilingDate d) {
            return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" +
                   std::to_string(d.day);
        };
        return (c.instant ? day(c.end) : day(c.start) + "〜" + day(c.end)) +
               (c.nonConsolidated ? " 個別" : "");
    };
    std::map<std::string_view, const FilingContext*> contexts;
    for (const FilingContext& c : instance.contexts) {
        const auto [it, added] = contexts.emplace(c.id, &c);
        if (added) continue;
        const FilingContext& o = *it->second;
        if (std::tie(o.instant, o.start, o.end, o.nonConsolidated) !=
            std::tie(c.instant, c.start, c.end, c.nonConsolidated)) {
            return conflict("コンテキスト", c.id, periodText(o), periodText(c));
        }
    }
    // Facts keyed by element and context; the first of equal duplicates is kept.
    std::map<std::tuple<FilingTaxonomy, std::string_view, std::string_view>, const FilingFact*>
        seen;
    std::vector<bool> keep(instance.facts.size(), true);
    for (std::size_t i = 0; i < instance.facts.size(); ++i) {
        const FilingFact& f = instance.facts[i];
        const auto [it, added] =
            seen.emplace(std::tuple(f.element.taxonomy, std::string_view(f.element.name),
                                    std::string_view(f.context)),
                         &f);
        if (added) continue;
        if (it->second->value != f.value) {
            return conflict(f.element.name, f.context, it->second->value, f.value);
        }
        keep[i] = false;
    }
    std::vector<FilingFact> facts;
    facts.reserve(seen.size());
    for (std::size_t i = 0; i < instance.facts.size(); ++i) {
        if (!keep[i]) continue;
        FilingFact& f = instance.facts[i];
        f.value = Neutralised(f.value);
        facts.push_back(std::move(f));
    }
    instance.facts = std::move(facts);
    return {};
}

std::string QuotedValue(std::string_view utf8) {
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        if (++characters > kQuotedCharacters) {
            out += "\u2026";
            break;
        }
        AppendCharacter(utf8, i, out);
    }
    return out;
}

std::string BoundedDetail(std::string_view detail) {
    std::string out;
    std::size_t lines = 0, more = 0;
    while (!detail.empty()) {
        const std::size_t end = detail.find('\n');
        const std::string_view line = detail.substr(0, end);
        detail = end == std::string_view::npos ? std::string_view() : detail.substr(end + 1);
        if (++lines > kShownPeriods) {
            ++more;
            continue;
        }
        out += QuotedValue(line);
        out += '\n';
    }
    if (more > 0) out += "ほか " + std::to_string(more) + "期\n";
    return out;
}

}  // namespace quorvex
