#include "core/model/Messages.h"

#include <map>

namespace quorvex {
namespace data {
extern const std::string_view kMessagesTsv;
}

namespace {

struct Entry {
    MessageKind kind;
    std::string text;
};

std::map<int, Entry> LoadCatalogue() {
    std::map<int, Entry> out;
    std::string_view rest = data::kMessagesTsv;
    while (!rest.empty()) {
        const auto eol = rest.find('\n');
        std::string_view line = rest.substr(0, eol);
        rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
        if (line.empty() || line.front() == '#') continue;
        const auto t1 = line.find('\t');
        const auto t2 = line.find('\t', t1 + 1);
        if (t1 == std::string_view::npos || t2 == std::string_view::npos) continue;
        int id = 0;
        for (char c : line.substr(0, t1)) id = id * 10 + (c - '0');
        const std::string_view kind = line.substr(t1 + 1, t2 - t1 - 1);
        std::string text;
        const std::string_view raw = line.substr(t2 + 1);
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size() && raw[i + 1] == 'n') {
                text += '\n';
                ++i;
            } else {
                text += raw[i];
            }
        }
        const MessageKind k = kind == "question"      ? MessageKind::Question
                              : kind == "information" ? MessageKind::Information
                                                      : MessageKind::Error;
        out.emplace(id, Entry{k, std::move(text)});
    }
    return out;
}

const std::map<int, Entry>& Catalogue() {
    static const std::map<int, Entry> catalogue = LoadCatalogue();
    return catalogue;
}

}  // namespace

std::string MessageText(int id) {
    const auto it = Catalogue().find(id);
    return it == Catalogue().end() ? std::string() : it->second.text;
}

MessageKind MessageKindOf(int id) {
    const auto it = Catalogue().find(id);
    return it == Catalogue().end() ? MessageKind::Error : it->second.kind;
}

std::string ApplicationTitle() {
    return MessageText(kAppTitle);
}

std::string QuoteField(std::string_view utf8) {
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        // A character starts at every byte that does not continue a UTF-8 sequence.
        if ((byte & 0xC0) != 0x80 && ++characters > kQuotedCharacters) {
            out += "\u2026";
            break;
        }
        if (byte == 0) {
            out += "\uFFFD";
        } else {
            out += utf8[i];
        }
    }
    return out;
}

}  // namespace quorvex
