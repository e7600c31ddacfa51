// A saved machine: a header (magic, format version, game, payload size and
// CRC-32), then one section per module, each with its tag and length.
#include <zlib.h>

#include <cstring>

#include "common/state_bytes.h"
#include "cpu68k/m68k.h"
#include "machine/board.h"
#include "machine/core.h"
#include "machine/core_state.h"
#include "machine/drivers.h"
#include "sound/mixer.h"
#include "sound/sn76496.h"
#include "sound/upd7759.h"
#include "sound/ym2612.h"
#include "sound/ym3438_stream.h"
#include "vdp/palette.h"
#include "vdp/vdp.h"

namespace {

constexpr char state_magic[8] = {'V', 'O', 'R', 'T', 'A', 'N', 'S', 'T'};
constexpr uint32_t state_version = 1;
constexpr size_t name_size = 16;
constexpr size_t header_size = sizeof state_magic + 4 + name_size + 4 + 4;

struct section {
    char tag[5];
    void (*save)(std::vector<uint8_t>& out);
    int (*load)(const uint8_t* data, size_t size);
    bool sound;  // only in the states of a machine with its sound chips running
    int fm;      // an FM model's own section (fm_model_kind), or -1
};

const section sections[] = {
    {"BORD", board_save_state, board_load_state, false, -1},
    {"CPU ", m68k_save_state, m68k_load_state, false, -1},
    {"VDP ", vdp_save_state, vdp_load_state, false, -1},
    {"MIX ", mixer_save_state, mixer_load_state, true, -1},
    {"FM  ", ym2612_save_state, ym2612_load_state, true, fm_model_classic},
    {"FMCH", ym3438_stream_save_state, ym3438_stream_load_state, true, fm_model_chip},
    {"PSG ", sn76496_save_state, sn76496_load_state, true, -1},
    {"ADPC", upd7759_save_state, upd7759_load_state, true, -1},
};
constexpr size_t section_count = sizeof sections / sizeof sections[0];

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; i++) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void set32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t get32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint32_t crc_of(const uint8_t* data, size_t size) {
    uLong crc = crc32(0L, Z_NULL, 0);
    while (size > 0) {
        const uInt piece = size > 0x40000000u ? 0x40000000u : static_cast<uInt>(size);
        crc = crc32(crc, data, piece);
        data += piece;
        size -= piece;
    }
    return static_cast<uint32_t>(crc);
}

// A section this machine has: sound sections only with the sound running,
// and of the FM models only the one in use.
bool in_machine(const section& s) {
    return (!s.sound || sound_initialised()) && (s.fm < 0 || s.fm == fm_model);
}

const char* fm_model_name(int model) { return model == fm_model_chip ? "chip" : "classic"; }

std::string tag_text(const uint8_t* tag) {
    std::string t;
    for (int i = 0; i < 4; i++) t += (tag[i] >= 0x20 && tag[i] < 0x7F) ? static_cast<char>(tag[i]) : '?';
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return t;
}

// Where each module's section lies in a checked payload.
struct section_spans {
    const uint8_t* data[section_count] = {};
    size_t size[section_count] = {};
};

bool find_sections(const uint8_t* p, size_t left, section_spans& spans, std::string& error) {
    while (left > 0) {
        if (left < 8) {
            error = "a section header is cut short";
            return false;
        }
        const uint32_t length = get32(p + 4);
        if (length > left - 8) {
            error = "section " + tag_text(p) + " does not fit in the file";
            return false;
        }
        size_t k = 0;
        while (k < section_count && std::memcmp(sections[k].tag, p, 4) != 0) k++;
        if (k == section_count) {
            error = "unknown section " + tag_text(p) + " (a newer version's state?)";
            return false;
        }
        if (spans.data[k]) {
            error = "section " + tag_text(p) + " appears twice";
            return false;
        }
        if (sound_initialised() && sections[k].fm >= 0 && sections[k].fm != fm_model) {
            error = std::string("it was saved with the ") + fm_model_name(sections[k].fm) +
                    " FM model; switch the FM model to " + fm_model_name(sections[k].fm) + " to load it";
            return false;
        }
        spans.data[k] = p + 8;
        spans.size[k] = length;
        p += 8 + length;
        left -= 8 + length;
    }
    // Only a state with none of the sound sections was saved with the sound
    // off; one that lacks some of them is damaged.
    bool any_sound = false;
    for (size_t k = 0; k < section_count; k++) any_sound |= sections[k].sound && spans.data[k];
    for (size_t k = 0; k < section_count; k++) {
        if (in_machine(sections[k]) && !spans.data[k]) {
            error = sections[k].sound && !any_sound
                        ? "it was saved with the sound off; turn the sound off to load it"
                        : std::string("section ") + tag_text(reinterpret_cast<const uint8_t*>(sections[k].tag)) + " is missing";
            return false;
        }
    }
    return true;
}

// Loads every section the running machine has; stops at the first refused.
bool load_sections(const section_spans& spans, std::string& error) {
    for (size_t k = 0; k < section_count; k++) {
        if (!in_machine(sections[k])) continue;
        if (!sections[k].load(spans.data[k], spans.size[k])) {
            error = "section " + tag_text(reinterpret_cast<const uint8_t*>(sections[k].tag)) +
                    " does not fit this machine";
            return false;
        }
    }
    return true;
}

}  // namespace

namespace {

// Section lengths and the payload size count the memories left out too, so
// that the bytes with the memories put back are a whole state.
int save_sections(std::vector<uint8_t>& out, bool checksum) {
    const game_info* game = core_running();
    if (!game) return 0;
    const auto left_out = [] { return state_memories_left_out ? state_memories_left_out->bytes : 0; };
    // Written in place, so a buffer kept from frame to frame is never reallocated.
    out.assign(header_size, 0);  // payload size and CRC are filled in below
    std::memcpy(out.data(), state_magic, sizeof state_magic);
    set32(out, sizeof state_magic, state_version);
    std::strncpy(reinterpret_cast<char*>(out.data()) + 12, game->short_name, name_size - 1);
    for (const section& s : sections) {
        if (!in_machine(s)) continue;
        out.insert(out.end(), s.tag, s.tag + 4);
        const size_t at = out.size();
        const size_t left_out_before = left_out();
        put32(out, 0);
        s.save(out);
        set32(out, at, static_cast<uint32_t>(out.size() - at - 4 + left_out() - left_out_before));
    }
    const size_t payload_size = out.size() - header_size + left_out();
    set32(out, header_size - 8, static_cast<uint32_t>(payload_size));
    set32(out, header_size - 4, checksum ? crc_of(out.data() + header_size, out.size() - header_size) : 0);
    return 1;
}

}  // namespace

int save_state_bytes(std::vector<uint8_t>& out, bool checksum) { return save_sections(out, checksum); }

int save_state_leaving_out(std::vector<uint8_t>& out, state_memories& memories) {
    memories.list.clear();
    memories.bytes = 0;
    state_memories_left_out = &memories;
    const int saved = save_sections(out, false);
    state_memories_left_out = nullptr;
    return saved;
}

int core_save_state(std::vector<uint8_t>& out) { return save_state_bytes(out, true); }

int load_state_bytes(const uint8_t* data, size_t size, std::string& error, bool checksum) {
    const game_info* game = core_running();
    if (!game) {
        error = "no game is running";
        return 0;
    }
    if (!data || size < header_size) {
        error = "too short to be a saved state (" + std::to_string(size) + " bytes)";
        return 0;
    }
    if (std::memcmp(data, state_magic, sizeof state_magic) != 0) {
        error = "not a saved state of this program";
        return 0;
    }
    const uint32_t version = get32(data + 8);
    if (version != state_version) {
        error = "format version " + std::to_string(version) + (version > state_version ? " is newer than" : " is older than") +
                " this program's (" + std::to_string(state_version) + ")";
        return 0;
    }
    char name[name_size + 1] = {};
    std::memcpy(name, data + 12, name_size);
    if (std::strcmp(name, game->short_name) != 0) {
        std::string shown;
        for (const char* c = name; *c; c++) shown += (*c >= 0x20 && *c < 0x7F) ? *c : '?';
        error = "a state of " + shown + ", not of " + game->short_name;
        return 0;
    }
    const uint32_t payload_size = get32(data + 12 + name_size);
    const size_t have = size - header_size;
    if (payload_size != have) {
        error = have < payload_size ? "cut short: " + std::to_string(have) + " of " + std::to_string(payload_size) + " bytes"
                                    : std::to_string(have - payload_size) + " bytes more than the header says";
        return 0;
    }
    const uint8_t* payload = data + header_size;
    if (checksum && crc_of(payload, have) != get32(data + 16 + name_size)) {
        error = "damaged (its checksum does not match)";
        return 0;
    }
    section_spans spans;
    if (!find_sections(payload, have, spans, error)) return 0;

    // A section refused half way must not leave a half-loaded machine.
    std::vector<uint8_t> before;
    save_state_bytes(before, false);
    if (!load_sections(spans, error)) {
        std::string ignored;
        section_spans back;
        find_sections(before.data() + header_size, before.size() - header_size, back, ignored);
        load_sections(back, ignored);
        return 0;
    }
    set_palette_mode(palette_mode);
    return 1;
}

int core_load_state(const uint8_t* data, size_t size, std::string& error) {
    return load_state_bytes(data, size, error, true);
}
