#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/regular_file.h"
#include "common/utf8_file.h"

namespace {

namespace fs = std::filesystem;

// A folder of the test's own whose name is outside any ANSI code page.
class Utf8Files : public testing::Test {
protected:
    void SetUp() override {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        const std::string leaf = std::string("vortan Grüße ☃ ") + info->name();
        base = fs::temp_directory_path().generic_u8string();
        dir = std::string(base.begin(), base.end()) + "/" + leaf;
        std::error_code ec;
        fs::remove_all(fs::path(reinterpret_cast<const char8_t*>(dir.c_str())), ec);
        ASSERT_EQ(utf8_mkdir(dir.c_str()), 0) << dir;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(fs::path(reinterpret_cast<const char8_t*>(dir.c_str())), ec);
    }
    std::string path(const char* name) const { return dir + "/" + name; }
    void write(const std::string& name, const char* text) {
        std::FILE* f = utf8_fopen(name.c_str(), "wb");
        ASSERT_NE(f, nullptr) << name;
        std::fputs(text, f);
        std::fclose(f);
    }
    std::string read(const std::string& name) {
        std::FILE* f = utf8_fopen(name.c_str(), "rb");
        if (!f) return "(none)";
        char text[64] = {};
        const size_t n = std::fread(text, 1, sizeof text - 1, f);
        std::fclose(f);
        return std::string(text, n);
    }

    std::u8string base;
    std::string dir;
};

TEST_F(Utf8Files, NamesOutsideTheCodePageWorkThroughout) {
    const std::string file = path("état ★.sta");
    write(file, "abc");
    EXPECT_EQ(read(file), "abc");
    const path_status s = utf8_status(file.c_str());
    EXPECT_EQ(s.type, path_type::regular);
    EXPECT_EQ(s.size, 3);
    EXPECT_EQ(utf8_status(dir.c_str()).type, path_type::folder);
    EXPECT_EQ(utf8_status(path("none").c_str()).type, path_type::missing);
    EXPECT_TRUE(utf8_name_taken(file.c_str()));
    EXPECT_FALSE(utf8_name_taken(path("none").c_str()));

    // A second mkdir finds the folder there.
    const std::string folder = path("dossier ☃");
    EXPECT_EQ(utf8_mkdir(folder.c_str()), 0);
    EXPECT_EQ(utf8_mkdir(folder.c_str()), -1);
    EXPECT_EQ(errno, EEXIST);

    std::vector<std::string> names;
    ASSERT_TRUE(utf8_folder_names(dir.c_str(), names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"dossier ☃", "état ★.sta"}));
    EXPECT_FALSE(utf8_folder_names(path("none").c_str(), names));
}

TEST_F(Utf8Files, OneFileHasOneIdentityWhateverItsName) {
    const std::string file = path("a.wav");
    write(file, "x");
    const std::string roundabout = dir + "/./a.wav";
    EXPECT_FALSE(utf8_file_identity(file.c_str()).empty());
    EXPECT_EQ(utf8_file_identity(file.c_str()), utf8_file_identity(roundabout.c_str()));
    write(path("b.wav"), "y");
    EXPECT_NE(utf8_file_identity(file.c_str()), utf8_file_identity(path("b.wav").c_str()));
    EXPECT_EQ(utf8_file_identity(path("none").c_str()), "");
    EXPECT_EQ(utf8_full_folder_name(dir.c_str()), utf8_full_folder_name((dir + "/.").c_str()));
    EXPECT_EQ(utf8_full_folder_name(path("none").c_str()), "");
}

TEST(PathSeparators, BackslashPartsAPathOnWindowsOnly) {
    EXPECT_TRUE(is_path_separator('/'));
    EXPECT_EQ(last_path_separator("a/b/c"), 3u);
    EXPECT_EQ(last_path_separator("abc"), std::string::npos);
#ifdef _WIN32
    EXPECT_TRUE(is_path_separator('\\'));
    EXPECT_EQ(last_path_separator("C:\\games/roms\\x"), 13u);
#else
    EXPECT_FALSE(is_path_separator('\\'));
    EXPECT_EQ(last_path_separator("a/b\\c"), 1u);
#endif
}

TEST_F(Utf8Files, OnlyPlainFilesAreOpened) {
    const char* why = "";
    EXPECT_EQ(open_regular_file(dir.c_str(), &why), nullptr);
    EXPECT_EQ(errno, EISDIR);
    EXPECT_STREQ(why, "a directory");
    EXPECT_EQ(open_regular_file(path("none").c_str(), &why), nullptr);
    EXPECT_EQ(errno, ENOENT);

    const std::string file = path("rom ☃.bin");
    write(file, "12345");
    std::FILE* f = open_regular_file(file.c_str(), &why);
    ASSERT_NE(f, nullptr) << why;
    char text[8] = {};
    EXPECT_EQ(std::fread(text, 1, sizeof text, f), 5u);
    EXPECT_STREQ(text, "12345");
    std::fclose(f);
#ifdef _WIN32
    // Device names open as devices in any folder: refused.
    for (const char* device : {"NUL", "CON", "nul", "sub/com1.txt", "C:\\x\\Aux"}) {
        EXPECT_EQ(open_regular_file(device, &why), nullptr) << device;
        EXPECT_EQ(errno, EINVAL) << device;
        EXPECT_STREQ(why, "not a regular file");
    }
#endif
}

}  // namespace
