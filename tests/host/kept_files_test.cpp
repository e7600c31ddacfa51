// The files a run writes replace the old ones only when they are whole, and
// the files it reads are refused when they are far too large or not plain
// files, before they can take the run's time or memory.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/safe_file.h"
#include "host/app/automation.h"
#include "host/input/input.h"
#include "host/settings/options.h"
#include "machine/fifo_guard.h"

namespace {

namespace fs = std::filesystem;

class KeptFiles : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vortan_kept_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        set_safe_file_fault(safe_file_fault::none);
        stop_playback();
        stop_record(0);
        set_option_defaults();
        fs::remove_all(dir);
    }
    std::string path(const char* name) const { return dir + "/" + name; }
    static std::string read(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    static void put(const std::string& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    // Many megabytes of one line over and over, written a megabyte at a time.
    static void put_repeated(const std::string& p, const std::string& line, size_t megabytes) {
        std::string block;
        while (block.size() < (1u << 20)) block += line;
        block.resize(1u << 20);
        std::ofstream f(p, std::ios::binary);
        for (size_t i = 0; i < megabytes; ++i) f.write(block.data(), std::streamsize(block.size()));
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    std::string dir;
};

// The process's peak memory from now on, in megabytes: the kernel's mark is
// set back to what is in use now, and getrusage reads it.
void restart_peak_memory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}
long peak_memory_mb() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

TEST_F(KeptFiles, AFailedSnapshotKeepsThePictureThatWasThere) {
    const std::string shot = path("shot.png");
    put(shot, "the old picture");
    const std::vector<uint16_t> pixels(320 * 224, 0xF800);
    set_safe_file_fault(safe_file_fault::write);  // a full disk
    testing::internal::CaptureStderr();
    EXPECT_EQ(write_snapshot(shot.c_str(), pixels.data(), 640, 320, 224, 0), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("No space left on device"), std::string::npos);
    EXPECT_EQ(read(shot), "the old picture");
    EXPECT_EQ(names(), std::vector<std::string>{"shot.png"});

    set_safe_file_fault(safe_file_fault::none);
    ASSERT_EQ(write_snapshot(shot.c_str(), pixels.data(), 640, 320, 224, 0), 1);
    EXPECT_EQ(read(shot).substr(1, 3), "PNG");
}

TEST_F(KeptFiles, SoundAndRecordReplaceTheOldFilesOnlyWhenWhole) {
    const std::string wav_name = path("run.wav"), record_name = path("run.txt");
    put(wav_name, "old sound");
    put(record_name, "0 p1.up\n");
    const int16_t samples[735] = {1, 2, 3};

    // While the run goes on, and when it fails, the old files are there.
    {
        wav_writer wav;
        ASSERT_EQ(wav.open(wav_name.c_str(), 44100), 1);
        wav.write_block(samples, 735);
        EXPECT_EQ(read(wav_name), "old sound");
        wav.discard();
    }
    std::string error;
    ASSERT_EQ(start_record(record_name.c_str(), error), 1) << error;
    read_input(0);
    EXPECT_EQ(read(record_name), "0 p1.up\n");
    EXPECT_EQ(stop_record(0), 1);
    EXPECT_EQ(read(record_name), "0 p1.up\n");

    // A disk that fills up on the way fails the close, the old files stay.
    set_safe_file_fault(safe_file_fault::write);
    {
        wav_writer wav;
        ASSERT_EQ(wav.open(wav_name.c_str(), 44100), 1);
        for (int i = 0; i < 20; ++i) wav.write_block(samples, 735);
        EXPECT_EQ(wav.close(), 0);
    }
    ASSERT_EQ(start_record(record_name.c_str(), error), 1) << error;
    read_input(0);
    EXPECT_EQ(stop_record(), 0);
    set_safe_file_fault(safe_file_fault::none);
    EXPECT_EQ(read(wav_name), "old sound");
    EXPECT_EQ(read(record_name), "0 p1.up\n");
    EXPECT_EQ(names(), (std::vector<std::string>{"run.txt", "run.wav"}));

    // A whole run replaces them.
    {
        wav_writer wav;
        ASSERT_EQ(wav.open(wav_name.c_str(), 44100), 1);
        wav.write_block(samples, 735);
        EXPECT_EQ(wav.close(), 1);
    }
    EXPECT_EQ(read(wav_name).size(), 44u + 735 * 2);
    ASSERT_EQ(start_record(record_name.c_str(), error), 1) << error;
    read_input(0);
    EXPECT_EQ(stop_record(), 1);
    EXPECT_NE(read(record_name).find("\n0\n"), std::string::npos) << read(record_name);
}

TEST_F(KeptFiles, AHundredMegabyteConfigurationIsRefusedQuicklyAndKept) {
    const std::string cfg = path("vortan.cfg");
    put_repeated(cfg, "-skip 2 -blur on -winx 5\n", 100);
    restart_peak_memory();
    const long before = peak_memory_mb();
    const auto started = std::chrono::steady_clock::now();
    testing::internal::CaptureStderr();
    do_config(cfg.c_str());
    const std::string said = testing::internal::GetCapturedStderr();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(peak_memory_mb() - before, 16) << "megabytes taken to refuse it";
    EXPECT_LT(seconds, 1.0);
    EXPECT_NE(said.find(cfg + " is larger than 1 MB, the most a configuration file may be"), std::string::npos)
        << said;
    EXPECT_EQ(skip, 1);  // the defaults
    EXPECT_EQ(blur, 0);

    // Not read, so not written over at exit either.
    testing::internal::CaptureStderr();
    EXPECT_EQ(save_config(cfg.c_str()), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("not saved over it"), std::string::npos);
    EXPECT_EQ(fs::file_size(cfg), 100u << 20);
}

TEST_F(KeptFiles, AHundredMegabyteScriptIsRefusedQuickly) {
    const std::string script = path("script.txt");
    put_repeated(script, "12 p1.up p1.a key1\n", 100);
    restart_peak_memory();
    const long before = peak_memory_mb();
    std::string error;
    EXPECT_EQ(start_playback(script.c_str(), error), 0);
    EXPECT_LT(peak_memory_mb() - before, 16) << "megabytes taken to refuse it";
    EXPECT_EQ(error, script + " is larger than 16 MB, the most a playback script may be");
}

TEST_F(KeptFiles, APlaybackFifoIsRefusedWithoutWaitingForAWriter) {
    const std::string fifo = path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    int started = -1;
    EXPECT_TRUE(machine_test::returns_unaided({fifo}, [&] { started = start_playback(fifo.c_str(), error); }));
    EXPECT_EQ(started, 0);
    EXPECT_EQ(error, fifo + ": not a regular file");
}

}  // namespace
