// The display reads the options: allowed, the room is below it.
#pragma once
#include "host/settings/options.h"
#include "host/options.h"
