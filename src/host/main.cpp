#include "host/automation.h"

int main(int argc, char** argv) { return vortan_main(argc, argv); }
