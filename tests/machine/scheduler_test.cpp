#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "machine/scheduler.h"
#include "vdp/vdp.h"

namespace {

// Every call the frame makes, with the line and status it was made at.
struct call {
    char kind;  // 'c' clear, 'x' execute, 'i' interrupt, 'r' render
    int value;
    uint32_t line;
    uint16_t status;
};
std::vector<call> calls;

int32_t record_clear() {
    calls.push_back({'c', 0, vdp.line, vdp.status});
    return 0;
}
uint32_t record_execute(int32_t cycles) {
    calls.push_back({'x', cycles, vdp.line, vdp.status});
    return 0x80000000u;
}
int32_t record_interrupt(int32_t level) {
    calls.push_back({'i', level, vdp.line, vdp.status});
    return 0;
}
void record_render(int line) { calls.push_back({'r', line, vdp.line, vdp.status}); }

class FrameScheduler : public testing::Test {
protected:
    void SetUp() override {
        saved_vdp = vdp;
        frame_hooks = {record_clear, record_execute, record_interrupt, record_render};
        calls.clear();
    }
    void TearDown() override {
        frame_hooks = default_frame_hooks;
        vdp = saved_vdp;
    }
    void run(int reg0, int reg10, int skip = 0) {
        vdp.reg[0] = static_cast<uint8_t>(reg0);
        vdp.reg[10] = static_cast<uint8_t>(reg10);
        calls.clear();
        genesis_frame(skip);
    }
    std::vector<int> interrupt_lines(int level) const {
        std::vector<int> lines;
        for (const call& c : calls)
            if (c.kind == 'i' && c.value == level) lines.push_back(static_cast<int>(c.line));
        return lines;
    }
    vdp_state saved_vdp{};
};

TEST_F(FrameScheduler, CallSequenceOfAFrame) {
    run(0x10, 0);
    // Line 0 with a horizontal interrupt on every line.
    const std::string line0 = "c x512 i4 x64 r0 ";
    std::string seen;
    for (size_t i = 0; i < 5; i++) {
        seen += calls[i].kind;
        if (calls[i].kind == 'x' || calls[i].kind == 'i') seen += std::to_string(calls[i].value);
        if (calls[i].kind == 'r') seen += std::to_string(calls[i].value);
        seen += ' ';
    }
    EXPECT_EQ(seen, line0);

    int clears = 0, executes = 0, renders = 0;
    long cycles = 0;
    for (const call& c : calls) {
        clears += c.kind == 'c';
        executes += c.kind == 'x';
        renders += c.kind == 'r';
        if (c.kind == 'x') cycles += c.value;
    }
    EXPECT_EQ(clears, 262);
    EXPECT_EQ(executes, 486);
    EXPECT_EQ(renders, 224);
    EXPECT_EQ(cycles, 148480);

    // Line 224: its 512 cycles, then the vertical interrupt; no render, no hblank slice.
    size_t at = 0;
    while (!(calls[at].kind == 'c' && calls[at].line == 224)) at++;
    EXPECT_EQ(calls[at + 1].kind, 'x');
    EXPECT_EQ(calls[at + 1].value, 512);
    EXPECT_EQ(calls[at + 2].kind, 'i');
    EXPECT_EQ(calls[at + 2].value, 6);
    EXPECT_EQ(calls[at + 3].kind, 'c');
    EXPECT_EQ(calls[at + 3].line, 225u);
    EXPECT_EQ(interrupt_lines(6), std::vector<int>{224});
    EXPECT_EQ(calls.back().kind, 'x');
    EXPECT_EQ(calls.back().line, 261u);

    // Rendered lines come in order, each after its own slices.
    int next = 0;
    for (const call& c : calls) {
        if (c.kind != 'r') continue;
        EXPECT_EQ(c.value, next);
        EXPECT_EQ(c.line, static_cast<uint32_t>(next));
        next++;
    }
}

TEST_F(FrameScheduler, HorizontalInterruptLinesFollowRegister10) {
    run(0x10, 0);
    EXPECT_EQ(interrupt_lines(4).size(), 224u);

    run(0x10, 1);
    std::vector<int> expected;
    for (int l = 1; l < 224; l += 2) expected.push_back(l);
    EXPECT_EQ(interrupt_lines(4), expected);

    run(0x10, 5);
    expected.clear();
    for (int l = 5; l < 224; l += 6) expected.push_back(l);
    EXPECT_EQ(interrupt_lines(4), expected);
    EXPECT_EQ(expected.front(), 5);
    EXPECT_EQ(expected.back(), 221);

    run(0x10, 224);
    EXPECT_TRUE(interrupt_lines(4).empty());
    run(0x10, 223);
    EXPECT_EQ(interrupt_lines(4), std::vector<int>{223});
}

TEST_F(FrameScheduler, DisabledInterruptStillCountsDown) {
    run(0x00, 5);
    EXPECT_TRUE(interrupt_lines(4).empty());
    // 224 visible lines: reloads on lines 5, 11, ..., 221, then 2 more decrements.
    EXPECT_EQ(vdp.hint_counter, 3u);
    // The counter is reloaded at line 0, whatever the previous frame left.
    vdp.hint_counter = 200;
    run(0x10, 5);
    EXPECT_EQ(interrupt_lines(4).front(), 5);
}

TEST_F(FrameScheduler, StatusBitsInsideAndOutsideTheBlankSlice) {
    vdp.status = 0xFFFF;
    run(0x10, 0);
    // First slice of line 0 sees the frame's fresh status exactly.
    ASSERT_EQ(calls[1].kind, 'x');
    EXPECT_EQ(calls[1].status, 0x3600);
    for (const call& c : calls) {
        if (c.kind != 'x') continue;
        const bool blank_slice = c.value == 64;
        EXPECT_EQ((c.status & 0x0004) != 0, blank_slice) << "line " << c.line;
        const bool after_vint = c.line > 224;  // set after line 224's slice
        EXPECT_EQ((c.status & 0x0088) == 0x0088, after_vint) << "line " << c.line;
    }
    // The vertical interrupt is requested with its bits already set.
    for (const call& c : calls) {
        if (c.kind == 'i' && c.value == 6) {
            EXPECT_EQ(c.status, 0x3688);
        }
    }
    EXPECT_EQ(vdp.status, 0x3688);
    EXPECT_EQ(vdp.line, 261u);
}

TEST_F(FrameScheduler, SkippedFrameRunsTheSameWithoutRendering) {
    run(0x10, 3, 0);
    std::vector<call> drawn;
    for (const call& c : calls)
        if (c.kind != 'r') drawn.push_back(c);
    run(0x10, 3, 1);
    ASSERT_EQ(calls.size(), drawn.size());
    for (size_t i = 0; i < calls.size(); i++) {
        EXPECT_EQ(calls[i].kind, drawn[i].kind) << i;
        EXPECT_EQ(calls[i].value, drawn[i].value) << i;
        EXPECT_EQ(calls[i].line, drawn[i].line) << i;
    }
}

}  // namespace
