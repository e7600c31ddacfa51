// A chip reaching up to a front end.
#pragma once
#  include <host/window.h>
