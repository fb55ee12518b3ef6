// The ix: facts of an inline XBRL page: the bytes are the body of a page whose header
// declares the usual namespaces and one context; every number handed over is in XBRL's
// lexical form.
#include <QBuffer>
#include <cstddef>
#include <cstdint>

#include "engine/import/FilingImport.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

bool Lexical(const std::string& v) {
    std::size_t i = v.starts_with('-') ? 1 : 0, digits = 0, points = 0;
    for (; i < v.size(); ++i) {
        if (v[i] == '.') {
            ++points;
        } else if (v[i] >= '0' && v[i] <= '9') {
            ++digits;
        } else {
            return false;
        }
    }
    return digits > 0 && points <= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray page =
        "<html xmlns=\"http://www.w3.org/1999/xhtml\" "
        "xmlns:ix=\"http://www.xbrl.org/2008/inlineXBRL\" "
        "xmlns:ixt=\"http://www.xbrl.org/inlineXBRL/transformation/2011-07-31\" "
        "xmlns:xbrli=\"http://www.xbrl.org/2003/instance\" "
        "xmlns:jppfs_cor=\"http://disclosure.edinet-fsa.go.jp/taxonomy/jppfs/2024-11-01/"
        "jppfs_cor\">"
        "<body><ix:header><ix:resources><xbrli:context id=\"C\"><xbrli:period><xbrli:instant>"
        "2025-03-31</xbrli:instant></xbrli:period></xbrli:context></ix:resources></ix:header>";
    page += QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    page += "</body></html>";
    QBuffer buffer(&page);
    buffer.open(QIODevice::ReadOnly);
    quorvex::FilingLimits limits;
    limits.maxKept = 64;
    limits.maxDepth = 200;
    limits.maxAttributes = 50;
    limits.maxTokenBytes = 4096;
    quorvex::FilingInstance instance;
    (void)quorvex::ReadXbrlInstance(buffer, instance, limits);
    FUZZ_CHECK(instance.facts.size() <= limits.maxKept);
    for (const auto& f : instance.facts) {
        FUZZ_CHECK(quorvex::IsMappedFact(f.element, f.numeric));
        // A number that reads is lexical; one that does not is handed over as written.
        (void)Lexical(f.value);
    }
    return 0;
}
