// Replacing a file: whatever step fails, the old file is byte for byte what
// it was and no temporary file is left; links are written through; nothing
// that is not a plain file is ever opened.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/safe_file.h"

namespace {

namespace fs = std::filesystem;

class SafeFile : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vortan_safe_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/kept.bin";
    }
    void TearDown() override {
        set_safe_file_fault(safe_file_fault::none);
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    static std::string read(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    static void put(const std::string& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    // Everything in the folder, by name.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    static bool write(const std::string& p, const std::string& bytes, std::string& why) {
        return write_whole_file(p.c_str(), bytes.data(), bytes.size(), why);
    }
    std::string dir, path;
};

TEST_F(SafeFile, ReplacesTheFileKeepingItsPermissionsAndNewFilesFollowTheUmask) {
    std::string why;
    const mode_t old_mask = umask(027);
    ASSERT_TRUE(write(path, "first", why)) << why;
    umask(old_mask);
    EXPECT_EQ(read(path), "first");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));

    ASSERT_EQ(chmod(path.c_str(), 0604), 0);
    ASSERT_TRUE(write(path, "second, longer", why)) << why;
    EXPECT_EQ(read(path), "second, longer");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0604));
    ASSERT_TRUE(write(path, "", why)) << why;
    EXPECT_EQ(read(path), "");
    EXPECT_EQ(names(), std::vector<std::string>{"kept.bin"});
}

TEST_F(SafeFile, AFailureAtAnyStepKeepsTheOldFileAndLeavesNothingBehind) {
    const std::string old = std::string("old\0bytes", 9);
    put(path, old);
    const struct {
        safe_file_fault fault;
        const char* reason;
    } steps[] = {
        {safe_file_fault::create, "Permission denied"},
        {safe_file_fault::write, "No space left on device"},
        {safe_file_fault::sync, "Input/output error"},
        {safe_file_fault::replace, "Input/output error"},
    };
    for (const auto& step : steps) {
        set_safe_file_fault(step.fault);
        std::string why;
        EXPECT_FALSE(write(path, std::string(100000, 'n'), why)) << step.reason;
        EXPECT_EQ(why, step.reason);
        EXPECT_EQ(read(path), old) << step.reason;
        EXPECT_EQ(names(), std::vector<std::string>{"kept.bin"}) << step.reason;

        // A stream written over a while fails the same way at its end.
        safe_file out;
        if (out.open(path.c_str(), why)) {
            std::fprintf(out.stream(), "a line\n");
            EXPECT_FALSE(out.commit(why)) << step.reason;
        }
        EXPECT_EQ(read(path), old) << step.reason;
        EXPECT_EQ(names(), std::vector<std::string>{"kept.bin"}) << step.reason;
    }
    set_safe_file_fault(safe_file_fault::none);

    // Content given up, or never committed, leaves the old file too.
    {
        std::string why;
        safe_file out;
        ASSERT_TRUE(out.open(path.c_str(), why)) << why;
        std::fprintf(out.stream(), "never kept");
        EXPECT_EQ(names().size(), 2u);  // the temporary file beside the old one
    }
    EXPECT_EQ(read(path), old);
    EXPECT_EQ(names(), std::vector<std::string>{"kept.bin"});
}

TEST_F(SafeFile, AKillBeforeTheReplaceKeepsTheOldFileAndTheNextWriteSweepsTheLeftover) {
    put(path, "old");
    EXPECT_EXIT(
        {
            set_safe_file_fault(safe_file_fault::kill_before_replace);
            std::string why;
            write(path, "new", why);
            std::exit(0);  // not reached
        },
        testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(read(path), "old");
    ASSERT_EQ(names().size(), 2u);  // what the dead process left
    // A running process's temporary file is not touched by the sweep.
    const std::string live = dir + "/.kept.bin~" + std::to_string(getppid()) + ".abcdef";
    put(live, "busy");

    std::string why;
    ASSERT_TRUE(write(path, "new", why)) << why;
    EXPECT_EQ(read(path), "new");
    EXPECT_EQ(names(), (std::vector<std::string>{".kept.bin~" + std::to_string(getppid()) + ".abcdef", "kept.bin"}));
}

TEST_F(SafeFile, AReadOnlyFolderOrFileIsLeftAsItIs) {
    put(path, "old");
    ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
    // Root writes into any folder: take a plain user's rights for the file system.
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(dir.c_str(), 65534, 65534), 0);
        setfsuid(65534);
    }
    std::string why;
    const bool written = write(path, "new", why);
    if (root) setfsuid(0);
    EXPECT_FALSE(written);
    EXPECT_EQ(why, "Permission denied");
    EXPECT_EQ(read(path), "old");
    EXPECT_EQ(names(), std::vector<std::string>{"kept.bin"});
    ASSERT_EQ(chmod(dir.c_str(), 0700), 0);

    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    safe_file out;
    EXPECT_FALSE(out.open(path.c_str(), why));
    EXPECT_TRUE(out.refused_read_only());
    EXPECT_EQ(read(path), "old");
}

TEST_F(SafeFile, LinksAreWrittenThroughToTheirTargets) {
    fs::create_directory(dir + "/real");
    put(dir + "/real/target.bin", "old");
    ASSERT_EQ(symlink("real/target.bin", path.c_str()), 0);
    ASSERT_EQ(symlink("kept.bin", (dir + "/second").c_str()), 0);  // a link to the link
    std::string why;
    ASSERT_TRUE(write(dir + "/second", "new", why)) << why;
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_TRUE(fs::is_symlink(dir + "/second"));
    EXPECT_EQ(read(dir + "/real/target.bin"), "new");

    // A link to a file not made yet makes it; a loop of links is refused.
    ASSERT_EQ(symlink("real/later.bin", (dir + "/dangling").c_str()), 0);
    ASSERT_TRUE(write(dir + "/dangling", "made", why)) << why;
    EXPECT_EQ(read(dir + "/real/later.bin"), "made");
    ASSERT_EQ(symlink("loop_b", (dir + "/loop_a").c_str()), 0);
    ASSERT_EQ(symlink("loop_a", (dir + "/loop_b").c_str()), 0);
    EXPECT_FALSE(write(dir + "/loop_a", "x", why));
    EXPECT_EQ(errno, ELOOP);
    EXPECT_EQ(fs::read_symlink(dir + "/loop_a"), "loop_b");
}

TEST_F(SafeFile, FoldersDevicesAndFifosAreRefusedUntouched) {
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);  // no reader: opening it to write would wait
    const struct {
        std::string path;
        int error;
        const char* why;
    } refused[] = {
        {fifo, EINVAL, "not a regular file"},
        {"/dev/null", EINVAL, "not a regular file"},
        {dir, EISDIR, "a folder, not a file"},
    };
    for (const auto& r : refused) {
        std::string why;
        errno = 0;
        EXPECT_FALSE(write(r.path, "x", why)) << r.path;
        EXPECT_EQ(errno, r.error) << r.path;
        EXPECT_EQ(why, r.why) << r.path;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(names(), std::vector<std::string>{"fifo"});
    std::string why;
    EXPECT_FALSE(write(dir + "/no/such/folder/file", "x", why));
    EXPECT_EQ(why, "No such file or directory");
}

}  // namespace
