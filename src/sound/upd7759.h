// uPD7759 ADPCM speech chip playing samples from the board's sample ROM.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum : int { upd7759_standalone = 0 };

// A region must hold at least upd7759_rom_span bytes: every read stays below it.
inline constexpr uint32_t upd7759_rom_span = 0x20001;

struct upd7759_interface {
    int num;          // chips (at most 2)
    int clock_rate;   // Hz
    int volume[2];
    uint8_t* region[2];  // sample ROM of each chip
    int mode[2];      // upd7759_standalone
    int output_rate;  // Hz of the buffers UPD7759_update fills
};

int UPD7759_sh_start(const upd7759_interface* config);
void UPD7759_reset_w(int chip, int level);
void UPD7759_message_w(int chip, int value);
void UPD7759_start_w(int chip, int level);
void UPD7759_update(int chip, int16_t* buffer, int length);

// The whole state of the configured chips, appended to out.
void upd7759_save_state(std::vector<uint8_t>& out);
// 1 when data held a whole state of these chips; then they are exactly as they were saved.
// 0 (and the chips untouched) when the bytes are short, too long, or out of range.
int upd7759_load_state(const uint8_t* data, size_t size);
