// Where a program that reads its files by paths relative to the working
// directory runs from: a program started from anywhere else first changes
// into a directory that holds them, the one installed beside the program, or,
// for a program still in its build tree, the source tree. The program says
// which files it reads.
#pragma once

#include <cstddef>

// The files a data directory holds, as paths relative to it.
struct DataFiles {
    // The program cannot start without any of these.
    const char* const* needed;
    size_t neededCount;
    // The program runs without these (they still mark a folder as its own).
    const char* const* optional;
    size_t optionalCount;
};

// 1 when DIR holds at least one of the files, needed or optional, as a
// readable file.
int HoldsAnyDataFile(const char* dir, const DataFiles* files);

// 1 when DIR holds every needed file.
int HoldsNeededDataFiles(const char* dir, const DataFiles* files);

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

// Picks the directory to run the program in. A working directory holding any
// of the files wins, even an incomplete set: those are the viewer's own, and
// a missing file is reported rather than quietly replaced. Otherwise the
// installed data beside the program, and last the source tree for a program
// that sits in its build tree, each only with every needed file present.
// Returns 1 with the directory in CHOSEN, or 0 to stay where the program was
// started (then the program reports its missing files as usual).
int ChooseDataDirectory(const DataFiles* files, const DataDirectoryPlaces* places, char* chosen,
                        size_t capacity);

// The choice for this process, from its working directory and
// /proc/self/exe; changes into the chosen directory. Returns 1 when the
// working directory changed.
int EnterDataDirectory(const DataFiles* files, const char* dataFromBinDir, const char* buildBinDir,
                       const char* sourceDir);
