// A setting that shows the menu: the room below reaches the one above.
#include "host/ui/window.h"
#include "host/settings/options.h"
