// The libretro core driven through its own calls by our small front end:
// the demo's picture, sound and controls, save states, options and content.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <dlfcn.h>
#endif

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "../cartridge/e2e_support.h"
#include "frontend.h"
#include "machine/romset_support.h"
#include "narrow_game.h"

namespace {

namespace fs = std::filesystem;

// Colours of the cartridge's palette (4 bits a component).
rgb colour(int r, int g, int b) { return {r * 255 * 2 / 31, g * 255 * 2 / 31, b * 255 * 2 / 31}; }
const rgb white = colour(15, 15, 15);
const rgb yellow = colour(15, 14, 0);

picture shown(const frontend& f) {
    picture p;
    p.width = int(f.width);
    p.height = int(f.height);
    for (uint16_t v : f.pixels) {
        const unsigned r = v >> 11, g = (v >> 5) & 0x3F, b = v & 0x1F;
        p.pixels.push_back(uint8_t(r << 3 | r >> 2));
        p.pixels.push_back(uint8_t(g << 2 | g >> 4));
        p.pixels.push_back(uint8_t(b << 3 | b >> 2));
    }
    return p;
}

// The demo's bar: the three ports and the DIP bytes in hex.
std::string bar(const frontend& f) { return read_text(shown(f), 1, 26, 29, white); }

// The left channel of the sound since the last clear, as `sound` keeps it.
sound left_channel(const frontend& f) {
    sound s;
    s.rate = 44100;
    for (size_t i = 0; i < f.audio.size(); i += 2) s.samples.push_back(f.audio[i]);
    return s;
}

class Core : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(core.open(VORTAN_LIBRETRO, error)) << error;
        core.save_dir = dir.path;  // the DIP files go there, as RetroArch gives one
    }
    void run(int frames) {
        for (int i = 0; i < frames; i++) core.run();
    }
    // Holds the buttons for two frames, then lets go and runs to `frames` in all.
    void press(std::initializer_list<std::pair<unsigned, unsigned>> buttons, int frames) {
        for (auto [port, id] : buttons) core.hold(port, id);
        run(2);
        core.release_all();
        run(frames - 2);
    }
    scratch_dir dir;  // outlives the core, which writes its DIP file there at the end
    frontend core;
};

TEST_F(Core, StartsTheDemoWithNoContentAndShowsItsTitle) {
    retro_system_info info;
    core.get_system_info(&info);
    EXPECT_TRUE(info.need_fullpath);
    EXPECT_TRUE(info.block_extract);  // the archive's name is the game's
    EXPECT_STREQ(info.valid_extensions, "zip");
    EXPECT_TRUE(core.no_game);

    ASSERT_TRUE(core.load(nullptr));
    EXPECT_EQ(core.pixel_format, RETRO_PIXEL_FORMAT_RGB565);
    EXPECT_NE(core.quirks & RETRO_SERIALIZATION_QUIRK_ENDIAN_DEPENDENT, 0u);
    retro_system_av_info av;
    core.get_system_av_info(&av);
    EXPECT_EQ(av.geometry.base_width, 320u);
    EXPECT_EQ(av.geometry.max_width, 320u);
    EXPECT_EQ(av.geometry.base_height, 224u);
    EXPECT_FLOAT_EQ(av.geometry.aspect_ratio, 4.0f / 3.0f);
    EXPECT_EQ(av.timing.fps, 60.0);
    EXPECT_EQ(av.timing.sample_rate, 44100.0);

    run(120);
    EXPECT_EQ(core.frames_shown, 120);
    ASSERT_EQ(core.width, 320u);
    ASSERT_EQ(core.height, 224u);
    picture p = shown(core);
    EXPECT_EQ(read_text(p, 9, 2, 21, yellow), "VORTAN DEMO CARTRIDGE");
    EXPECT_EQ(read_text(p, 12, 4, 16, white), "0123456789ABCDEF");
    EXPECT_GT(cell_shows(p, 9, 2, 'V', yellow), 10);
    EXPECT_EQ(bar(core), "P1 FF P2 FF SY FF D0 FF D1 FF");
    EXPECT_TRUE(core.geometry_changes.empty());

    // 735 stereo pairs a frame, both sides the same, and the music playing.
    EXPECT_EQ(core.audio.size(), size_t(120 * 735 * 2));
    for (size_t i = 0; i < core.audio.size(); i += 2) ASSERT_EQ(core.audio[i], core.audio[i + 1]) << i;
    EXPECT_GT(rms(left_channel(core).frames(10, 120)), 500.0);
}

TEST_F(Core, PadsReachTheBoardsPorts) {
    ASSERT_TRUE(core.load(nullptr));
    std::map<std::pair<unsigned, unsigned>, std::string> names;
    for (auto& [d, text] : core.descriptors) names[{d.port, d.id}] = text;
    EXPECT_EQ(names[std::make_pair(0u, unsigned(RETRO_DEVICE_ID_JOYPAD_SELECT))], "Coin 1 (key 3)");
    EXPECT_EQ(names[std::make_pair(1u, unsigned(RETRO_DEVICE_ID_JOYPAD_START))], "Start 2 (key 2)");
    EXPECT_EQ(names[std::make_pair(1u, unsigned(RETRO_DEVICE_ID_JOYPAD_A))], "Button C");
    EXPECT_EQ(names[std::make_pair(0u, unsigned(RETRO_DEVICE_ID_JOYPAD_L3))], "Service");
    EXPECT_EQ(names[std::make_pair(0u, unsigned(RETRO_DEVICE_ID_JOYPAD_R3))], "Test");

    run(30);
    core.hold(0, RETRO_DEVICE_ID_JOYPAD_LEFT);
    core.hold(0, RETRO_DEVICE_ID_JOYPAD_A);  // button C
    core.hold(1, RETRO_DEVICE_ID_JOYPAD_DOWN);
    core.hold(0, RETRO_DEVICE_ID_JOYPAD_SELECT);  // coin 1: key 3
    run(30);
    EXPECT_EQ(bar(core), "P1 7E P2 EF SY FE D0 FF D1 FF");

    core.release_all();
    for (unsigned id : {RETRO_DEVICE_ID_JOYPAD_Y, RETRO_DEVICE_ID_JOYPAD_B, RETRO_DEVICE_ID_JOYPAD_A,
                        RETRO_DEVICE_ID_JOYPAD_UP, RETRO_DEVICE_ID_JOYPAD_SELECT, RETRO_DEVICE_ID_JOYPAD_START})
        core.hold(1, id);
    core.hold(0, RETRO_DEVICE_ID_JOYPAD_START);
    core.hold(0, RETRO_DEVICE_ID_JOYPAD_L3);
    run(10);
    // Player 2: up and A B C; system: keys 1, 2 and 4 and Service.
    EXPECT_EQ(bar(core), "P1 FF P2 D8 SY C5 D0 FF D1 FF");

    // The options move Service and Test, and say so in the descriptors.
    core.release_all();
    core.set_option("vortan_service_test", "l_r");
    core.hold(0, RETRO_DEVICE_ID_JOYPAD_L);
    run(10);
    EXPECT_EQ(bar(core), "P1 FF P2 FF SY F7 D0 FF D1 FF");
    names.clear();
    for (auto& [d, text] : core.descriptors) names[{d.port, d.id}] = text;
    EXPECT_EQ(names[std::make_pair(0u, unsigned(RETRO_DEVICE_ID_JOYPAD_R))], "Test");
    EXPECT_EQ(names.count({0u, unsigned(RETRO_DEVICE_ID_JOYPAD_R3)}), 0u);
    core.release_all();
    press({{0, RETRO_DEVICE_ID_JOYPAD_R}}, 30);
    EXPECT_EQ(read_text(shown(core), 2, 1, 9, white), "SELF TEST");
}

TEST_F(Core, JingleHasItsPitchAndTheSoundOptionsSilenceIt) {
    core.set_option("vortan_dip0_1", "on");  // no music
    // Heard in frames, the first frame's note (before the switch is read) is not heard.
    core.set_option("vortan_fm_model", "classic");
    ASSERT_TRUE(core.load(nullptr));
    run(30);
    press({{0, RETRO_DEVICE_ID_JOYPAD_Y}}, 20);  // button A: the FM jingle
    sound s = left_channel(core);
    EXPECT_EQ(bar(core).substr(18), "D0 FE D1 FF");
    EXPECT_LT(rms(s.frames(0, 29)), 1.0);
    // The jingle's first note: A at 440 Hz.
    EXPECT_NEAR(tone_frequency(s.frames(33, 48), s.rate), 440.125, 4.4);
    EXPECT_GT(rms(s.frames(33, 48)), 3000.0);

    core.reset();
    core.set_option("vortan_sound_fm", "disabled");
    core.audio.clear();
    run(30);
    press({{0, RETRO_DEVICE_ID_JOYPAD_Y}}, 20);
    EXPECT_LT(rms(left_channel(core).frames(33, 48)), 1.0);
}

struct frame_record {
    std::vector<uint16_t> pixels;
    std::vector<int16_t> audio;
};

// "" when the runs match, else the first frame that differs and in what.
std::string difference(const std::vector<frame_record>& a, const std::vector<frame_record>& b) {
    if (a.size() != b.size()) return "frame counts differ";
    for (size_t i = 0; i < a.size(); i++) {
        if (a[i].pixels != b[i].pixels) return "picture of frame " + std::to_string(i);
        if (a[i].audio != b[i].audio) return "sound of frame " + std::to_string(i);
    }
    return "";
}

// Frames with the demo's buttons pressed in turn: notes, tones and the voice
// sound across them, and the ship moves.
std::vector<frame_record> scripted_frames(frontend& core, int count) {
    std::vector<frame_record> out;
    for (int n = 0; n < count; n++) {
        core.release_all();
        if (n % 40 < 2) core.hold(0, RETRO_DEVICE_ID_JOYPAD_Y);
        if (n % 30 == 15) core.hold(0, RETRO_DEVICE_ID_JOYPAD_B);
        if (n == 50) core.hold(0, RETRO_DEVICE_ID_JOYPAD_A);
        if (n % 20 < 10) core.hold(0, RETRO_DEVICE_ID_JOYPAD_RIGHT);
        core.audio.clear();
        core.run();
        out.push_back({core.pixels, core.audio});
    }
    core.release_all();
    return out;
}

TEST_F(Core, StateRoundTripGivesTheSameFramesAndBadStatesChangeNothing) {
    ASSERT_TRUE(core.load(nullptr));
    run(100);
    const size_t size = core.serialize_size();
    ASSERT_GT(size, 0u);
    const std::vector<uint8_t> saved = core.save_state();
    ASSERT_EQ(saved.size(), size);
    size_t ram_size = core.get_memory_size(RETRO_MEMORY_SYSTEM_RAM);
    ASSERT_EQ(ram_size, 0x10000u);
    const auto* ram = static_cast<const uint8_t*>(core.get_memory_data(RETRO_MEMORY_SYSTEM_RAM));
    ASSERT_NE(ram, nullptr);
    const std::vector<uint8_t> ram_then(ram, ram + ram_size);

    const std::vector<frame_record> first = scripted_frames(core, 120);
    EXPECT_EQ(core.serialize_size(), size);  // mid-note, mid-word: one size
    EXPECT_EQ(core.save_state().size(), size);

    ASSERT_TRUE(core.load_state(saved));
    EXPECT_EQ(std::vector<uint8_t>(ram, ram + ram_size), ram_then);
    EXPECT_EQ(difference(scripted_frames(core, 120), first), "");

    // Random bytes and a cut state are refused and leave the machine running on.
    ASSERT_TRUE(core.load_state(saved));
    std::vector<uint8_t> noise(size);
    std::mt19937 random(12);
    for (uint8_t& b : noise) b = uint8_t(random());
    EXPECT_FALSE(core.load_state(noise));
    EXPECT_FALSE(core.unserialize(saved.data(), size - 1));
    EXPECT_TRUE(core.logged("state not loaded"));
    EXPECT_EQ(difference(scripted_frames(core, 120), first), "");
}

TEST_F(Core, HiddenFramesOfRunAheadChangeNothingAfter) {
    ASSERT_TRUE(core.load(nullptr));
    run(60);
    const std::vector<uint8_t> saved = core.save_state();
    scripted_frames(core, 60);
    const std::vector<frame_record> drawn = scripted_frames(core, 20);

    ASSERT_TRUE(core.load_state(saved));
    core.audio_video = 2;  // sound only: the picture is not wanted
    const int shown_before = core.frames_shown;
    scripted_frames(core, 60);
    EXPECT_EQ(core.frames_shown, shown_before);
    EXPECT_EQ(core.frames_duped, 60);
    // A dupe shows the last picture again from where the core handed it: it
    // must still be that picture (screenshots and netplay's waits read it).
    std::vector<uint16_t> kept(size_t(core.width) * core.height);
    for (unsigned y = 0; y < core.height; y++)
        std::memcpy(&kept[size_t(y) * core.width], static_cast<const uint8_t*>(core.shown_data) + y * core.shown_pitch,
                    core.width * 2);
    EXPECT_EQ(kept, core.pixels);
    core.audio_video = 3;
    EXPECT_EQ(difference(scripted_frames(core, 20), drawn), "");
}

TEST_F(Core, PaletteOptionAndOptionsForOlderFrontEnds) {
    ASSERT_TRUE(core.load(nullptr));
    run(60);
    const std::vector<uint16_t> own = core.pixels;
    core.set_option("vortan_palette", "fixed");
    run(1);
    EXPECT_NE(core.pixels, own);
    core.set_option("vortan_palette", "game");
    run(1);
    EXPECT_EQ(read_text(shown(core), 9, 2, 21, yellow), "VORTAN DEMO CARTRIDGE");
    // A state saved in one mode loaded under another option keeps the option's.
    core.set_option("vortan_palette", "fixed");
    run(1);
    const std::vector<uint8_t> fixed_state = core.save_state();
    core.set_option("vortan_palette", "game");
    run(1);
    ASSERT_TRUE(core.load_state(fixed_state));
    run(1);
    EXPECT_EQ(read_text(shown(core), 9, 2, 21, yellow), "VORTAN DEMO CARTRIDGE");
    EXPECT_EQ(core.options.size(), 22u);
    const auto defaults = core.option_defaults;
    core.unload_game();
    core.close();

    frontend old;
    old.options_version = 0;
    old.save_dir = dir.path;
    std::string error;
    ASSERT_TRUE(old.open(VORTAN_LIBRETRO, error)) << error;
    EXPECT_EQ(old.option_defaults, defaults);
    EXPECT_EQ(defaults.at("vortan_palette"), "game");
    EXPECT_EQ(defaults.at("vortan_dip1_8"), "off");
    // Banks and switches counted as the board's labels count them, in both
    // kinds of declaration; the keys are those older option files hold.
    for (const frontend* f : {&core, &old}) {
        EXPECT_EQ(f->option_labels.at("vortan_dip0_1"), "DIP bank 1, switch 1");
        EXPECT_EQ(f->option_labels.at("vortan_dip1_8"), "DIP bank 2, switch 8");
    }
    ASSERT_TRUE(old.load(nullptr));
    old.run();
    EXPECT_EQ(old.frames_shown, 1);
}

TEST_F(Core, DipSwitchesKeptInTheSaveFolderAndShownAsOptions) {
    core.set_option("vortan_dip0_1", "on");
    core.set_option("vortan_dip1_3", "on");
    ASSERT_TRUE(core.load(nullptr));
    run(30);
    EXPECT_EQ(bar(core).substr(18), "D0 FE D1 FB");
    core.unload_game();
    std::ifstream in(dir.file("demo.dip"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, std::string("\xFE\xFB", 2));

    // All switches at their default: the file's switches hold, and the options show them.
    for (auto& [key, value] : core.options) value = core.option_defaults[key];
    ASSERT_TRUE(core.load(nullptr));
    EXPECT_EQ(core.options["vortan_dip0_1"], "on");
    EXPECT_EQ(core.options["vortan_dip1_3"], "on");
    EXPECT_EQ(core.options["vortan_dip1_4"], "off");
    run(30);
    EXPECT_EQ(bar(core).substr(18), "D0 FE D1 FB");
}

uint32_t long_at(const frontend& f, size_t address) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; i++) {
        const uint8_t* b = f.mapped(address + i);
        if (!b) return 0;
        v = v << 8 | *b;
    }
    return v;
}

// The map answers each address with the byte the 68000 reads there: the
// reset vectors in ROM, and in work RAM the return address that the start-up
// code's call to main left at the top of the stack.
TEST_F(Core, MemoryMapHoldsThe68000sBytesAndTakesWrites) {
    ASSERT_TRUE(core.load(nullptr));
    run(30);
    uint64_t flags = 0;
    ASSERT_NE(core.mapped(0x000000, &flags), nullptr);
    EXPECT_TRUE(flags & RETRO_MEMDESC_CONST);
    EXPECT_TRUE(flags & RETRO_MEMDESC_BIGENDIAN);
    EXPECT_EQ(long_at(core, 0), 0x00FFFF00u);  // the stack at the top of work RAM
    const uint32_t start = long_at(core, 4);
    const uint32_t back_from_main = long_at(core, 0xFFFEFC);
    EXPECT_GT(back_from_main, start);
    EXPECT_LT(back_from_main, start + 0x40);

    // Work RAM once as system RAM, its mirror the same bytes; palette RAM; nothing between.
    ASSERT_NE(core.mapped(0xFF1234, &flags), nullptr);
    EXPECT_TRUE(flags & RETRO_MEMDESC_SYSTEM_RAM);
    EXPECT_EQ(core.mapped(0xFE1234, &flags), core.mapped(0xFF1234));
    EXPECT_FALSE(flags & RETRO_MEMDESC_SYSTEM_RAM);
    EXPECT_EQ(core.get_memory_data(RETRO_MEMORY_SYSTEM_RAM), core.mapped(0xFF0000));
    EXPECT_EQ(core.get_memory_size(RETRO_MEMORY_SYSTEM_RAM), 0x10000u);
    EXPECT_NE(core.mapped(0x8C0FFF), nullptr);
    EXPECT_EQ(core.mapped(0x8C1000), nullptr);
    EXPECT_EQ(core.mapped(0x200000), nullptr);
    EXPECT_EQ(core.mapped(0xFD0000), nullptr);

    // A front end's write reaches the machine: it is in the next state and
    // comes back with it, over a later write.
    uint8_t* spare = core.mapped(0xFFF000);  // past the program's data, below its stack
    *spare = 0x5A;
    const std::vector<uint8_t> state = core.save_state();
    *spare = 0x00;
    run(1);
    EXPECT_EQ(*spare, 0x00);
    // Written between frames, as a cheat is, and kept by the frames after.
    for (size_t address : {0xFFC000, 0xFFE001, 0x8C0FFF}) {
        *core.mapped(address) = 0x12;
        run(2);
        EXPECT_EQ(*core.mapped(address), 0x12) << std::hex << address;
    }
    core.during_poll = [&] { *core.mapped(0xFFC002) = 0x34; };
    run(1);
    core.during_poll = nullptr;
    run(1);
    EXPECT_EQ(*core.mapped(0xFFC002), 0x34);
    ASSERT_TRUE(core.load_state(state));
    EXPECT_EQ(*spare, 0x5A);
    // The machine's own writes show after each frame, and a reset's.
    const uint32_t ticks = long_at(core, 0xFFFEFC);
    core.reset();
    EXPECT_EQ(*spare, 0x00);  // the reset clears work RAM
    EXPECT_EQ(long_at(core, 0xFFFEFC), 0u);
    run(2);
    EXPECT_EQ(long_at(core, 0xFFFEFC), ticks);
    core.unload_game();
    EXPECT_EQ(core.get_memory_data(RETRO_MEMORY_SYSTEM_RAM), nullptr);
}

// Netplay: both sides must run one machine, so the DIP switches and the
// palette mode keep what the machine has until the session ends.
TEST_F(Core, MachineOptionsHoldDuringNetplay) {
    ASSERT_TRUE(core.load(nullptr));
    run(30);
    core.savestate_context = RETRO_SAVESTATE_CONTEXT_ROLLBACK_NETPLAY;
    core.save_state();  // rollback saves a state at every frame
    core.set_option("vortan_dip0_1", "on");
    core.set_option("vortan_sound_fm", "disabled");  // not the machine's: taken
    run(1);
    core.save_state();
    run(30);
    EXPECT_EQ(bar(core).substr(18), "D0 FF D1 FF");
    EXPECT_EQ(core.options["vortan_dip0_1"], "off");
    EXPECT_EQ(core.options["vortan_sound_fm"], "disabled");
    ASSERT_EQ(core.messages.size(), 1u);
    EXPECT_EQ(core.messages[0], "DIP bank 1, switch 1 can't change during netplay: both sides keep the same machine");

    // A state from the other side keeps its palette mode, whatever the option here says.
    core.savestate_context = RETRO_SAVESTATE_CONTEXT_NORMAL;
    run(60);  // a second without rollback: the session is over
    core.set_option("vortan_palette", "fixed");
    run(1);
    const std::vector<uint8_t> fixed_state = core.save_state();
    const std::vector<uint16_t> fixed_picture = core.pixels;
    core.set_option("vortan_palette", "game");
    run(1);
    core.savestate_context = RETRO_SAVESTATE_CONTEXT_ROLLBACK_NETPLAY;
    ASSERT_TRUE(core.load_state(fixed_state));
    core.save_state();
    run(1);
    EXPECT_NE(read_text(shown(core), 9, 2, 21, yellow), "VORTAN DEMO CARTRIDGE");

    // Once the session is over the switch can change, and is kept.
    core.savestate_context = RETRO_SAVESTATE_CONTEXT_NORMAL;
    run(60);
    core.set_option("vortan_dip0_1", "on");
    run(30);
    EXPECT_EQ(bar(core).substr(18), "D0 FE D1 FF");
    core.unload_game();
    EXPECT_TRUE(fs::exists(dir.file("demo.dip")));
}

// The FM model, read as a game loads, would have the two sides load
// their next game on different machines: it holds too.
TEST_F(Core, FmModelHoldsDuringNetplay) {
    core.set_option("vortan_fm_model", "classic");
    ASSERT_TRUE(core.load(nullptr));
    core.savestate_context = RETRO_SAVESTATE_CONTEXT_ROLLBACK_NETPLAY;
    core.save_state();
    core.set_option("vortan_fm_model", "chip");
    core.run();
    EXPECT_EQ(core.options["vortan_fm_model"], "classic");
    ASSERT_EQ(core.messages.size(), 1u);
    EXPECT_EQ(core.messages[0], "FM model can't change during netplay: both sides keep the same machine");

    // Out of netplay it is taken, from the next game on.
    core.savestate_context = RETRO_SAVESTATE_CONTEXT_NORMAL;
    for (int i = 0; i < 60; i++) core.run();
    core.set_option("vortan_fm_model", "chip");
    core.run();
    EXPECT_EQ(core.options["vortan_fm_model"], "chip");
    EXPECT_EQ(core.messages.size(), 1u);
}

// During netplay a changed switch is neither set nor written to the DIP file.
TEST_F(Core, DipFileUntouchedAfterNetplay) {
    ASSERT_TRUE(core.load(nullptr));
    core.savestate_context = RETRO_SAVESTATE_CONTEXT_ROLLBACK_NETPLAY;
    for (int i = 0; i < 30; i++) {
        core.save_state();
        if (i == 10) core.set_option("vortan_dip1_8", "on");
        core.run();
    }
    core.unload_game();
    EXPECT_FALSE(fs::exists(dir.file("demo.dip")));
}

TEST_F(Core, GameFromItsZipOrFolderAndTheWidthFollowsItsMode) {
    fs::create_directories(dir.file("zips"));
    ASSERT_TRUE(write_zip(dir.file("zips/columns.zip"), narrow_game()));
    for (const auto& [name, bytes] : narrow_game()) dir.file("loose/columns/" + name, bytes);

    for (std::string content : {"zips/columns.zip", "loose/columns", "loose/columns/", "loose/columns/epr13111.31"}) {
        SCOPED_TRACE(content);
        core.geometry_changes.clear();
        ASSERT_TRUE(core.load(dir.file(content).c_str()));
        EXPECT_TRUE(core.logged("Columns (Japan) running"));
        run(3);
        ASSERT_EQ(core.width, 256u);
        ASSERT_EQ(core.geometry_changes.size(), 1u);
        EXPECT_EQ(core.geometry_changes[0].base_width, 256u);
        EXPECT_FLOAT_EQ(core.geometry_changes[0].aspect_ratio, 4.0f / 3.0f);
        retro_system_av_info av;
        core.get_system_av_info(&av);
        EXPECT_EQ(av.geometry.base_width, 256u);
        core.unload_game();
        core.log.clear();
        core.log_levels.clear();
    }
}

// Content named as today's sets are: a clone's archive finds its shared
// files in the parent's archive beside it, and a file that is not the known
// dump still runs, said in the log.
TEST_F(Core, TodaysSetNamesAreContentAndTheirParentsAreLookedForBesideThem) {
    fs::create_directories(dir.file("zips"));
    std::vector<std::pair<std::string, std::string>> today = narrow_game();
    today[0].first = "epr-13112.ic32";
    today[1].first = "EPR-13111.IC31";
    ASSERT_TRUE(write_zip(dir.file("zips/columnsj.zip"), today));
    ASSERT_TRUE(core.load(dir.file("zips/columnsj.zip").c_str()));
    EXPECT_TRUE(core.logged("Columns (Japan) running"));
    EXPECT_TRUE(core.logged("epr-13112.ic32: CRC "));
    EXPECT_TRUE(core.logged(", the known dump is bae6e53e"));
    core.unload_game();

    using namespace romset_test;
    std::vector<set_file> family;
    for (const set_file& f : all_files())
        if (f.set == "ichir" || f.set == "ichirj") family.push_back(f);
    ASSERT_TRUE(write_sets(dir.path, family, set_form::split, medium::zip));
    ASSERT_TRUE(core.load(dir.file("ziproms/ichirj.zip").c_str()));
    EXPECT_TRUE(core.logged("Ichident-R (Puzzle & Action 2) (Japan) running"));
    EXPECT_TRUE(core.logged("Loading file `epr-16888.ic34' from `" + dir.file("ziproms/ichir.zip")));
    core.unload_game();
    fs::remove(dir.file("ziproms/ichir.zip"));
    EXPECT_FALSE(core.load(dir.file("ziproms/ichirj.zip").c_str()));
    EXPECT_TRUE(core.logged("the parent set `ichir', which was not found"));
}

// The log level comes from the loader, whatever its line's wording.
TEST_F(Core, LoaderLinesAreLoggedAtTheirSeverity) {
    const std::string shorter = dir.file("short/columns/epr13112.32", std::string(100, 'x'));
    const std::string whole = dir.file("short/columns/epr13111.31", std::string(0x20000, 'y'));
    EXPECT_TRUE(core.load(dir.file("short/columns").c_str()));  // a short loose file loads, the rest zeros
    EXPECT_TRUE(core.logged_at(RETRO_LOG_ERROR, "Wrong size for file `" + shorter + "'"));
    EXPECT_TRUE(core.logged_at(RETRO_LOG_INFO, "Loading file `" + whole + "'"));
    EXPECT_TRUE(core.logged_at(RETRO_LOG_WARN, "the known dump is"));
    core.unload_game();

    dir.file("folder/columns/epr13112.32", std::string(0x20000, 'x'));
    fs::create_directories(dir.file("folder/columns/epr13111.31"));
    EXPECT_FALSE(core.load(dir.file("folder/columns").c_str()));
    EXPECT_TRUE(core.logged_at(RETRO_LOG_ERROR, "Not a regular file: `" + dir.file("folder/columns/epr13111.31")));
    EXPECT_TRUE(core.logged_at(RETRO_LOG_ERROR, "Error loading file `" + dir.file("folder/columns/epr13111.31")));
}

TEST_F(Core, BadContentIsRefusedWithTheLoadersLines) {
    std::string noise(300000, '\0');
    std::mt19937 random(7);
    for (char& c : noise) c = char(random());
    dir.file("bad/columns.zip", noise);
    fs::create_directories(dir.file("empty/columns"));
    dir.file("other/nosuch.zip", "PK");

    EXPECT_FALSE(core.load(dir.file("bad/columns.zip").c_str()));
    EXPECT_TRUE(core.logged("Error loading file `epr13112.32' from archive"));
    EXPECT_FALSE(core.load(dir.file("empty/columns").c_str()));
    EXPECT_TRUE(core.logged("Error loading file `" + dir.file("empty/columns/epr13112.32")));
    EXPECT_FALSE(core.load(dir.file("other/nosuch.zip").c_str()));
    EXPECT_TRUE(core.logged("`nosuch' is not a game of this board"));
    // RetroArch shows the reason on screen too.
    ASSERT_EQ(core.messages.size(), 3u);
    EXPECT_EQ(core.messages[0], "`columns' could not be loaded: a file is missing or damaged (the log names it)");
    EXPECT_EQ(core.messages[2], "`nosuch' is not a game of this board: name the zip or folder by the game's short name");
    EXPECT_FALSE(core.load(dir.file("missing/columns.zip").c_str()));
    EXPECT_EQ(core.serialize_size(), 0u);
    EXPECT_EQ(core.get_memory_data(RETRO_MEMORY_SYSTEM_RAM), nullptr);

    // The core is whole afterwards.
    ASSERT_TRUE(core.load(nullptr));
    run(120);
    EXPECT_EQ(read_text(shown(core), 9, 2, 21, yellow), "VORTAN DEMO CARTRIDGE");
}

}  // namespace

// Linux only: the core opened a second time, by dlopen, in a forked process.
#ifndef _WIN32
namespace {

// A front end that calls the core in an order of its own: nothing may be
// called before its callback was given, and the core runs on regardless.
TEST(CoreCallOrder, RunsAndSavesBeforeAnyCallbackIsGiven) {
    // A process of its own: the core loaded by the other tests keeps their callbacks.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            void* library = dlopen(VORTAN_LIBRETRO, RTLD_NOW | RTLD_LOCAL);
            if (!library) std::exit(2);
            auto call = [&](const char* name) { return dlsym(library, name); };
            reinterpret_cast<void (*)()>(call("retro_init"))();
            reinterpret_cast<void (*)()>(call("retro_run"))();  // before any game
            const retro_game_info none = {};
            if (!reinterpret_cast<bool (*)(const retro_game_info*)>(call("retro_load_game"))(&none)) std::exit(3);
            for (int i = 0; i < 3; i++) reinterpret_cast<void (*)()>(call("retro_run"))();
            const size_t size = reinterpret_cast<size_t (*)()>(call("retro_serialize_size"))();
            std::vector<uint8_t> state(size);
            auto serialize = reinterpret_cast<bool (*)(void*, size_t)>(call("retro_serialize"));
            if (size == 0 || !serialize(state.data(), size) || serialize(nullptr, size)) std::exit(4);
            reinterpret_cast<void (*)()>(call("retro_unload_game"))();
            reinterpret_cast<void (*)()>(call("retro_deinit"))();
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
#endif

TEST_F(Core, ATooSmallStateBufferIsReportedWithItsSize) {
    ASSERT_TRUE(core.load(nullptr));
    run(2);
    const size_t size = core.serialize_size();
    std::vector<uint8_t> buffer(size - 1);
    EXPECT_FALSE(core.serialize(buffer.data(), buffer.size()));
    EXPECT_TRUE(core.logged("buffer of " + std::to_string(size - 1) + " bytes is too small for the state's " +
                            std::to_string(size)));
}
