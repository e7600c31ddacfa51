#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <string>

#include "host/app/automation.h"
#include "host/game/rom_check.h"
#include "machine/romset_support.h"

namespace {

using namespace romset_test;

class RomAudit : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vortan_audit_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        kept = core_folders();
        core_set_folders({(root / "roms").string(), (root / "ziproms").string(), (root / "dip").string()});
    }
    void TearDown() override {
        core_set_folders(kept);
        fs::remove_all(root);
    }

    int verify(const std::vector<std::string>& names = {}) {
        std::FILE* f = std::tmpfile();
        const int status = verify_roms(names, f);
        std::rewind(f);
        said.clear();
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, f)) said += buffer;
        std::fclose(f);
        return status;
    }
    std::vector<set_file> rows_of(const std::string& set) {
        std::vector<set_file> out;
        for (const set_file& r : rows)
            if (r.set == set) out.push_back(r);
        return out;
    }

    fs::path root;
    game_folders kept;
    std::vector<set_file> rows = all_files();
    std::string said;
};

TEST_F(RomAudit, EverySetInEachFormIsGood) {
    for (set_form form : {set_form::split, set_form::merged, set_form::non_merged})
        for (medium where : {medium::zip, medium::folder}) {
            fs::remove_all(root);
            ASSERT_TRUE(write_sets(root, rows, form, where));
            EXPECT_EQ(verify(), 0) << said;
            for (const std::string& name : set_names(rows))
                EXPECT_NE(("\n" + said).find("\n" + name + ": good\n"), std::string::npos) << name << " in\n" << said;
            // The table's versions that today's sets do not hold.
            EXPECT_NE(said.find("37 sets: 31 good, 0 incorrect, 0 incomplete, 6 not found\n"), std::string::npos)
                << said;
        }
}

TEST_F(RomAudit, OneSetOfEachKindGetsItsLineAndTheCountSaysSo) {
    ASSERT_TRUE(write_sets(root, rows_of("columnsj"), set_form::non_merged, medium::zip));
    std::vector<set_file> tantr = rows_of("tantr");
    tantr[4].crc = 0x1234abcd;
    ASSERT_TRUE(write_sets(root, tantr, set_form::non_merged, medium::zip));
    std::vector<set_file> puyoj = rows_of("puyoj");
    puyoj.erase(puyoj.begin() + 2);  // epr-15038.ic34
    ASSERT_TRUE(write_sets(root, puyoj, set_form::non_merged, medium::folder));

    EXPECT_EQ(verify({"columnsj", "puyoj", "tantr", "ichir"}), 1);
    EXPECT_EQ(said,
              "columnsj: good\n"
              "puyoj: missing epr-15038.ic34 (in puyo.zip or puyoj.zip)\n"
              "tantr: incorrect epr-15617.ic4 (CRC 1234abcd, expected 338324a1)\n"
              "ichir: not found\n"
              "4 sets: 1 good, 1 incorrect, 1 incomplete, 1 not found\n");
    // Sets that are absent are no fault; good ones alone pass.
    EXPECT_EQ(verify({"COLUMNSJ", "ichir"}), 0) << said;
    EXPECT_EQ(verify({"nosuch"}), 2);
    EXPECT_EQ(verify({"demo"}), 2);
}

// The old-style set of the table is audited under today's name too.
TEST_F(RomAudit, OldStyleSetIsGoodUnderTodaysName) {
    std::vector<set_file> old = rows_of("columnsj");
    old[0].file = "epr13112.32";
    old[1].file = "epr13111.31";
    for (set_file& f : old) f.set = "columns";
    ASSERT_TRUE(write_sets(root, old, set_form::non_merged, medium::folder));
    EXPECT_EQ(verify({"columnsj", "columns"}), 0);
    EXPECT_EQ(said, "columnsj: good\ncolumns: not found\n2 sets: 1 good, 0 incorrect, 0 incomplete, 1 not found\n");
}

TEST(RomAuditCommandLine, TakesSetNamesAndListsVersions) {
    command_line cli;
    std::string error;
    const char* verify[] = {"vortan", "-verifyroms", "columns", "ichir"};
    ASSERT_TRUE(parse_command_line(4, verify, cli, error)) << error;
    EXPECT_EQ(cli.verify, 1);
    EXPECT_EQ(cli.sets, (std::vector<std::string>{"columns", "ichir"}));
    EXPECT_TRUE(cli.game.empty()) << "an audit starts no game";
    const char* both[] = {"vortan", "-verifyroms", "--listgames"};
    EXPECT_FALSE(parse_command_line(3, both, cli, error));

    std::FILE* f = std::tmpfile();
    list_games(f);
    std::rewind(f);
    std::string listed;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, f)) listed += buffer;
    std::fclose(f);
    EXPECT_NE(listed.find("columnsj   columns    Columns (Japan)\n"), std::string::npos) << listed;
    EXPECT_NE(listed.find("columns    -          Columns (World)\n"), std::string::npos) << listed;
    EXPECT_NE(listed.find("potopoto   -          PotoPoto (Japan)\n"), std::string::npos) << listed;
    size_t lines = 0;
    for (char c : listed) lines += c == '\n';
    EXPECT_EQ(lines, 1u + 17 + 21);
}

}  // namespace
