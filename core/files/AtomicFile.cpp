#include "core/files/AtomicFile.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

#include "core/files/Interrupt.h"

namespace quorvex {
namespace {

// Closes a descriptor when it goes out of scope.
class Fd final {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

// The components of a relative name, empty ones and "." dropped; nothing for a name with a
// NUL or a ".." component, or without a last component.
std::vector<std::string> Components(std::string_view name) {
    std::vector<std::string> parts;
    if (name.find('\0') != std::string_view::npos) return {};
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t slash = std::min(name.find('/', start), name.size());
        const std::string_view part = name.substr(start, slash - start);
        if (part == "..") return {};
        if (!part.empty() && part != ".") parts.emplace_back(part);
        start = slash + 1;
    }
    if (!name.empty() && (name.back() == '/')) return {};  // a folder, not a file
    return parts;
}

bool WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Errors of the last step that mean the disk, not the name.
bool IsWriteError(int error) {
    return error == ENOSPC || error == EDQUOT || error == EIO;
}

// A short name for a temporary file beside the target: it fits wherever the target's own
// name fits, however long that is.
std::string TemporaryName() {
    static std::atomic<unsigned> counter{0};
    return ".qvx" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

// Forgets the registered temporary file when the write is over.
struct TemporaryRegistration {
    ~TemporaryRegistration() { detail::RegisterTemporary(-1, nullptr); }
};

// Gives the unnamed file `fd` the name `name` in `dir`: linked straight to the name when
// nothing is there, else, when `replaceable()` allows it, linked under a temporary name and
// renamed over what is there.
template <typename Replaceable>
WriteOutcome PlaceUnnamed(int dir, int fd, const std::string& name, Replaceable replaceable) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const auto link = [&](const std::string& as) {
        if (::linkat(AT_FDCWD, self.c_str(), dir, as.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
        const int error = errno;
        // Without /proc the superuser can still link the descriptor itself.
        if (::linkat(fd, "", dir, as.c_str(), AT_EMPTY_PATH) == 0) return 0;
        return error;
    };
    const int direct = link(name);
    if (direct == 0) return WriteOutcome::Written;
    if (direct != EEXIST)
        return IsWriteError(direct) ? WriteOutcome::NotWritten : WriteOutcome::NotCreated;
    if (!replaceable()) return WriteOutcome::NotCreated;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = TemporaryName();
        TemporaryRegistration registration;
        detail::RegisterTemporary(dir, temp.c_str());
        const int error = link(temp);
        if (error == EEXIST) continue;
        if (error != 0) {
            return IsWriteError(error) ? WriteOutcome::NotWritten : WriteOutcome::NotCreated;
        }
        if (::renameat(dir, temp.c_str(), dir, name.c_str()) == 0) return WriteOutcome::Written;
        const int renameError = errno;
        ::unlinkat(dir, temp.c_str(), 0);
        return IsWriteError(renameError) ? WriteOutcome::NotWritten : WriteOutcome::NotCreated;
    }
    return WriteOutcome::NotCreated;
}

// Where the file system has no unnamed files: a named temporary file from the start.
WriteOutcome WriteNamed(int dir, const std::string& name, std::string_view bytes,
                        Durability durability, const struct stat* existing) {
    std::string temp;
    Fd fd;
    TemporaryRegistration registration;
    for (int attempt = 0; attempt < 100 && fd.get() < 0; ++attempt) {
        temp = TemporaryName();
        detail::RegisterTemporary(dir, temp.c_str());
        fd = Fd(::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                         0666));
        if (fd.get() < 0 && errno != EEXIST) return WriteOutcome::NotCreated;
    }
    if (fd.get() < 0) return WriteOutcome::NotCreated;
    if (existing) ::fchmod(fd.get(), existing->st_mode & 07777);
    bool ok = WriteAll(fd.get(), bytes);
    if (ok && durability == Durability::Durable && ::fdatasync(fd.get()) != 0) ok = false;
    if (::close(fd.release()) != 0) ok = false;
    if (ok && ::renameat(dir, temp.c_str(), dir, name.c_str()) == 0) return WriteOutcome::Written;
    const int error = errno;
    ::unlinkat(dir, temp.c_str(), 0);
    if (ok && !IsWriteError(error)) return WriteOutcome::NotCreated;  // the name was refused
    return WriteOutcome::NotWritten;
}

// Opens the folder below `base` that holds the last component, each component without
// following a link; -1 when one is missing, not a folder or a link. A name without a folder
// part needs no descriptor of its own: `base` serves (returned as -1 with `useBase`).
Fd OpenParent(int base, const std::vector<std::string>& parts, bool& useBase) {
    useBase = parts.size() == 1;
    if (useBase) return Fd();
    Fd dir(::openat(base, parts[0].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    for (std::size_t i = 1; i + 1 < parts.size() && dir.get() >= 0; ++i) {
        dir = Fd(
            ::openat(dir.get(), parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    return dir;
}

// What is in the target's place decides whether it may be replaced: not a folder, and a file
// only when it is writable. A link there is replaced like anything else; it is never followed.
bool MayReplace(int dir, const std::string& leaf, struct stat& existing, bool& regular) {
    regular = false;
    if (::fstatat(dir, leaf.c_str(), &existing, AT_SYMLINK_NOFOLLOW) != 0) return true;
    if (S_ISDIR(existing.st_mode)) return false;
    regular = S_ISREG(existing.st_mode);
    return !regular || ::faccessat(dir, leaf.c_str(), W_OK, 0) == 0;
}

// Files written ahead hold a descriptor each until they are named: at most a quarter of the
// process's descriptors (and 256) wait, so the rest of the program never runs short.
std::atomic<long> waitingFiles{0};

long WaitingLimit() {
    struct rlimit files {};
    if (::getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur == RLIM_INFINITY) return 256L;
    return std::min(256L, static_cast<long>(files.rlim_cur / 4));
}

bool TakeWaitingSlot() {
    if (waitingFiles.fetch_add(1) < WaitingLimit()) return true;
    waitingFiles.fetch_sub(1);
    return false;
}

void ReleaseWaitingSlot() {
    waitingFiles.fetch_sub(1);
}

}  // namespace

FolderHandle::FolderHandle(const std::string& folder) {
    if (folder.find('\0') != std::string::npos) return;
    fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

FolderHandle::~FolderHandle() {
    if (fd_ >= 0) ::close(fd_);
}

WriteOutcome FolderHandle::Write(std::string_view name, std::string_view bytes,
                                 Durability durability) const {
    if (fd_ < 0) return WriteOutcome::NotCreated;
    const std::vector<std::string> parts = Components(name);
    if (parts.empty()) return WriteOutcome::NotCreated;
    bool useBase = false;
    const Fd sub = OpenParent(fd_, parts, useBase);
    const int dir = useBase ? fd_ : sub.get();
    if (dir < 0) return WriteOutcome::NotCreated;
    const std::string& leaf = parts.back();

    struct stat existing {};
    bool regular = false;
    Fd fd(::openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        const int error = errno;
        // Only a file system without unnamed files is worth a second way.
        if (error != EOPNOTSUPP && error != EISDIR && error != EINVAL && error != ENOENT) {
            return WriteOutcome::NotCreated;
        }
        if (!MayReplace(dir, leaf, existing, regular)) return WriteOutcome::NotCreated;
        return WriteNamed(dir, leaf, bytes, durability, regular ? &existing : nullptr);
    }
    if (!WriteAll(fd.get(), bytes)) return WriteOutcome::NotWritten;
    if (durability == Durability::Durable && ::fdatasync(fd.get()) != 0) {
        return WriteOutcome::NotWritten;
    }
    return NameWritten(dir, fd.get(), leaf, durability);
}

PreparedFile FolderHandle::Prepare(std::string_view name, std::string_view bytes,
                                   Durability durability) const {
    PreparedFile file;
    const std::vector<std::string> parts = Components(name);
    // Refused names, folders to open and file systems without unnamed files: Place does it
    // all, with the messages Write gives.
    if (fd_ < 0 || parts.size() != 1 || !TakeWaitingSlot()) return file;
    file.fd_ = ::openat(fd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (file.fd_ < 0) {
        ReleaseWaitingSlot();
        return file;
    }
    if (!WriteAll(file.fd_, bytes) ||
        (durability == Durability::Durable && ::fdatasync(file.fd_) != 0)) {
        file.Close();
        file.failed_ = WriteOutcome::NotWritten;
    }
    return file;
}

WriteOutcome FolderHandle::Place(PreparedFile& file, std::string_view name, std::string_view bytes,
                                 Durability durability) const {
    if (file.failed_ != WriteOutcome::Written) return file.failed_;
    if (file.fd_ < 0) return Write(name, bytes, durability);
    const std::vector<std::string> parts = Components(name);
    const WriteOutcome placed = parts.size() == 1 ? NameWritten(fd_, file.fd_, parts[0], durability)
                                                  : WriteOutcome::NotCreated;
    file.Close();
    return placed;
}

// Mostly the name is free and the file takes it at once; only when something is there is it
// looked at, and replaced if it may be.
WriteOutcome FolderHandle::NameWritten(int dir, int fd, const std::string& leaf,
                                       Durability durability) {
    struct stat existing {};
    bool regular = false;
    const auto replaceable = [&] {
        if (!MayReplace(dir, leaf, existing, regular)) return false;
        if (regular) ::fchmod(fd, existing.st_mode & 07777);
        return true;
    };
    const WriteOutcome placed = PlaceUnnamed(dir, fd, leaf, replaceable);
    if (placed == WriteOutcome::Written && durability == Durability::Durable && ::fsync(dir) != 0) {
        return WriteOutcome::NotWritten;
    }
    return placed;
}

PreparedFile::~PreparedFile() {
    Close();
}

PreparedFile::PreparedFile(PreparedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), failed_(other.failed_) {}

PreparedFile& PreparedFile::operator=(PreparedFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        failed_ = other.failed_;
    }
    return *this;
}

void PreparedFile::Close() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    ReleaseWaitingSlot();
}

WriteOutcome WriteFileInFolder(const std::string& folder, std::string_view name,
                               std::string_view bytes, Durability durability) {
    return FolderHandle(folder).Write(name, bytes, durability);
}

WriteOutcome WriteFileAtomically(const std::string& path, std::string_view bytes,
                                 Durability durability) {
    // Paths are made from texts of the user's data too: ".." never leads out of a folder.
    if (Components(path).empty()) return WriteOutcome::NotCreated;
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return WriteFileInFolder(".", path, bytes, durability);
    return WriteFileInFolder(slash == 0 ? "/" : path.substr(0, slash),
                             std::string_view(path).substr(slash + 1), bytes, durability);
}

}  // namespace quorvex
