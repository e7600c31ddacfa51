// uPD7759 ADPCM speech chip playing samples from the board's sample ROM.
#pragma once
#include <cstdint>

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
