#pragma once
// File names, folders and atomic writes of the diagram files, and the folder window.
// Every failure shows its message through the MessageSink given; paths use "/".

#include <QByteArray>
#include <QImage>
#include <QString>

#include "core/files/AtomicFile.h"
#include "core/model/Messages.h"
#include "core/model/StatementData.h"

namespace quorvex {

// The folder on the desktop that receives every diagram file and the batch summary.
inline constexpr char kOutputFolderName[] = "BS_PL";
// The intermediate JPEG of a PDF, in the work folder.
inline constexpr char kWorkJpegName[] = "temp.jpeg";

// "第5期_BS.jpeg", "2014年度_PL.tiff", "第12期_PL.pdf": the period's normalised form, "_",
// "BS" (outType 0) or "PL" (otherwise), then "." and the target's extension ("jpeg",
// "bmp", "gif", "png", "tiff", "pdf"; "svg" and "pdf" for the vector targets). Empty for an empty
// period and for the clipboard or an unknown target. The period text is used as typed (never
// trimmed or filtered).
QString DiagramFileName(const PeriodLabel& period, int outType, int outSaki);

// The desktop folder (QStandardPaths) + "/BS_PL", created when missing; a missing desktop
// folder is created first (servers and minimal installs have none). Anything already at
// the BS_PL path, a plain file too, counts as present (a later write into it then fails
// with its own message). No desktop path or a failed creation: message 30020, false.
bool EnsureOutputFolder(QString& folder, MessageSink& messages);

// The user's private work folder: $XDG_RUNTIME_DIR/Quorvex, or <temp>/Quorvex-<uid> when
// XDG_RUNTIME_DIR is unset. Created with mode 0700; an existing one must be a real
// directory (not a symlink) owned by the user, and is made 0700 if it was more open.
// Otherwise message 30002, false.
bool GetWorkFolder(QString& folder, MessageSink& messages);

// What a write failure is reported as.
//  Image: message 30050 with the file name and "\n" in front, whether the file could not
//         be created or not be written.
//  Pdf:   message 30003 with "[File Create]\n" when the file cannot be created, with
//         "[File Write]\n" when writing or committing it fails.
enum class FileRole { Image, Pdf };

// How CommitFile gets the bytes to the disk. Both are atomic (WriteFileInFolder).
//  Durable:  the data reach the disk before the file takes its name (one sync per file,
//            several milliseconds on a real disk).
//  Deferred: no sync per file, for the batch run's thousands of files; call
//            SyncOutputFolder once when the run ends.
enum class CommitMode { Durable, Deferred };

// Writes `bytes` as `name` inside `folder` atomically: a failure leaves no partial file
// and an existing file untouched. `name` may reach into a real subfolder but never out of
// `folder` (no "..", no link followed below it; a link in the file's place is replaced,
// its target untouched). A folder in the file's place, a file that is not writable, a
// missing subfolder and a NUL character count as a file that cannot be created; nothing
// is written. Messages name the file as `name` (QuoteField). The role from the name:
// ".pdf" (any case) is a PDF, everything else an image.
bool CommitFileIn(const QString& folder, const QString& name, const QByteArray& bytes,
                  MessageSink& messages, CommitMode mode = CommitMode::Durable);
// The same inside a folder held open, for many files in a row.
bool CommitFileIn(const FolderHandle& folder, const QString& name, const QByteArray& bytes,
                  MessageSink& messages, CommitMode mode = CommitMode::Durable);
// The same in two steps, for a run that writes on many threads and names in order on one:
// PrepareFileIn writes the bytes ahead (thread-safe, no message), CommitPreparedIn names the
// file and reports as CommitFileIn does; it needs `bytes` only when !file.BytesTaken().
PreparedFile PrepareFileIn(const FolderHandle& folder, const QString& name, const QByteArray& bytes,
                           CommitMode mode);
bool CommitPreparedIn(const FolderHandle& folder, const QString& name, PreparedFile& file,
                      const QByteArray& bytes, MessageSink& messages, CommitMode mode);
// The same for a whole path (the folder is what comes before its last "/").
bool CommitFile(const QString& path, const QByteArray& bytes, FileRole role, MessageSink& messages,
                CommitMode mode = CommitMode::Durable);
bool CommitFile(const QString& path, const QByteArray& bytes, MessageSink& messages,
                CommitMode mode = CommitMode::Durable);

// Flushes everything written to the file system that holds `folder` (after a batch of
// Deferred commits). False when the folder cannot be opened or the flush fails.
bool SyncOutputFolder(const QString& folder);

// The message of a failed write of the file shown as `name`.
void ReportWriteFailure(const QString& name, FileRole role, bool created, MessageSink& messages);

// Writes one diagram file into `folder` for the window's output command and returns its
// name in `writtenName`. Images: SaveBitmapImage straight into the folder. PDF: the JPEG
// goes to temp.jpeg in the work folder (kept), then CJpg2Pdf wraps it into the folder's
// PDF. An empty period shows message 30008 when showEmptyPeriodMessage is set (the caller
// moves the focus to the period field) and returns false. printPdfSuccess: whether the PDF
// writer prints "\nSuccess!\n" on stdout (off in the headless batch tool).
struct WriteDiagramOptions {
    bool showEmptyPeriodMessage = true;
    bool printPdfSuccess = true;
};
bool WriteDiagramFile(const QImage& bitmap, int width, int height, const PeriodLabel& period,
                      int outType, int outSaki, const QString& folder, MessageSink& messages,
                      QString* writtenName = nullptr, const WriteDiagramOptions& options = {});

// Opens a file-manager window on `path` when it is a folder, else on the folder part before
// its last "/" (so a folder + "/" and a saved file's path both work). Nothing waits for the
// window. Failure: message 30048, false.
bool OpenFolderWindow(const QString& path, MessageSink& messages);

}  // namespace quorvex
