#include "engine/import/FilingImport.h"

#include <zip.h>

#include <QFile>
#include <QFileInfo>
#include <memory>

#include "engine/import/GuardedInput.h"

namespace quorvex {
namespace {

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

// An EDINET filing keeps its instance as XBRL/PublicDoc/<name>.xbrl, possibly below one
// more folder; the audit report's instance (XBRL/AuditDoc) is not the statements.
bool IsPublicInstance(std::string_view name) {
    const auto slash = name.rfind('/');
    if (slash == std::string_view::npos) return false;
    const std::string_view folder = name.substr(0, slash), file = name.substr(slash + 1);
    constexpr std::string_view kFolder = "XBRL/PublicDoc";
    if (!(folder == kFolder || folder.ends_with("/XBRL/PublicDoc"))) return false;
    if (file.size() <= 5) return false;
    std::string ext(file.substr(file.size() - 5));
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return ext == ".xbrl";
}

FilingProblem ReadZip(const QString& path, FilingInstance& instance, const FilingLimits& limits) {
    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> archive(
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error));
    if (!archive) {
        return {
            error == ZIP_ER_OPEN || error == ZIP_ER_READ ? kMsgImportOpen : kMsgImportDamagedZip,
            {}};
    }
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    if (entries < 0) return {kMsgImportDamagedZip, {}};
    if (entries > limits.maxZipEntries) return {kMsgImportTooLarge, {}};
    // The first instance by name, so that the choice does not depend on the entry order.
    zip_int64_t chosen = -1;
    std::string chosenName;
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* name =
            zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS);
        if (name == nullptr || !IsPublicInstance(name)) continue;
        if (chosen < 0 || name < chosenName) {
            chosen = i;
            chosenName = name;
        }
    }
    if (chosen < 0) return {kMsgImportNoInstance, {}};
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(chosen), 0, &st) != 0) {
        return {kMsgImportDamagedZip, {}};
    }
    // The stated size is checked first; the inflated bytes are counted as well, since the
    // stated size may lie.
    if ((st.valid & ZIP_STAT_SIZE) && st.size > static_cast<zip_uint64_t>(limits.maxBytes)) {
        return {kMsgImportTooLarge, {}};
    }
    std::unique_ptr<zip_file_t, ZipFileCloser> entry(
        zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(chosen), 0));
    if (!entry) return {kMsgImportDamagedZip, {}};
    GuardedInput input(
        [&entry](char* data, std::int64_t max) -> std::int64_t {
            return zip_fread(entry.get(), data, static_cast<zip_uint64_t>(max));
        },
        limits.maxBytes, limits.maxTokenBytes);
    return ReadGuardedInstance(input, instance, limits, kMsgImportDamagedZip);
}

}  // namespace

MappedFiling ImportFilingFile(const QString& path, FilingScope scope, const FilingLimits& limits) {
    MappedFiling out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.problem = {kMsgImportOpen, {}};
        return out;
    }
    const QByteArray magic = file.peek(4);
    FilingInstance instance;
    if (magic.startsWith("PK\x03\x04") || magic.startsWith("PK\x05\x06")) {
        file.close();
        out.problem = ReadZip(path, instance, limits);
    } else {
        out.problem = ReadXbrlInstance(file, instance, limits);
    }
    if (out.problem.messageId != 0) return out;
    return MapFiling(instance, scope);
}

ImportedFilings ImportFilingPaths(const QStringList& paths, FilingScope scope,
                                  const FilingLimits& limits) {
    ImportedFilings out;
    std::vector<std::vector<ImportedPeriod>> filings;
    for (const QString& path : paths) {
        MappedFiling filing = ImportFilingFile(path, scope, limits);
        if (filing.problem.messageId != 0) {
            out.problemPath = path;
            out.problem = std::move(filing.problem);
            out.notes.clear();
            return out;
        }
        out.notes.insert(out.notes.end(), filing.notes.begin(), filing.notes.end());
        filings.push_back(std::move(filing.periods));
    }
    out.periods = MergePeriods(filings);
    return out;
}

void ReportFilingProblem(const QString& path, const FilingProblem& problem, MessageSink& sink) {
    const std::string prefix = QFileInfo(path).fileName().toStdString() + "\n" + problem.detail;
    sink.ShowMessage(problem.messageId, prefix, MessageKind::Error);
}

}  // namespace quorvex
