#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>
#include "common/regular_file.h"

namespace {

TEST(RegularFile, OpensOnlyPlainFilesAndSaysWhyNot) {
    char pattern[] = "/tmp/vortan_regular_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    std::ofstream(dir + "/plain", std::ios::binary) << "abc";
    ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0600), 0);

    const char* why = nullptr;
    std::FILE* f = open_regular_file((dir + "/plain").c_str(), &why);
    ASSERT_NE(f, nullptr);
    char text[8] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text, f), 3u);
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(fcntl(fileno(f), F_GETFL) & O_NONBLOCK, 0);
    std::fclose(f);

    const struct {
        std::string name;
        int error;
        std::string why;
    } refused[] = {
        {dir + "/missing", ENOENT, "No such file or directory"},
        {dir, EISDIR, "a directory"},
        {dir + "/fifo", EINVAL, "not a regular file"},  // no writer: must not wait for one
        {"/dev/null", EINVAL, "not a regular file"},
    };
    for (const auto& r : refused) {
        errno = 0;
        why = nullptr;
        EXPECT_EQ(open_regular_file(r.name.c_str(), &why), nullptr) << r.name;
        EXPECT_EQ(errno, r.error) << r.name;
        ASSERT_NE(why, nullptr);
        EXPECT_EQ(std::string(why), r.why);
    }
    ASSERT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
}

}  // namespace
