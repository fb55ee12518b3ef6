#pragma once
// The one way the program writes a file: completely or not at all. The bytes go to an
// unnamed temporary file in the target's folder (a short named one where the file system
// has none), which becomes the target only when everything was written. So a failure, a
// full disk or a killed process never leaves a partial file, a stray temporary file or a
// damaged old file. Toolkit-free: POSIX calls only.

#include <string>
#include <string_view>

namespace quorvex {

// Durable: the data reach the disk before the file takes its name (a sync per file).
// Deferred: no sync here; whoever writes many files syncs their file system once at the end.
enum class Durability { Durable, Deferred };

// NotCreated: the file cannot come into being (no such folder, no permission, a folder or
// a file that is not writable in its place, a name the file system refuses, a link on the
// way). NotWritten: writing, syncing or naming the finished file failed (a full disk).
enum class WriteOutcome { Written, NotCreated, NotWritten };

// One file's bytes written ahead into an unnamed file of a held folder (FolderHandle::Prepare),
// so that giving it its name later is a single link. A file never named vanishes with this
// object. Not every file can be written ahead (a name with a folder part, a file system
// without unnamed files, too many files waiting): such a one is named the whole way then.
class PreparedFile final {
  public:
    PreparedFile() = default;
    ~PreparedFile();
    PreparedFile(PreparedFile&& other) noexcept;
    PreparedFile& operator=(PreparedFile&& other) noexcept;
    PreparedFile(const PreparedFile&) = delete;
    PreparedFile& operator=(const PreparedFile&) = delete;

    // Place no longer needs the bytes: they are written ahead, or writing them failed.
    bool BytesTaken() const { return fd_ >= 0 || failed_ != WriteOutcome::Written; }

  private:
    friend class FolderHandle;
    void Close();
    int fd_ = -1;
    WriteOutcome failed_ = WriteOutcome::Written;  // a failure met while writing ahead
};

// A folder held open for writing many files into it, so that each file costs one open, one
// write and one link (or rename) and no lookup of the folder's path. The folder is the one
// the path named when the handle was made, even if it is renamed later.
class FolderHandle final {
  public:
    // The folder itself is taken as it is: a link to a folder is the user's choice.
    explicit FolderHandle(const std::string& folder);
    ~FolderHandle();
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // Writes `bytes` as `name` inside the folder, as WriteFileInFolder describes; NotCreated
    // when the folder could not be opened.
    WriteOutcome Write(std::string_view name, std::string_view bytes, Durability durability) const;

    // The first half of Write, for a caller that writes on many threads and names in order
    // on one: the bytes go into an unnamed file in the folder. Thread-safe.
    PreparedFile Prepare(std::string_view name, std::string_view bytes,
                         Durability durability) const;
    // The second half: names the prepared file as Write would. A file that could not be
    // written ahead is written now from `bytes` (Write); one whose writing failed gives
    // that failure.
    WriteOutcome Place(PreparedFile& file, std::string_view name, std::string_view bytes,
                       Durability durability) const;

  private:
    static WriteOutcome NameWritten(int dir, int fd, const std::string& leaf,
                                    Durability durability);
    int fd_ = -1;
};

// Writes `bytes` as `name` inside `folder`. The folder itself is taken as it is (a link to
// a folder is the user's choice); everything below it is opened without following links,
// so `name` with "/" reaches a real subfolder that exists, never a place outside `folder`,
// and ".." or a NUL refuse the name. A link in the target's place is replaced by the new
// file; its target is never touched. An existing file keeps its mode; one that is not
// writable is not replaced. New files get 0666 & ~umask.
WriteOutcome WriteFileInFolder(const std::string& folder, std::string_view name,
                               std::string_view bytes, Durability durability);

// The same for a whole path: the folder is everything before the last "/". A path with a
// ".." component is refused (NotCreated).
WriteOutcome WriteFileAtomically(const std::string& path, std::string_view bytes,
                                 Durability durability);

}  // namespace quorvex
