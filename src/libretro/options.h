// The core options: palette mode, the two DIP banks as eight on/off switches
// each, the three sound chips, the FM model, and the pad 1 buttons for Service and Test.
#pragma once
#include <string>

#include "libretro.h"

struct service_buttons {
    unsigned service, test;  // RETRO_DEVICE_ID_JOYPAD_*
};

// Tells the front end the options; from retro_set_environment.
void options_declare(retro_environment_t env);
// Just before a game is loaded: the FM model it starts with.
void options_before_load(retro_environment_t env);
// Right after a game loaded: all options onto the machine. A DIP bank whose
// switches are all at their default keeps what the game's DIP file says,
// and the options are set to show it.
void options_start(retro_environment_t env);
// When the front end says an option changed: the changed values onto the
// machine. During netplay an option that changes the machine (a DIP switch,
// the palette mode) is put back instead, and the first such option's name
// returned; "" when none was refused.
std::string options_update(retro_environment_t env, bool netplay);
// After a state load: the palette option again over the state's mode (the
// DIP switches stay as the state has them: they are the machine's). During
// netplay the state's mode holds, as it does on the other side.
void options_after_state_load(retro_environment_t env, bool netplay);
service_buttons options_service_buttons();
