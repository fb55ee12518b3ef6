// The XBRL instance reader: bytes to contexts and facts, within the limits, never more
// kept than allowed, every fact one the mapping reads.
#include <QBuffer>
#include <cstddef>
#include <cstdint>

#include "engine/import/FilingImport.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    quorvex::FilingLimits limits;
    limits.maxKept = 64;
    limits.maxDepth = 200;
    limits.maxAttributes = 50;
    limits.maxTokenBytes = 1024;
    quorvex::FilingInstance instance;
    const quorvex::FilingProblem p = quorvex::ReadXbrlInstance(buffer, instance, limits);
    FUZZ_CHECK(instance.contexts.size() <= limits.maxKept);
    FUZZ_CHECK(instance.facts.size() <= limits.maxKept);
    for (const auto& f : instance.facts) FUZZ_CHECK(quorvex::IsMappedFact(f.element, f.numeric));
    FUZZ_CHECK(p.messageId == 0 || !quorvex::MessageText(p.messageId).empty());
    return 0;
}
