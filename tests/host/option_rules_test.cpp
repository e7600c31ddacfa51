// Options out of range refused with their allowed values, and the key
// bindings of the controls: kept in vortan.cfg, rebound, and read.
#include <gtest/gtest.h>
#include <SDL.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include "host/settings/controls.h"
#include "host/input/input.h"
#include "host/settings/option_rules.h"
#include "host/settings/options.h"
#include "machine/core.h"
#include "program_support.h"

namespace {

class OptionRules : public ::testing::Test {
protected:
    void SetUp() override {
        set_option_defaults();
        take_refused_options();
    }
    void TearDown() override {
        set_option_defaults();
        take_refused_options();
    }
    // The option applied; what it said on stderr.
    std::string apply(const char* word, const char* value) {
        testing::internal::CaptureStderr();
        EXPECT_TRUE(apply_option(word, value)) << word;
        return testing::internal::GetCapturedStderr();
    }
};

TEST_F(OptionRules, ValuesOutOfRangeAreRefusedNamingWhatTheOptionTakes) {
    struct {
        const char* word;
        const char* value;
        int* option;
        int kept;
        const char* allowed;
    } refused[] = {
        {"-winsize", "7", &winsize, 0, "1 to 6, or 0 for the size that suits the screen"},
        {"-winsize", "-1", &winsize, 0, "1 to 6, or 0 for the size that suits the screen"},
        {"-skip", "0", &skip, 1, "1 to 4"},
        {"-volume", "101", &volume, 100, "0 to 100"},
        {"-latency", "16", &latency_ms, 50, "17 to 500"},
        {"-LATENCY", "9999", &latency_ms, 50, "17 to 500"},
        // Placing the window adds its frame to these: never near overflow.
        {"-winx", "99999999999", &winx, 0, "-65536 to 65536"},
        {"-winy", "-2147483648", &winy, 0, "-65536 to 65536"},
        {"-winx", "65537", &winx, 0, "-65536 to 65536"},
        {"-joy1_b", "32", &joy1_b, 1, "0 to 31"},
        {"-joy2_c", "-1", &joy2_c, 2, "0 to 31"},
    };
    for (const auto& r : refused) {
        *r.option = 2;
        const std::string said = apply(r.word, r.value);
        EXPECT_EQ(*r.option, r.kept) << r.word << " " << r.value;
        EXPECT_NE(said.find(std::string(" ") + r.value + " refused"), std::string::npos) << said;
        EXPECT_NE(said.find(r.allowed), std::string::npos) << said;
    }
    EXPECT_EQ(take_refused_options().size(), std::size(refused)) << "kept for the window";
    EXPECT_TRUE(take_refused_options().empty());

    // The edges are taken, without a word.
    EXPECT_EQ(apply("-latency", "17"), "");
    EXPECT_EQ(latency_ms, 17);
    EXPECT_EQ(apply("-volume", "0"), "");
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(apply("-winsize", "3"), "");
    EXPECT_EQ(winsize, 3);
    EXPECT_EQ(apply("-skip", "4"), "");
    EXPECT_EQ(skip, 4);
    EXPECT_EQ(apply("-winx", "-65536"), "");
    EXPECT_EQ(winx, -65536);
    EXPECT_EQ(apply("-winy", "65536"), "");
    EXPECT_EQ(winy, 65536);
    EXPECT_EQ(apply("-joy2_a", "31"), "");
    EXPECT_EQ(joy2_a, 31);
}

TEST_F(OptionRules, RefusalsKeptForTheWindowStayFewHoweverManyThereAre) {
    testing::internal::CaptureStderr();
    for (int i = 0; i < 5000; ++i) apply_option("-skip", "9");
    const std::string said = testing::internal::GetCapturedStderr();
    const std::vector<std::string> kept = take_refused_options();
    ASSERT_EQ(kept.size(), 21u);
    EXPECT_EQ(kept.back(), "and 4980 more (see the standard error)");
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 5000);  // every one on stderr
    EXPECT_TRUE(take_refused_options().empty());
}

TEST_F(OptionRules, KeysAreBoundByNameAndTheProgramsOwnKeysRefused) {
    EXPECT_EQ(apply("-key_up", "W"), "");
    EXPECT_EQ(key_binding[control_up], SDL_SCANCODE_W);
    EXPECT_EQ(apply("-KEY_A", "right_ctrl"), "") << "names in any letter case, '_' for a blank";
    EXPECT_EQ(key_binding[control_a], SDL_SCANCODE_RCTRL);
    EXPECT_EQ(key_word(SDL_SCANCODE_KP_1), "Keypad_1");
    EXPECT_EQ(key_word(SDL_SCANCODE_LSHIFT), "Left_Shift");

    std::string said = apply("-key_b", "Nosuchkey");
    EXPECT_EQ(key_binding[control_b], SDL_SCANCODE_S) << "the binding it had";
    EXPECT_NE(said.find("-key_b Nosuchkey refused"), std::string::npos) << said;
    said = apply("-key_c", "F9");
    EXPECT_EQ(key_binding[control_c], SDL_SCANCODE_D);
    EXPECT_NE(said.find("-key_c F9 refused"), std::string::npos) << said;
    EXPECT_EQ(take_refused_options().size(), 2u);
}

TEST_F(OptionRules, RebindingSwapsWithTheControlThatHadTheKey) {
    std::string why;
    ASSERT_TRUE(bind_key(control_up, SDL_SCANCODE_A, why)) << why;
    EXPECT_EQ(key_binding[control_up], SDL_SCANCODE_A);
    EXPECT_EQ(key_binding[control_a], SDL_SCANCODE_UP) << "button A takes Up's old key";
    for (int key : {SDL_SCANCODE_P, SDL_SCANCODE_F9, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_TAB, SDL_SCANCODE_F5,
                    SDL_SCANCODE_BACKSPACE, SDL_SCANCODE_7, SDL_SCANCODE_KP_3}) {
        EXPECT_FALSE(bind_key(control_down, key, why)) << SDL_GetScancodeName(SDL_Scancode(key));
        EXPECT_NE(why.find("program's own keys"), std::string::npos) << why;
    }
    EXPECT_EQ(key_binding[control_down], SDL_SCANCODE_DOWN);
}

TEST_F(OptionRules, FmModelWordsAndTheFile) {
    EXPECT_EQ(fm_model_option, fm_model_chip) << "the chip model by default";
    EXPECT_EQ(apply("-fm", "classic"), "");
    EXPECT_EQ(fm_model_option, fm_model_classic);
    EXPECT_EQ(apply("-FM", "Chip"), "");
    EXPECT_EQ(fm_model_option, fm_model_chip);
    apply("-fm", "classic");
    const std::string said = apply("-fm", "exact");
    EXPECT_EQ(fm_model_option, fm_model_chip);
    EXPECT_NE(said.find("-fm exact refused: it takes chip or classic; chip is used"), std::string::npos) << said;
    EXPECT_EQ(take_refused_options().size(), 1u);

    char pattern[] = "/tmp/vortan_fm_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern, cfg = dir + "/vortan.cfg";
    fm_model_option = fm_model_classic;
    ASSERT_TRUE(save_config(cfg.c_str()));
    EXPECT_NE(read_file(cfg).find("-fm classic\n"), std::string::npos);
    set_option_defaults();
    do_config(cfg.c_str());
    EXPECT_EQ(fm_model_option, fm_model_classic);
    std::system(("rm -rf '" + dir + "'").c_str());
}

TEST_F(OptionRules, BindingsAndSoundSettingsRoundTripThroughTheFile) {
    char pattern[] = "/tmp/vortan_keys_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern, cfg = dir + "/vortan.cfg";
    std::string why;
    ASSERT_TRUE(bind_key(control_service, SDL_SCANCODE_LSHIFT, why)) << why;
    ASSERT_TRUE(bind_key(control_c, SDL_SCANCODE_SPACE, why)) << why;
    volume = 35;
    latency_ms = 80;
    set_stretch(stretch_fill);
    joy2_b = 7;
    const auto bound = key_binding;
    ASSERT_TRUE(save_config(cfg.c_str()));
    const std::string text = read_file(cfg);
    EXPECT_NE(text.find("-key_service Left_Shift\n"), std::string::npos) << text;
    EXPECT_NE(text.find("-key_c Space\n"), std::string::npos) << text;
    EXPECT_NE(text.find("-key_up Up\n"), std::string::npos) << text;
    EXPECT_NE(text.find("-volume 35\n-latency 80\n"), std::string::npos) << text;

    set_option_defaults();
    ASSERT_NE(key_binding, bound);
    do_config(cfg.c_str());
    EXPECT_EQ(key_binding, bound);
    EXPECT_EQ(volume, 35);
    EXPECT_EQ(latency_ms, 80);
    EXPECT_EQ(fill_window, 1);
    EXPECT_EQ(joy2_b, 7);
    EXPECT_TRUE(take_refused_options().empty());
    std::system(("rm -rf '" + dir + "'").c_str());
}

uint8_t held_keys[key_state_size];
int read_held(uint8_t* state, int size) {
    std::memcpy(state, held_keys, size_t(size));
    return 1;
}

TEST_F(OptionRules, TheBoardSeesTheKeysAsBound) {
    input_devices keyboard_only = {read_held, nullptr, 1, 0};
    set_input_devices(&keyboard_only);
    std::string why;
    ASSERT_TRUE(bind_key(control_a, SDL_SCANCODE_Z, why));
    ASSERT_TRUE(bind_key(control_key1, SDL_SCANCODE_RETURN, why));
    std::memset(held_keys, 0, sizeof held_keys);
    held_keys[SDL_SCANCODE_Z] = 0x80;
    held_keys[SDL_SCANCODE_RETURN] = 0x80;
    held_keys[SDL_SCANCODE_A] = 0x80;  // no longer button A
    held_p1 = held_p2 = held_system = 0;
    read_devices();
    EXPECT_EQ(held_p1, uint32_t(input_a));
    EXPECT_EQ(held_system, uint32_t(input_key1));
    EXPECT_EQ(held_p2, 0u);
    set_input_devices(nullptr);
}

}  // namespace
