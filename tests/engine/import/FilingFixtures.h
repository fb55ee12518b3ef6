#pragma once
// The hand-written filings under fixtures/, their expected batch CSV, and ZIP archives
// built with libzip around them.

#include <zip.h>

#include <QByteArray>
#include <QFile>
#include <string>
#include <utility>
#include <vector>

namespace quorvex::test {

inline QByteArray ReadFixture(const char* name) {
    QFile f(QStringLiteral(QUORVEX_IMPORT_FIXTURES "/") + QString::fromUtf8(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline constexpr const char* kImportHeader =
    "期,流動資産,固定資産,流動負債,固定負債,自己資本,売上高,売上原価,粗利益,固定費,経常利益\n";
// two-years.xbrl, consolidated: 固定資産 2024 = 1,900,000,000 + deferred 100,000,000.
inline constexpr const char* kConsolidatedRows =
    "2023年3月期,2800000000,1700000000,1900000000,900000000,1700000000,7000000000,5300000000,"
    "1700000000,1400000000,300000000\n"
    "2024年3月期,3000000000,2000000000,2000000000,1000000000,2000000000,8000000000,6000000000,"
    "2000000000,1500000000,500000000\n";
inline constexpr const char* kNonConsolidatedRows =
    "2023年3月期,900000000,700000000,500000000,200000000,900000000,2500000000,1700000000,"
    "800000000,500000000,300000000\n"
    "2024年3月期,1000000000,800000000,600000000,200000000,1000000000,3000000000,2000000000,"
    "1000000000,600000000,400000000\n";

// Every occurrence of from replaced by to.
inline QByteArray Replaced(QByteArray text, const QByteArray& from, const QByteArray& to) {
    return text.replace(from, to);
}

// Without the lines that contain any of the words.
inline QByteArray WithoutLines(const QByteArray& text, const std::vector<QByteArray>& words) {
    QByteArray out;
    for (const QByteArray& line : text.split('\n')) {
        bool drop = false;
        for (const auto& w : words) drop = drop || line.contains(w);
        if (!drop) out += line + '\n';
    }
    return out;
}

// A ZIP of (name, bytes) entries, deflated.
inline QByteArray MakeZip(const std::vector<std::pair<std::string, QByteArray>>& entries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(target);
    zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
    for (const auto& [name, bytes] : entries) {
        zip_source_t* s = zip_source_buffer(archive, bytes.constData(),
                                            static_cast<zip_uint64_t>(bytes.size()), 0);
        const zip_int64_t i = zip_file_add(archive, name.c_str(), s, ZIP_FL_ENC_UTF_8);
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(i), ZIP_CM_DEFLATE, 1);
    }
    zip_close(archive);  // writes into target
    QByteArray out;
    zip_stat_t st;
    if (zip_source_stat(target, &st) == 0 && zip_source_open(target) == 0) {
        out.resize(static_cast<qsizetype>(st.size));
        zip_source_read(target, out.data(), st.size);
        zip_source_close(target);
    }
    zip_source_free(target);
    return out;
}

}  // namespace quorvex::test
