// The shared helpers reaching up to a chip.
#pragma once
#include "common/safe_file.h"
#include "sound/mixer.h"
