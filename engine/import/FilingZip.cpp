// A filing's ZIP: EDINET's XBRL download (the instance under XBRL/PublicDoc, or its inline
// pages), a TDnet package of inline pages, or EDINET's CSV download (XBRL_TO_CSV/*.csv).
// Entries are inflated through the guarded input, so a lying or bombing archive ends at the
// limits.
#include <unistd.h>
#include <zip.h>

#include <QFileInfo>
#include <algorithm>
#include <limits>
#include <memory>

#include "engine/import/FilingReaders.h"

namespace quorvex {
namespace {

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return out;
}

// The folder of an entry ("" at the top) and its file name.
std::pair<std::string_view, std::string_view> Split(std::string_view name) {
    const auto slash = name.rfind('/');
    if (slash == std::string_view::npos) return {{}, name};
    return {name.substr(0, slash), name.substr(slash + 1)};
}

// The audit report's documents (XBRL/AuditDoc, jpaud-*) are not the statements.
bool IsAudit(std::string_view name) {
    return name.find("AuditDoc/") != std::string_view::npos ||
           Lower(Split(name).second).starts_with("jpaud");
}

struct Entry {
    std::string name;
    zip_uint64_t index;
    FilingPart part;
};

}  // namespace

FilingProblem ReadFilingZip(int fd, const QByteArray* bytes, FilingInstance& instance,
                            const FilingLimits& limits) {
    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> archive;
    if (bytes != nullptr) {
        zip_error_t e;
        zip_error_init(&e);
        zip_source_t* source = zip_source_buffer_create(
            bytes->constData(), static_cast<zip_uint64_t>(bytes->size()), 0, &e);
        if (source != nullptr) {
            archive.reset(zip_open_from_source(source, ZIP_RDONLY, &e));
            if (!archive) zip_source_free(source);
        }
        error = zip_error_code_zip(&e);
        zip_error_fini(&e);
    } else {
        lseek(fd, 0, SEEK_SET);
        const int own = dup(fd);
        if (own >= 0) {
            archive.reset(zip_fdopen(own, ZIP_RDONLY, &error));
            if (!archive) close(own);
        }
    }
    if (!archive) {
        return {
            error == ZIP_ER_OPEN || error == ZIP_ER_READ ? kMsgImportOpen : kMsgImportDamagedZip,
            {}};
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0) return {kMsgImportDamagedZip, {}};
    if (count > limits.maxZipEntries) return {kMsgImportTooManyEntries, {}};

    // Entries by name, so that the choice does not depend on the entry order.
    std::vector<Entry> entries;
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name =
            zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        if (name == nullptr || IsAudit(name)) continue;
        const FilingPart part = PartOfName(QString::fromUtf8(name));
        if (part == FilingPart::None || part == FilingPart::Zip) continue;
        entries.push_back({name, static_cast<zip_uint64_t>(i), part});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    const auto publicDoc = [](const Entry& e) {
        const std::string_view folder = Split(e.name).first;
        return folder == "XBRL/PublicDoc" || folder.ends_with("/XBRL/PublicDoc");
    };
    // The first instance under PublicDoc; else every inline page; else every CSV file.
    std::vector<const Entry*> chosen;
    for (const Entry& e : entries) {
        if (e.part == FilingPart::Instance && publicDoc(e)) {
            chosen.push_back(&e);
            break;
        }
    }
    for (const FilingPart part : {FilingPart::InlinePage, FilingPart::Csv}) {
        if (!chosen.empty()) break;
        for (const Entry& e : entries) {
            if (e.part == part) chosen.push_back(&e);
        }
    }
    if (chosen.empty()) return {kMsgImportNoInstance, {}};
    // The filer's linkbases beside the statements.
    const std::string_view folder = Split(chosen.front()->name).first;
    if (chosen.front()->part != FilingPart::Csv) {
        std::vector<const Entry*> linkbases;
        for (const Entry& e : entries) {
            if (e.part == FilingPart::Linkbase && Split(e.name).first == folder) {
                linkbases.push_back(&e);
            }
        }
        chosen.insert(chosen.end(), linkbases.begin(), linkbases.end());
    }

    bool inlineHeader = false;
    for (const Entry* e : chosen) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive.get(), e->index, 0, &st) != 0) {
            return {kMsgImportDamagedZip, {}};
        }
        // The stated size is checked first; the inflated bytes are counted as well, since
        // the stated size may lie.
        if ((st.valid & ZIP_STAT_SIZE) && st.size > static_cast<zip_uint64_t>(limits.maxBytes)) {
            return {kMsgImportTooLarge, {}};
        }
        std::unique_ptr<zip_file_t, ZipFileCloser> file(
            zip_fopen_index(archive.get(), e->index, 0));
        if (!file) return {kMsgImportDamagedZip, {}};
        GuardedInput input(
            [&file](char* data, std::int64_t max) -> std::int64_t {
                return zip_fread(file.get(), data, static_cast<zip_uint64_t>(max));
            },
            limits.maxBytes, limits.maxTokenBytes,
            e->part == FilingPart::Csv ? std::numeric_limits<int>::max() : limits.maxAttributes);
        FilingProblem problem;
        if (e->part == FilingPart::Csv) {
            problem = ReadEdinetCsv(input, instance, limits, kMsgImportDamagedZip);
        } else if (e->part == FilingPart::Linkbase) {
            problem = ReadLinkbase(input, instance.linkbases, limits, kMsgImportDamagedZip);
        } else {
            const DocumentRead read =
                ReadXmlDocument(input, instance, limits, kMsgImportDamagedZip);
            inlineHeader = inlineHeader || read.inlineHeader;
            problem = read.problem;
        }
        if (problem.messageId != 0) {
            if (chosen.size() > 1) problem.detail = e->name + "\n" + problem.detail;
            return problem;
        }
    }
    if (chosen.front()->part == FilingPart::InlinePage && !inlineHeader) {
        return {kMsgImportNoInstance, {}};
    }
    return {};
}

FilingPart PartOfName(const QString& path) {
    const QString name = QFileInfo(path).fileName().toLower();
    if (name.endsWith(QLatin1String(".xbrl"))) return FilingPart::Instance;
    if (name.endsWith(QLatin1String("_ixbrl.htm")) || name.endsWith(QLatin1String("-ixbrl.htm")) ||
        name.endsWith(QLatin1String("_ixbrl.xhtml"))) {
        return FilingPart::InlinePage;
    }
    if (name.endsWith(QLatin1String(".csv")) || name.endsWith(QLatin1String(".tsv"))) {
        return FilingPart::Csv;
    }
    if (name.endsWith(QLatin1String(".zip"))) return FilingPart::Zip;
    if (name.endsWith(QLatin1String("_pre.xml")) || name.endsWith(QLatin1String("_cal.xml")) ||
        name.endsWith(QLatin1String("_lab.xml"))) {
        return FilingPart::Linkbase;
    }
    return FilingPart::None;
}

}  // namespace quorvex
