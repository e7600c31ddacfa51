// Where this core decides differently from the chip the reference data was
// taken from. Each listed test may differ only in the status bits its rule
// names; everything else must still match.
#pragma once
#include <cstdint>

struct difference_rule {
    const char* rule;
    uint16_t sr_bits;  // the only SR bits allowed to differ
};

inline const difference_rule difference_rules[] = {
    {"ABCD, SBCD and NBCD set N from bit 7 of the result and clear V", 0x0A},
    {"DIVU and DIVS on overflow set V and clear N, Z and C", 0x0D},
};

struct known_difference {
    const char* file;
    const char* name;
    int rule;
};

inline const known_difference known_differences[] = {
#include "single_step_differences.inc"
};

// The core's own cycle values, by opcode: the rule that explains a cycle
// count different from the chip's, or null.
inline const char* cycle_rule(uint32_t op) {
    if ((op & 0xB0C0) == 0x80C0) return "flat MULU, MULS, DIVU and DIVS times";
    if ((op & 0xFF00) == 0x4200) return "CLR times";
    if ((op & 0xF0F8) == 0x5048) return "ADDQ.W and SUBQ.W to An times";
    if ((op & 0xFFF0) == 0x4E40) return "TRAP costs 34";
    if (op == 0x4E76) return "a TRAPV that traps costs 38";
    if ((op & 0xFFC0) == 0x4AC0 && (op & 0x38) != 0) return "TAS to memory costs 14 plus address time";
    if ((op & 0xF1C0) == 0x4180) return "a CHK that traps costs 40 plus address time";
    return nullptr;
}
