// A silent sound library that records the calls the show makes.
#pragma once

#include <string>
#include <vector>

struct FakeMusicCall {
    std::string name;
    std::string path;  // FMUSIC_LoadSong only
    long long args[3];
};

std::vector<FakeMusicCall>& FakeMusicCalls();
// When false, FMUSIC_LoadSong returns null, as for a missing tune.
extern bool fakeMusicLoadSucceeds;

// No calls, and songs load, as at process start.
void FakeMusicReset();
