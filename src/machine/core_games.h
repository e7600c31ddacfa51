// Between a front end's game_info and the game table's entry it describes.
#pragma once

struct driver_record;
struct game_info;

const game_info* info_of(const driver_record* game);  // null for null
const driver_record* driver_of(const game_info* game);  // null for one not the core's
