// The state functions under core_save_state and core_load_state, for the
// core's own rewind: the same bytes, with the checksum left out (0) when the
// bytes never leave memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

int save_state_bytes(std::vector<uint8_t>& out, bool checksum);
int load_state_bytes(const uint8_t* data, size_t size, std::string& error, bool checksum);
// The same bytes without the large memories (no checksum), which are listed
// with where they go.
struct state_memories;
int save_state_leaving_out(std::vector<uint8_t>& out, state_memories& memories);
