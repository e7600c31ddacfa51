// Runs every single-step test of the reference data through the core: one
// instruction per test from the recorded state, then registers, SR, PC,
// memory and cycles are compared with the recorded result.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <map>
#include <string>
#include <vector>

#include "cpu68k/m68k.h"
#include "single_step_differences.h"

namespace {

struct cpu_state {
    uint32_t reg[19];  // d0-d7, a0-a6, usp, ssp, sr, pc
    std::vector<std::pair<uint32_t, uint16_t>> ram;
};

struct test_case {
    std::string name;
    cpu_state before, after;
    uint32_t cycles = 0;
    bool address_error = false;
};

// Little-endian reader over a whole decompressed file; every read is
// bounds-checked so a truncated file is reported instead of overrun.
struct reader {
    const std::vector<uint8_t>& buf;
    size_t pos = 0;
    bool bad = false;
    uint32_t u32() {
        if (pos + 4 > buf.size()) {
            bad = true;
            return 0;
        }
        uint32_t v = uint32_t(buf[pos]) | uint32_t(buf[pos + 1]) << 8 | uint32_t(buf[pos + 2]) << 16 |
                     uint32_t(buf[pos + 3]) << 24;
        pos += 4;
        return v;
    }
    uint16_t u16() {
        if (pos + 2 > buf.size()) {
            bad = true;
            return 0;
        }
        uint16_t v = uint16_t(buf[pos] | buf[pos + 1] << 8);
        pos += 2;
        return v;
    }
    uint8_t u8() {
        if (pos + 1 > buf.size()) {
            bad = true;
            return 0;
        }
        return buf[pos++];
    }
};

bool read_state(reader& r, cpu_state& s) {
    r.u32();
    if (r.u32() != 0x01234567) return false;
    for (uint32_t& v : s.reg) v = r.u32();
    r.u32();
    r.u32();
    uint32_t n = r.u32();
    if (r.bad || n > (1u << 20)) return false;
    s.ram.resize(n);
    for (auto& e : s.ram) {
        e.first = r.u32();
        e.second = r.u16();
    }
    return !r.bad;
}

bool read_test(reader& r, test_case& t) {
    r.u32();
    if (r.u32() != 0xABC12367) return false;
    r.u32();
    if (r.u32() != 0x89ABCDEF) return false;
    uint32_t len = r.u32();
    if (r.bad || len > 4096 || r.pos + len > r.buf.size()) return false;
    t.name.assign(reinterpret_cast<const char*>(r.buf.data() + r.pos), len);
    r.pos += len;
    if (!read_state(r, t.before) || !read_state(r, t.after)) return false;
    r.u32();
    if (r.u32() != 0x456789AB) return false;
    t.cycles = r.u32();
    uint32_t n = r.u32();
    if (r.bad || n > (1u << 20)) return false;
    t.address_error = false;
    for (uint32_t i = 0; i < n; i++) {
        uint8_t kind = r.u8();
        r.u32();
        if (kind != 0)
            for (int k = 0; k < 5; k++) r.u32();
        if (kind == 4 || kind == 5) t.address_error = true;
    }
    return !r.bad;
}

bool load_file(const std::string& path, std::vector<uint8_t>& out) {
    gzFile f = gzopen(path.c_str(), "rb");
    if (!f) return false;
    out.clear();
    uint8_t chunk[1 << 16];
    int n;
    while ((n = gzread(f, chunk, sizeof chunk)) > 0) out.insert(out.end(), chunk, chunk + n);
    bool ok = n == 0;
    gzclose(f);
    return ok;
}

// 16 MB of memory in the core's order: the byte at A lives at A ^ 1.
std::vector<uint8_t> memory(0x1000000);

void poke(uint32_t a, uint16_t word) {
    memory[(a & 0xFFFFFF) ^ 1] = uint8_t(word >> 8);
    memory[((a + 1) & 0xFFFFFF) ^ 1] = uint8_t(word);
}
uint16_t peek(uint32_t a) {
    return uint16_t(memory[(a & 0xFFFFFF) ^ 1] << 8 | memory[((a + 1) & 0xFFFFFF) ^ 1]);
}

const char* reg_names[19] = {"D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "A0", "A1",
                             "A2", "A3", "A4", "A5", "A6", "USP", "SSP", "SR", "PC"};

void reset_line() {}

bool writes_sr(const std::string& family) {
    return family == "MOVEtoSR" || family == "ANDItoSR" || family == "EORItoSR" || family == "ORItoSR" ||
           family == "RTE" || family == "STOP";
}

// With T set the core takes the trace exception at the end of the slice,
// after the one instruction; the data stops before it. The expected state
// is then the data's, followed by the trace exception's frame and vector.
// An instruction that raises an exception itself clears T, so no trace
// follows it: the data shows T cleared (or, for the privileged SR writers,
// the switch to supervisor mode).
struct expected {
    uint32_t reg[19];
    bool traced = false;
    uint32_t frame = 0;  // where the trace frame goes
    uint32_t next = 0;   // address of the instruction after the one run
};

expected expect(const test_case& t, const std::string& family) {
    expected e;
    std::memcpy(e.reg, t.after.reg, sizeof e.reg);
    uint32_t sr0 = t.before.reg[17], sr1 = t.after.reg[17];
    // STOP makes no prefetch once stopped: the data's PC is the address after it
    uint32_t next = t.after.reg[18] - 4;
    if (family == "STOP" && (sr0 & 0x2000)) {
        next = t.after.reg[18];
        e.reg[18] = next + 4;
    }
    e.next = next;
    if (!(sr0 & 0x8000)) return e;
    bool raised = writes_sr(family) ? (!(sr0 & 0x2000) && (sr1 & 0x2000)) : !(sr1 & 0x8000);
    if (raised) return e;
    e.traced = true;
    e.frame = t.after.reg[16] - 6;
    e.reg[16] = e.frame;
    e.reg[17] = (sr1 | 0x2000) & ~0x8000u;
    e.reg[18] = (uint32_t(peek(0x24)) << 16 | peek(0x26)) + 4;
    return e;
}

// Runs one test; returns an empty string on a match, else what differs.
std::string run_test(const test_case& t, const std::string& family, uint16_t sr_bits, int32_t& cycles,
                     uint32_t& want_cycles) {
    s68000context c;
    s68000GetContext(&c);
    const uint32_t* in = t.before.reg;
    for (int i = 0; i < 8; i++) c.dreg[i] = in[i];
    for (int i = 0; i < 7; i++) c.areg[i] = in[8 + i];
    bool super = in[17] & 0x2000;
    c.areg[7] = super ? in[16] : in[15];
    c.other_sp = super ? in[15] : in[16];
    c.sr = uint16_t(in[17]);
    c.pc = in[18] - 4;
    std::memset(c.irq_block, 0, sizeof c.irq_block);
    c.odometer = 0;
    // RESET then only pulses the board's reset line, as on the chip
    c.reset_handler = reset_line;
    s68000SetContext(&c);
    for (auto& e : t.before.ram) poke(e.first, e.second);

    s68000exec(0);
    cycles = s68000tripOdometer();

    s68000GetContext(&c);
    uint32_t out[19];
    for (int i = 0; i < 8; i++) out[i] = c.dreg[i];
    for (int i = 0; i < 7; i++) out[8 + i] = c.areg[i];
    super = c.sr & 0x2000;
    out[15] = super ? c.other_sp : c.areg[7];
    out[16] = super ? c.areg[7] : c.other_sp;
    out[17] = c.sr;
    out[18] = c.pc + 4;
    expected e = expect(t, family);
    want_cycles = t.cycles + (e.traced ? 34 : 0);
    std::string diff;
    char line[96];
    // bits a listed difference allows are taken from the data
    out[17] = (out[17] & ~uint32_t(sr_bits)) | (e.reg[17] & sr_bits);
    for (int i = 0; i < 19; i++) {
        if (out[i] != e.reg[i]) {
            std::snprintf(line, sizeof line, " %s=%08X want %08X", reg_names[i], out[i], e.reg[i]);
            diff += line;
        }
    }
    // the data's memory, with the trace frame written over it (the core
    // accepts an odd stack pointer and stores the frame at the even address)
    std::map<uint32_t, uint16_t> want;
    for (auto& m : t.after.ram) want[m.first & 0xFFFFFE] = m.second;
    if (e.traced) {
        uint32_t pc = e.next;
        uint16_t frame[3] = {uint16_t(t.after.reg[17]), uint16_t(pc >> 16), uint16_t(pc)};
        for (int i = 0; i < 3; i++) want[(e.frame + 2 * i) & 0xFFFFFE] = frame[i];
        // the stacked SR may differ in the same bits as SR itself
        uint32_t a = e.frame & 0xFFFFFE;
        poke(a, uint16_t((peek(a) & ~sr_bits) | (want[a] & sr_bits)));
    }
    for (auto& m : want) {
        uint16_t got = peek(m.first);
        if (got != m.second) {
            std::snprintf(line, sizeof line, " [%06X]=%04X want %04X", m.first, got, m.second);
            diff += line;
        }
        poke(m.first, 0);
    }
    for (auto& e : t.before.ram) poke(e.first, 0);
    return diff;
}

// Every test clears the words it lists, so memory is all zero between files
// unless the core wrote somewhere the chip did not.
long stray_writes() {
    long n = 0;
    for (size_t a = 0; a < memory.size(); a += 8) {
        uint64_t v;
        std::memcpy(&v, &memory[a], 8);
        if (v) {
            if (n++ < 3) std::printf("  stray write near %06zX\n", a);
            std::memset(&memory[a], 0, 8);
        }
    }
    return n;
}

struct totals {
    long applicable = 0, passed = 0, skipped = 0, explained = 0, failed = 0, cycle_match = 0,
         cycle_explained = 0, cycle_other = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s test-directory [file-substring] [-v]\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    std::string filter = argc > 2 ? argv[2] : "";
    bool verbose = argc > 3;

    std::vector<std::string> files;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 3 && n.compare(n.size() - 3, 3, ".gz") == 0 && n.find(filter) != std::string::npos)
                files.push_back(n);
        }
        closedir(d);
    }
    if (files.empty()) {
        std::fprintf(stderr, "no test files found in %s\n", dir.c_str());
        return 2;
    }
    std::sort(files.begin(), files.end());

    std::map<std::string, int> known;
    for (const auto& k : known_differences)
        if (k.file[0]) known[std::string(k.file) + "|" + k.name] = k.rule;
    bool list_candidates = verbose && std::strcmp(argv[3], "list") == 0;

    if (!m68k_init()) return 2;
    m68k_switch(0);
    m68k_add_fetch(0, 0xFFFFFF, memory.data());
    m68k_add_readwrite(0, 0xFFFFFF, nullptr, memory.data());

    totals all;
    std::vector<uint8_t> buf;
    for (const std::string& f : files) {
        std::string family = f.substr(0, f.find(".json"));
        if (!load_file(dir + "/" + f, buf)) {
            std::fprintf(stderr, "%s: cannot read\n", f.c_str());
            return 2;
        }
        reader r{buf};
        if (r.u32() != 0x1A3F5D71) {
            std::fprintf(stderr, "%s: not a test file\n", f.c_str());
            return 2;
        }
        uint32_t count = r.u32();
        totals ft;
        int shown = 0;
        for (uint32_t i = 0; i < count; i++) {
            test_case t;
            if (!read_test(r, t)) {
                std::fprintf(stderr, "%s: test %u is damaged\n", f.c_str(), i);
                return 2;
            }
            if (t.address_error) {
                ft.skipped++;
                continue;
            }
            ft.applicable++;
            int32_t cycles = 0;
            uint32_t want_cycles = 0;
            auto k = known.find(family + "|" + t.name);
            std::string diff = run_test(t, family, 0, cycles, want_cycles);
            if (!diff.empty() && k != known.end()) {
                // a listed difference: the same test again, its rule's bits set aside
                for (auto& m : t.before.ram) poke(m.first, m.second);
                diff = run_test(t, family, difference_rules[k->second].sr_bits, cycles, want_cycles);
                if (diff.empty()) {
                    ft.explained++;
                    diff = "explained";
                }
            }
            if (list_candidates && !diff.empty() && k == known.end()) {
                for (int rule = 0; rule < int(sizeof difference_rules / sizeof difference_rules[0]); rule++) {
                    int32_t c2;
                    uint32_t w2;
                    if (run_test(t, family, difference_rules[rule].sr_bits, c2, w2).empty()) {
                        std::printf("{\"%s\", \"%s\", %d},\n", family.c_str(), t.name.c_str(), rule);
                        break;
                    }
                }
            }
            if (diff.empty()) {
                ft.passed++;
            } else if (diff == "explained") {
            } else {
                ft.failed++;
                if (shown++ < (verbose ? 100000 : 5))
                    std::printf("  FAIL %s | %s:%s\n", family.c_str(), t.name.c_str(), diff.c_str());
            }
            uint32_t op = uint32_t(std::strtoul(t.name.substr(t.name.rfind(' ') + 1).c_str(), nullptr, 16));
            if (uint32_t(cycles) == want_cycles) ft.cycle_match++;
            else if (cycle_rule(op)) ft.cycle_explained++;
            else {
                ft.cycle_other++;
                if (shown++ < (verbose ? 1000 : 5))
                    std::printf("  CYCLES %s | %s: %d want %u\n", family.c_str(), t.name.c_str(), cycles, want_cycles);
            }
        }
        long stray = stray_writes();
        ft.failed += stray;
        std::printf("%-14s applicable %4ld passed %4ld explained %4ld failed %4ld skipped %4ld cycles %5.1f%%\n",
                    family.c_str(), ft.applicable, ft.passed, ft.explained, ft.failed, ft.skipped,
                    ft.applicable ? 100.0 * ft.cycle_match / ft.applicable : 100.0);
        all.applicable += ft.applicable;
        all.passed += ft.passed;
        all.explained += ft.explained;
        all.failed += ft.failed;
        all.skipped += ft.skipped;
        all.cycle_match += ft.cycle_match;
        all.cycle_explained += ft.cycle_explained;
        all.cycle_other += ft.cycle_other;
    }
    std::printf("summary: applicable %ld, passed %ld, skipped for address errors %ld, explained differences %ld, "
                "failed %ld, cycle matches %ld (%ld more by the core's cycle rules, %ld unexplained)\n",
                all.applicable, all.passed, all.skipped, all.explained, all.failed, all.cycle_match,
                all.cycle_explained, all.cycle_other);
    return all.failed == 0 && all.cycle_other == 0 ? 0 : 1;
}
