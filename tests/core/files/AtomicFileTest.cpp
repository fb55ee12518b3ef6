#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <thread>

#include "core/files/AtomicFile.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/common/Isolation.h"

namespace quorvex {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

class AtomicFile : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(out);
        fs::create_directories(elsewhere);
        WriteAll(outside, "outside");
    }
    std::string home = test::TestHome();
    std::string out = home + "/out";
    std::string elsewhere = home + "/elsewhere";
    std::string outside = home + "/outside.txt";
};

TEST_F(AtomicFile, ALinkInTheFilesPlaceIsReplacedAndItsTargetKept) {
    for (const Durability d : {Durability::Durable, Durability::Deferred}) {
        fs::remove_all(out);
        fs::create_directory(out);
        fs::create_symlink(outside, out + "/a.csv");
        fs::create_symlink(home + "/nowhere", out + "/dangling.png");
        EXPECT_EQ(WriteFileInFolder(out, "a.csv", "new", d), WriteOutcome::Written);
        EXPECT_EQ(WriteFileAtomically(out + "/dangling.png", "png", d), WriteOutcome::Written);
        EXPECT_FALSE(fs::is_symlink(out + "/a.csv"));
        EXPECT_EQ(ReadAll(out + "/a.csv"), "new");
        EXPECT_EQ(ReadAll(out + "/dangling.png"), "png");
        EXPECT_EQ(ReadAll(outside), "outside");
        EXPECT_FALSE(fs::exists(home + "/nowhere"));
    }
}

TEST_F(AtomicFile, NamesReachRealSubfoldersOnlyNeverOutOfTheFolder) {
    fs::create_directory(out + "/real");
    fs::create_directory(out + "/folder.png");
    fs::create_symlink(elsewhere, out + "/sub");
    fs::create_symlink(out + "/real", out + "/inner");  // a link, even to inside
    struct Case {
        std::string name;
        WriteOutcome outcome;
        std::string written;  // path below out, when written
    };
    const Case cases[] = {
        {"real/x_BS.png", WriteOutcome::Written, "real/x_BS.png"},
        {"./real//y_BS.png", WriteOutcome::Written, "real/y_BS.png"},
        {"/z_BS.png", WriteOutcome::Written, "z_BS.png"},
        {"sub/x_BS.png", WriteOutcome::NotCreated, ""},
        {"inner/x_BS.png", WriteOutcome::NotCreated, ""},
        {"missing/x_BS.png", WriteOutcome::NotCreated, ""},
        {"../x_BS.png", WriteOutcome::NotCreated, ""},
        {"real/../../x_BS.png", WriteOutcome::NotCreated, ""},
        {"folder.png", WriteOutcome::NotCreated, ""},
        {"real/", WriteOutcome::NotCreated, ""},
        {"", WriteOutcome::NotCreated, ""},
        {std::string("a\0b_BS.png", 10), WriteOutcome::NotCreated, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WriteFileInFolder(out, c.name, "bytes", Durability::Deferred), c.outcome);
        if (!c.written.empty()) {
            EXPECT_EQ(ReadAll(out + "/" + c.written), "bytes");
        }
    }
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_TRUE(fs::is_empty(out + "/folder.png"));
    EXPECT_FALSE(fs::exists(home + "/x_BS.png"));
    EXPECT_EQ(Entries(out),
              (std::vector<std::string>{"folder.png", "inner", "real", "sub", "z_BS.png"}));
    EXPECT_EQ(Entries(out + "/real"), (std::vector<std::string>{"x_BS.png", "y_BS.png"}));
}

TEST_F(AtomicFile, EveryNameTheFileSystemTakesCanBeWrittenAndReplaced) {
    // The temporary file must not make a long name longer than the system allows.
    for (const std::size_t length : {236u, 250u, 255u}) {
        const std::string name = std::string(length - 8, 'p') + "_BS.jpeg";
        ASSERT_EQ(name.size(), length);
        EXPECT_EQ(WriteFileInFolder(out, name, "one", Durability::Durable), WriteOutcome::Written);
        EXPECT_EQ(WriteFileInFolder(out, name, "two", Durability::Deferred), WriteOutcome::Written);
        EXPECT_EQ(ReadAll(out + "/" + name), "two") << length;
    }
    EXPECT_EQ(WriteFileInFolder(out, std::string(256, 'p'), "x", Durability::Deferred),
              WriteOutcome::NotCreated);
    EXPECT_EQ(Entries(out).size(), 3u);
}

TEST_F(AtomicFile, AFullDiskKeepsTheOldFileAndLeavesNothingBehind) {
    WriteAll(out + "/old.bmp", "old");
    const std::string big(64 * 1024, 'b');
    WriteOutcome replaced{}, added{};
    {
        const test::FileSizeLimit limit(1024);
        replaced = WriteFileInFolder(out, "old.bmp", big, Durability::Durable);
        added = WriteFileInFolder(out, "new.bmp", big, Durability::Deferred);
    }
    EXPECT_EQ(replaced, WriteOutcome::NotWritten);
    EXPECT_EQ(added, WriteOutcome::NotWritten);
    EXPECT_EQ(ReadAll(out + "/old.bmp"), "old");
    EXPECT_EQ(Entries(out), std::vector<std::string>{"old.bmp"});
}

TEST_F(AtomicFile, ModesOfNewAndReplacedFiles) {
    const mode_t mask = ::umask(022);
    WriteAll(out + "/private.col", "old");
    fs::permissions(out + "/private.col", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(WriteFileInFolder(out, "private.col", "new", Durability::Durable),
              WriteOutcome::Written);
    EXPECT_EQ(WriteFileInFolder(out, "fresh.col", "new", Durability::Durable),
              WriteOutcome::Written);
    struct stat st {};
    ASSERT_EQ(::stat((out + "/private.col").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    ASSERT_EQ(::stat((out + "/fresh.col").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    if (::geteuid() != 0) {  // the superuser may write anything
        fs::permissions(out + "/private.col", fs::perms::owner_read);
        EXPECT_EQ(WriteFileInFolder(out, "private.col", "newer", Durability::Durable),
                  WriteOutcome::NotCreated);
        EXPECT_EQ(ReadAll(out + "/private.col"), "new");
    }
    ::umask(mask);
}

TEST_F(AtomicFile, AKilledWriterLeavesOnlyWholeFiles) {
    // A child writes 512 KiB files as fast as it can and is killed at a random moment,
    // twenty times: every name in the folder is a finished file, nothing else is there.
    const std::string bytes(512 * 1024, 'k');
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                WriteFileInFolder(out, std::to_string(round) + "-" + std::to_string(i) + ".png",
                                  bytes, Durability::Deferred);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    const auto names = Entries(out);
    EXPECT_FALSE(names.empty());
    for (const auto& name : names) {
        EXPECT_TRUE(name.ends_with(".png")) << name;
        EXPECT_EQ(fs::file_size(out + "/" + name), bytes.size()) << name;
    }
}

TEST_F(AtomicFile, AHeldFolderTakesEveryFileOfARunEvenWhenRenamed) {
    fs::create_directory(out + "/sub");
    WriteAll(out + "/2_PL.png", "old");
    const FolderHandle folder(out);
    ASSERT_TRUE(folder.IsOpen());
    struct Case {
        std::string name, bytes;
        WriteOutcome outcome;
    };
    const Case cases[] = {
        {"1_BS.png", "bs1", WriteOutcome::Written},
        {"2_PL.png", "pl2", WriteOutcome::Written},  // replaced
        {"sub/3_BS.png", "bs3", WriteOutcome::Written},
        {"sub", "a folder in the way", WriteOutcome::NotCreated},
        {"missing/4_BS.png", "x", WriteOutcome::NotCreated},
        {"../5_BS.png", "x", WriteOutcome::NotCreated},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(folder.Write(c.name, c.bytes, Durability::Deferred), c.outcome) << c.name;
    }
    // The run goes on into the folder it opened, under whatever name it has now.
    fs::rename(out, home + "/renamed");
    EXPECT_EQ(folder.Write("6_BS.png", "bs6", Durability::Durable), WriteOutcome::Written);
    const std::string now = home + "/renamed";
    EXPECT_EQ(ReadAll(now + "/1_BS.png"), "bs1");
    EXPECT_EQ(ReadAll(now + "/2_PL.png"), "pl2");
    EXPECT_EQ(ReadAll(now + "/sub/3_BS.png"), "bs3");
    EXPECT_EQ(ReadAll(now + "/6_BS.png"), "bs6");
    EXPECT_EQ(Entries(now), (std::vector<std::string>{"1_BS.png", "2_PL.png", "6_BS.png", "sub"}));
    EXPECT_FALSE(fs::exists(home + "/5_BS.png"));

    const FolderHandle none(home + "/no-such-folder");
    EXPECT_FALSE(none.IsOpen());
    EXPECT_EQ(none.Write("1_BS.png", "x", Durability::Deferred), WriteOutcome::NotCreated);
}

// Files written ahead on other threads and named later in order: each named file holds its
// bytes and the existing file's mode; what is never named leaves nothing behind; a failure
// while writing ahead surfaces when the file is named.
TEST_F(AtomicFile, FilesWrittenAheadAreNamedInOrderAndTheUnnamedVanish) {
    fs::create_directory(out + "/sub");
    fs::create_directory(out + "/2_PL.png");  // a folder in the way
    WriteAll(out + "/3_BS.png", "old");
    fs::permissions(out + "/3_BS.png",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const FolderHandle folder(out);
    struct Case {
        std::string name, bytes;
        bool ahead;  // written into an unnamed file before it is named
        bool named;  // named at all (the run ended before the rest)
        WriteOutcome outcome;
    };
    const std::string big(4096, 'x');
    const Case cases[] = {
        {"1_BS.png", "bs1", true, true, WriteOutcome::Written},
        {"2_PL.png", "pl2", true, true, WriteOutcome::NotCreated},
        {"3_BS.png", "bs3", true, true, WriteOutcome::Written},  // replaced, mode kept
        {"sub/4_BS.png", "bs4", false, true, WriteOutcome::Written},
        {"5_BS.png", big, true, true, WriteOutcome::NotWritten},  // past the disk's end
        {"6_BS.png", "bs6", true, false, WriteOutcome::Written},
    };
    std::vector<PreparedFile> prepared;
    for (const Case& c : cases) {
        std::unique_ptr<test::FileSizeLimit> full;
        if (c.bytes == big) full = std::make_unique<test::FileSizeLimit>(1024);
        std::thread([&] {
            prepared.push_back(folder.Prepare(c.name, c.bytes, Durability::Deferred));
        }).join();
        EXPECT_EQ(prepared.back().BytesTaken(), c.ahead || c.bytes == big) << c.name;
    }
    EXPECT_EQ(Entries(out), (std::vector<std::string>{"2_PL.png", "3_BS.png", "sub"}));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        if (!c.named) continue;
        EXPECT_EQ(folder.Place(prepared[i], c.name, c.bytes, Durability::Durable), c.outcome)
            << c.name;
        if (c.outcome == WriteOutcome::Written) {
            EXPECT_EQ(ReadAll(out + "/" + c.name), c.bytes);
        }
    }
    prepared.clear();
    EXPECT_EQ(Entries(out), (std::vector<std::string>{"1_BS.png", "2_PL.png", "3_BS.png", "sub"}));
    EXPECT_EQ(fs::status(out + "/3_BS.png").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(out + "/sub"), (std::vector<std::string>{"4_BS.png"}));
}

// Files waiting to be named hold a descriptor each: never more than a quarter of the
// process's, so the rest of the program can still open files; the others are written when
// they are named.
TEST_F(AtomicFile, FilesWaitingToBeNamedLeaveDescriptorsToTheProgram) {
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    const FolderHandle folder(out);
    std::vector<PreparedFile> prepared;
    int ahead = 0;
    for (int i = 0; i < 40; ++i) {
        const std::string name = std::to_string(i) + ".png";
        prepared.push_back(folder.Prepare(name, name, Durability::Deferred));
        ahead += prepared.back().BytesTaken() ? 1 : 0;
    }
    EXPECT_EQ(ahead, 16);
    const int other = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    EXPECT_GE(other, 0);
    if (other >= 0) ::close(other);
    for (int i = 0; i < 40; ++i) {
        const std::string name = std::to_string(i) + ".png";
        EXPECT_EQ(
            folder.Place(prepared[static_cast<std::size_t>(i)], name, name, Durability::Deferred),
            WriteOutcome::Written);
        EXPECT_EQ(ReadAll(out + "/" + name), name);
    }
    // Named files give their descriptors back.
    prepared.clear();
    EXPECT_TRUE(folder.Prepare("again.png", "x", Durability::Deferred).BytesTaken());
    setrlimit(RLIMIT_NOFILE, &saved);
}

}  // namespace
}  // namespace quorvex
