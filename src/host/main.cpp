#include <cstdio>

int main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    std::puts("vortan: the front end is not built yet");
    return 0;
}
