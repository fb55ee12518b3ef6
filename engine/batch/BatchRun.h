#pragma once
// The batch run: a CSV of up to 5,000 periods to two diagram files per period and one
// summary file. Records are read and checked in file order on the calling thread; both
// diagrams of a period are drawn and encoded on one of `jobs` threads into memory; the files
// are committed strictly in period order, so the files on disk after any failure, and the
// summary, are the same for every number of jobs.

#include <QString>
#include <string_view>

#include "core/batch/CsvText.h"
#include "engine/batch/BatchHost.h"
#include "engine/render/SharedScale.h"

namespace quorvex {

struct BatchRequest {
    QString csvPath;
    QString title;         // summary name: title + "_Out." + csv or tsv
    QString outputFolder;  // empty: the desktop folder BS_PL
    int jobs = 1;          // drawing and encoding threads; 1: everything on the calling thread
    bool strict = false;   // a consistency warning ends the run like a rejected record
    // Ratio (each diagram fills its figure), shared (the whole CSV one set, its scale found
    // in the first reading) or a fixed basis (BasisScale).
    DiagramScale scale;
    // The indicators file (key ratios per period), written after the summary: at this path
    // (the tool's --indicators), or beside the summary as IndicatorsFileName (the window's
    // option 一括作成時に指標も出力). Neither: none.
    QString indicatorsPath;
    bool indicatorsBesideSummary = false;
};

struct BatchResult {
    bool ok = false;
    QString folder;
    QString summaryPath;  // set when the summary was written
};

// The title of a CSV path: its file name without the last extension ("my.data.csv" gives
// "my.data").
QString BatchTitle(const QString& csvPath);

BatchResult RunBatch(BatchHost& host, const BatchRequest& request);

// Writes the summary `name` inside `folder` atomically (WriteFileInFolder, durable): the
// header line already in the file's encoding (SummaryHeaderBytes), then `lines` (UTF-8,
// each ending in LF) in that encoding, every line ending in CR LF, with the byte-order
// mark first for Utf8WithBom. "ファイルのオープン失敗しました" when it cannot.
bool WriteSummaryFile(const QString& folder, const QString& name, std::string_view header,
                      std::string_view lines, TextEncoding encoding, MessageSink& sink);

}  // namespace quorvex
