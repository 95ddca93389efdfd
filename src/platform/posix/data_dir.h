// Where the show runs from. It reads its pictures and tune by paths relative
// to the working directory ("Data/..." and "data/..."), so a program started
// from anywhere else first changes into a directory that holds them: the one
// installed beside the program, or, for a program still in its build tree,
// the source tree.
#pragma once

#include <cstddef>

// 1 when DIR holds at least one of the show's pictures or its tune as a
// readable file.
int HoldsAnyShowFile(const char* dir);

// 1 when DIR holds every picture the show needs to start (the tune is
// optional: the show plays on without it).
int HoldsShowPictures(const char* dir);

struct DataDirectoryPlaces {
    // Where the program was started.
    const char* workingDir;
    // The running program's own path, symbolic links resolved; may be null.
    const char* executablePath;
    // The installed data relative to the program's directory (for example
    // "../share/vup"), or an absolute path; may be null.
    const char* dataFromBinDir;
    // The build tree's program directory, resolved; may be null.
    const char* buildBinDir;
    // The source tree, which holds Data/ and data/; may be null.
    const char* sourceDir;
};

// Picks the directory to run the show in. A working directory holding any of
// the show's files wins, even an incomplete set: those are the viewer's own,
// and a missing picture is reported rather than quietly replaced. Otherwise
// the installed data beside the program, and last the source tree for a
// program that sits in its build tree, each only with all pictures present.
// Returns 1 with the directory in CHOSEN, or 0 to stay where the program was
// started (then the show reports its missing pictures as usual).
int ChooseDataDirectory(const DataDirectoryPlaces* places, char* chosen, size_t capacity);

// The choice for this process, from its working directory and
// /proc/self/exe; changes into the chosen directory. Returns 1 when the
// working directory changed.
int EnterDataDirectory(const char* dataFromBinDir, const char* buildBinDir, const char* sourceDir);
