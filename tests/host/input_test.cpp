#include <gtest/gtest.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include "host/video/display.h"
#include "host/input/input.h"
#include "host/settings/options.h"
#include "machine/board.h"
#include "machine/core.h"

namespace {

uint8_t fake_keys[key_state_size];
joystick_state fake_sticks[2];
int keyboard_reads_fail;

int read_keys(uint8_t* state, int size) {
    if (keyboard_reads_fail) return 0;
    std::memcpy(state, fake_keys, (size_t)size);
    return 1;
}
int read_stick(int index, joystick_state* state) {
    *state = fake_sticks[index];
    return 1;
}

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(fake_keys, 0, sizeof fake_keys);
        std::memset(fake_sticks, 0, sizeof fake_sticks);
        keyboard_reads_fail = 0;
        devices = {read_keys, read_stick, 1, 2};
        set_input_devices(&devices);
        set_option_defaults();
        joy1 = 0;
        joy2 = 1;
    }
    void TearDown() override {
        set_input_devices(nullptr);
        stop_playback();
        stop_record();
        set_option_defaults();
    }
    void hold(SDL_Scancode code) { fake_keys[code] = 0x80; }
    input_devices devices;
};

TEST_F(InputTest, KeyTable) {
    struct {
        SDL_Scancode key;
        uint32_t* word;
        uint32_t bit;
    } table[] = {
        {SDL_SCANCODE_UP, &input_p1, input_up},       {SDL_SCANCODE_DOWN, &input_p1, input_down},
        {SDL_SCANCODE_LEFT, &input_p1, input_left},   {SDL_SCANCODE_RIGHT, &input_p1, input_right},
        {SDL_SCANCODE_A, &input_p1, input_a},         {SDL_SCANCODE_S, &input_p1, input_b},
        {SDL_SCANCODE_D, &input_p1, input_c},         {SDL_SCANCODE_1, &input_system, input_key1},
        {SDL_SCANCODE_2, &input_system, input_key2},  {SDL_SCANCODE_3, &input_system, input_key3},
        {SDL_SCANCODE_4, &input_system, input_key4},  {SDL_SCANCODE_5, &input_system, input_service},
        {SDL_SCANCODE_6, &input_system, input_test},
    };
    for (const auto& t : table) {
        std::memset(fake_keys, 0, sizeof fake_keys);
        hold(t.key);
        send_frame_input();
        EXPECT_EQ(*t.word, t.bit) << SDL_GetScancodeName(t.key);
        uint32_t others = (t.word == &input_p1 ? 0 : input_p1) | input_p2 |
                          (t.word == &input_system ? 0 : input_system);
        EXPECT_EQ(others, 0u) << SDL_GetScancodeName(t.key);
    }
    // Keys outside the table, the keypad and player 2's would-be keys, do nothing.
    std::memset(fake_keys, 0, sizeof fake_keys);
    hold(SDL_SCANCODE_W);
    hold(SDL_SCANCODE_KP_8);
    hold(SDL_SCANCODE_7);
    send_frame_input();
    EXPECT_EQ(input_p1 | input_p2 | input_system, 0u);
}

TEST_F(InputTest, BackspaceHeldAsksForRewindAndReachesNoPort) {
    EXPECT_EQ(rewind_key_held(), 0);
    hold(SDL_SCANCODE_BACKSPACE);
    EXPECT_EQ(rewind_key_held(), 1);
    send_frame_input();
    EXPECT_EQ(held_p1 | held_p2 | held_system, 0u);
    devices.keyboard_present = 0;
    EXPECT_EQ(rewind_key_held(), 0) << "no keyboard, no rewind";
}

TEST_F(InputTest, ServiceAndTestShowTheirMessageEveryFrame) {
    hold(SDL_SCANCODE_5);
    for (int frame = 0; frame < 2; ++frame) {
        msg_text[0] = 0;
        send_frame_input();
        EXPECT_STREQ(msg_text, "Service");
    }
    std::memset(fake_keys, 0, sizeof fake_keys);
    hold(SDL_SCANCODE_6);
    send_frame_input();
    EXPECT_STREQ(msg_text, "Test");
}

TEST_F(InputTest, OpposingDirectionsBothSet) {
    hold(SDL_SCANCODE_UP);
    hold(SDL_SCANCODE_DOWN);
    hold(SDL_SCANCODE_LEFT);
    hold(SDL_SCANCODE_RIGHT);
    send_frame_input();
    EXPECT_EQ(input_p1, input_up | input_down | input_left | input_right);
}

TEST_F(InputTest, JoystickAxesAndDeadZone) {
    struct {
        int32_t x, y;
        uint32_t expect;
    } cases[] = {
        {128, -128, 0}, {129, 0, input_right}, {-129, 0, input_left},
        {0, -129, input_up}, {0, 1024, input_down}, {-1024, -1024, input_left | input_up},
    };
    for (const auto& c : cases) {
        fake_sticks[0].x = c.x;
        fake_sticks[0].y = c.y;
        send_frame_input();
        EXPECT_EQ(input_p1, c.expect) << c.x << "," << c.y;
        EXPECT_EQ(input_p2, 0u);
    }
    EXPECT_EQ(scale_axis(32767), 1024);
    EXPECT_EQ(scale_axis(-32768), -1024);
    EXPECT_EQ(scale_axis(0), 0);
    EXPECT_LE(scale_axis(4096), 128);  // an eighth of the travel is still centred
    EXPECT_GT(scale_axis(4200), 128);
}

TEST_F(InputTest, ButtonsByNumberFromTheOptions) {
    joy2_a = 3;
    joy2_b = 31;
    joy2_c = 200;  // outside the 32 buttons: never held, never read past them
    fake_sticks[1].buttons[3] = 128;
    fake_sticks[1].buttons[31] = 200;
    fake_sticks[1].buttons[0] = 127;  // below 128 is not held
    send_frame_input();
    EXPECT_EQ(input_p2, input_a | input_b);
    joy2_c = -1;
    send_frame_input();
    EXPECT_EQ(input_p2, input_a | input_b);
}

TEST_F(InputTest, KeyboardAndJoystickCombine) {
    hold(SDL_SCANCODE_A);
    fake_sticks[0].buttons[1] = 128;  // button B
    fake_sticks[0].x = 1024;
    send_frame_input();
    EXPECT_EQ(input_p1, input_a | input_b | input_right);
}

TEST_F(InputTest, MissingJoystickGivesNothing) {
    devices.joypads_present = 1;
    fake_sticks[1].x = 1024;
    fake_sticks[1].buttons[0] = 128;
    send_frame_input();
    EXPECT_EQ(input_p2, 0u);
    // Both players on the one joystick read the same device.
    joy2 = 0;
    fake_sticks[0].y = -1024;
    send_frame_input();
    EXPECT_EQ(input_p1, input_up);
    EXPECT_EQ(input_p2, input_up);
}

TEST_F(InputTest, NoKeyboardReadsNoKeys) {
    hold(SDL_SCANCODE_UP);
    devices.keyboard_present = 0;
    send_frame_input();
    EXPECT_EQ(input_p1, 0u);
    EXPECT_EQ(check_keyboard(-1), 0);
    EXPECT_EQ(check_keyboard(key_state_size), 0);
}

TEST_F(InputTest, FailedKeyboardReadKeepsTheLastState) {
    hold(SDL_SCANCODE_S);
    send_frame_input();
    keyboard_reads_fail = 1;
    std::memset(fake_keys, 0, sizeof fake_keys);
    send_frame_input();
    EXPECT_EQ(input_p1, input_b);
}

TEST_F(InputTest, ScriptFormat) {
    std::vector<input_script_line> lines;
    std::string error;
    ASSERT_TRUE(parse_input_script("# title\n0\n10 p1.up P1.A key1 # start\n\n  20\tp2.c service test\r\n30",
                                   lines, error))
        << error;
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].frame, 0u);
    EXPECT_EQ(lines[0].p1 | lines[0].p2 | lines[0].system, 0u);
    EXPECT_EQ(lines[1].frame, 10u);
    EXPECT_EQ(lines[1].p1, input_up | input_a);
    EXPECT_EQ(lines[1].system, input_key1);
    EXPECT_EQ(lines[2].p2, input_c);
    EXPECT_EQ(lines[2].system, input_service | input_test);
    EXPECT_EQ(lines[3].frame, 30u);

    EXPECT_FALSE(parse_input_script("0 p1.up\n5 p3.up\n", lines, error));
    EXPECT_NE(error.find("line 2"), std::string::npos);
    EXPECT_NE(error.find("p3.up"), std::string::npos);
    EXPECT_FALSE(parse_input_script("10\n5\n", lines, error));
    EXPECT_FALSE(parse_input_script("-1 p1.up\n", lines, error));
    EXPECT_FALSE(parse_input_script("99999999999 p1.up\n", lines, error));
    EXPECT_FALSE(parse_input_script("p1.up\n", lines, error));

    EXPECT_EQ(format_controls(input_up | input_c, input_right, input_key4 | input_test),
              "p1.up p1.c p2.right key4 test");
    EXPECT_EQ(format_controls(0, 0, 0), "");
}

std::string temp_file(const char* text) {
    char name[] = "/tmp/vortan_script_XXXXXX";
    int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    if (text) {
        EXPECT_EQ(write(fd, text, std::strlen(text)), (ssize_t)std::strlen(text));
    }
    close(fd);
    return name;
}

TEST_F(InputTest, PlaybackReplacesTheDevicesAndRecordWritesTheWords) {
    hold(SDL_SCANCODE_D);  // ignored while a script plays
    std::string script = temp_file("2 p1.left\n4 p2.b key2\n5\n");
    std::string record = temp_file(nullptr);
    std::string error;
    ASSERT_TRUE(start_playback(script.c_str(), error)) << error;
    ASSERT_TRUE(start_record(record.c_str(), error)) << error;
    // Scripts count the game's frames.
    testing::internal::CaptureStdout();
    ASSERT_EQ(core_load("demo", 0), 1);
    testing::internal::GetCapturedStdout();
    std::vector<uint32_t> p1, p2, sys;
    for (int i = 0; i < 7; ++i) {
        send_frame_input();
        p1.push_back(held_p1);
        p2.push_back(held_p2);
        sys.push_back(held_system);
        core_run_frame(0);
    }
    EXPECT_EQ(p1, (std::vector<uint32_t>{0, 0, input_left, input_left, 0, 0, 0}));
    EXPECT_EQ(p2, (std::vector<uint32_t>{0, 0, 0, 0, input_b, 0, 0}));
    EXPECT_EQ(sys, (std::vector<uint32_t>{0, 0, 0, 0, input_key2, 0, 0}));
    ASSERT_TRUE(stop_record());
    stop_playback();

    std::ifstream in(record);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<input_script_line> lines;
    ASSERT_TRUE(parse_input_script(text.str().c_str(), lines, error)) << error;
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].frame, 0u);
    EXPECT_EQ(lines[1].frame, 2u);
    EXPECT_EQ(lines[1].p1, input_left);
    EXPECT_EQ(lines[2].frame, 4u);
    EXPECT_EQ(lines[3].frame, 5u);

    // Back on the devices once the script is stopped.
    send_frame_input();
    EXPECT_EQ(held_p1, input_c);
    core_unload();
    std::remove(script.c_str());
    std::remove(record.c_str());
}

TEST_F(InputTest, BadScriptFilesAreRefused) {
    std::string error;
    EXPECT_FALSE(start_playback("/nonexistent/script.txt", error));
    EXPECT_NE(error.find("/nonexistent/script.txt"), std::string::npos);
    std::string binary = temp_file("0 p1.up\n");
    {
        std::ofstream out(binary, std::ios::binary | std::ios::app);
        out.put('\0');
    }
    EXPECT_FALSE(start_playback(binary.c_str(), error));
    EXPECT_FALSE(start_record("/nonexistent/dir/record.txt", error));
    std::remove(binary.c_str());
}

}  // namespace
