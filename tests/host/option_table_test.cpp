// The option table: every word shown as the file holds it and read back
// unchanged, every value refused the same way, every word in --help.
#include <gtest/gtest.h>
#include <string>
#include "host/app/automation.h"
#include "host/settings/option_rules.h"
#include "host/settings/option_table.h"
#include "host/settings/options.h"
#include "host/game/state_slots.h"

namespace {

class OptionTable : public ::testing::Test {
protected:
    void SetUp() override {
        set_option_defaults();
        take_refused_options();
    }
    void TearDown() override { SetUp(); }
};

TEST_F(OptionTable, EveryOptionsTextReadsBackAsItsValueWithoutARefusal) {
    for (const option_entry& e : option_entries()) {
        const std::string text = option_value_text(e.word);
        EXPECT_FALSE(text.empty() && e.kind != option_kind::path) << e.word << " has no text";
        testing::internal::CaptureStderr();
        EXPECT_TRUE(apply_option(e.word, text.c_str())) << e.word;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << e.word << " " << text;
        // A joystick index this run has no device for falls back to the first.
        const std::string word = e.word;
        if (word != "-joy1" && word != "-joy2") EXPECT_EQ(option_value_text(e.word), text) << e.word;
    }
    EXPECT_TRUE(take_refused_options().empty());
    EXPECT_EQ(option_value_text("-fm"), "chip") << "the FM model has its word too";
    apply_option("-fm", "classic");
    EXPECT_EQ(option_value_text("-fm"), "classic");
}

TEST_F(OptionTable, RewindLengthAndSoundRateAreRefusedForTheWindowLikeTheOthers) {
    struct {
        const char* word;
        const char* value;
        int* option;
        int kept;
    } refused[] = {
        {"-rewindsecs", "0", &rewind_seconds, 30},
        {"-rewindsecs", "601", &rewind_seconds, 30},
        {"-sndrate", "30", &sound_rate, default_sound_rate},
        {"-sndrate", "96000", &sound_rate, default_sound_rate},
    };
    for (const auto& r : refused) {
        *r.option = 1;
        testing::internal::CaptureStderr();
        apply_option(r.word, r.value);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(*r.option, r.kept) << r.word << " " << r.value;
        EXPECT_NE(said.find(std::string(r.word) + " " + r.value + " refused: it takes "), std::string::npos) << said;
    }
    EXPECT_EQ(take_refused_options().size(), std::size(refused));
    apply_option("-rewindsecs", "600");
    EXPECT_EQ(rewind_seconds, 600);
    EXPECT_TRUE(take_refused_options().empty());
}

TEST_F(OptionTable, DefaultsComeFromTheTableForEveryNumber) {
    for (const option_entry& e : option_entries())
        if (e.kind != option_kind::path) *static_cast<int*>(e.target) = 12345;
    set_option_defaults();
    for (const option_entry& e : option_entries())
        if (e.kind != option_kind::path) EXPECT_EQ(*static_cast<int*>(e.target), e.default_value) << e.word;
    EXPECT_EQ(throttle, 1) << "a first run plays at the right speed";
    EXPECT_EQ(sound_enabled, 1);
}

TEST_F(OptionTable, HelpNamesEveryWordOnLinesThatFitTheTerminal) {
    const std::string help = usage_text();
    for (const option_entry& e : option_entries())
        EXPECT_NE(help.find(std::string(" ") + e.word + " "), std::string::npos) << e.word;
    const std::string lines = option_help_lines();
    size_t start = 0;
    for (size_t end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1)
        EXPECT_LE(end - start, 80u) << lines.substr(start, end - start);
}

}  // namespace
