// ROM images from a zip archive or a directory per game, and the small
// file helpers shared with the DIP files and the ROM dump.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "common/input_limits.h"
#include "common/printf_format.h"
#include "machine/core.h"
#include "machine/drivers.h"

inline constexpr size_t path_buffer_size = 256;

// A line of the loader to the front end's hook.
void core_loader_printf(loader_severity severity, const char* format, ...) VORTAN_PRINTF(2, 3);

// rom_loader.cpp owns the game folders (core_set_folders, core_folders):
// every path the loader, the ROM check and the DIP files build starts there.

// Each file is looked for in the game's own archive or folder, then in its
// parent set's, by name or by CRC-32 and size; a file not found so is read
// from the set's own source by its table name, as old sets were.
int load_rom(const rom_entry* list);
// The files of the last load_rom whose data differ from their known dump,
// one line each ("epr-13112.ic32: CRC 1234abcd, the known dump is bae6e53e").
extern std::vector<std::string> rom_checksum_notes;
// The helpers open regular files only: a directory, a FIFO or a device is
// refused by name on the standard output, so nothing ever blocks on a path;
// so is a file larger than its kind's limit.
int file_exist(const char* path, const input_limit& limit);
// Reads up to count bytes. 0 when the file cannot be opened or a read fails;
// file_size, when given, receives the file's length.
int load_file(const char* path, void* buffer, uint32_t count, const input_limit& limit,
              int64_t* file_size = nullptr);
// Replaces the file whole; on any failure the old one stays as it was.
int save_file(const char* path, const void* buffer, uint32_t count);
// Only stored and deflated members are read; the size and the CRC must match.
int load_zip(const char* archive, const char* member, void* buffer, uint32_t size);
void byteswap(void* buffer, uint32_t length);
