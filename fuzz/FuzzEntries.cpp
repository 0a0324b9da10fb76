#include "FuzzEntries.h"

#include <cstdio>
#include <cstdlib>

void FuzzCheck(bool condition, const char* promise) {
    if (condition)
        return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

const std::vector<FuzzTarget>& FuzzTargets() {
    static const std::vector<FuzzTarget> targets = {
        {"scrambled", &FuzzScrambled}, {"ini", &FuzzIni}, {"bmp", &FuzzBmp}, {"ico", &FuzzIco},
        {"jpeg", &FuzzJpeg},           {"gif", &FuzzGif}, {"wmf", &FuzzWmf}, {"emf", &FuzzEmf},
    };
    return targets;
}
