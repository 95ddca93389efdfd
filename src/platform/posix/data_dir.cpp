#include "platform/posix/data_dir.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

// DIR/NAME into OUT; false when it does not fit. A directory of "/" gives
// "/NAME", not "//NAME".
static bool JoinPath(const char* dir, const char* name, char* out, size_t capacity) {
    const size_t dirLength = strlen(dir);
    const bool needsSlash = dirLength == 0 || dir[dirLength - 1] != '/';
    const int written = snprintf(out, capacity, "%s%s%s", dir, needsSlash ? "/" : "", name);
    return written >= 0 && static_cast<size_t>(written) < capacity;
}

// A regular file the program could open for reading.
static bool IsReadableFile(const char* dir, const char* name) {
    char path[PATH_MAX];
    if (!JoinPath(dir, name, path, sizeof path)) {
        return false;
    }
    struct stat status;
    return stat(path, &status) == 0 && S_ISREG(status.st_mode) && access(path, R_OK) == 0;
}

static bool HoldsAnyOf(const char* dir, const char* const* names, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (IsReadableFile(dir, names[i])) {
            return true;
        }
    }
    return false;
}

int HoldsAnyDataFile(const char* dir, const DataFiles* files) {
    if (dir == nullptr || files == nullptr) {
        return 0;
    }
    return HoldsAnyOf(dir, files->needed, files->neededCount) ||
                   HoldsAnyOf(dir, files->optional, files->optionalCount)
               ? 1
               : 0;
}

int HoldsNeededDataFiles(const char* dir, const DataFiles* files) {
    if (dir == nullptr || files == nullptr) {
        return 0;
    }
    for (size_t i = 0; i < files->neededCount; ++i) {
        if (!IsReadableFile(dir, files->needed[i])) {
            return 0;
        }
    }
    return 1;
}

// The directory part of PATH ("/usr/bin/vup" gives "/usr/bin", "/vup" gives
// "/"); false for a path without one or one that does not fit.
static bool DirectoryOf(const char* path, char* out, size_t capacity) {
    const char* lastSlash = strrchr(path, '/');
    if (lastSlash == nullptr) {
        return false;
    }
    const size_t length = lastSlash == path ? 1 : static_cast<size_t>(lastSlash - path);
    if (length + 1 > capacity) {
        return false;
    }
    memcpy(out, path, length);
    out[length] = '\0';
    return true;
}

// Equal paths, ignoring trailing slashes ("/a/b/" is "/a/b").
static bool SamePath(const char* a, const char* b) {
    size_t aLength = strlen(a);
    size_t bLength = strlen(b);
    while (aLength > 1 && a[aLength - 1] == '/') {
        --aLength;
    }
    while (bLength > 1 && b[bLength - 1] == '/') {
        --bLength;
    }
    return aLength == bLength && memcmp(a, b, aLength) == 0;
}

static int Choose(const char* dir, char* chosen, size_t capacity) {
    const size_t length = strlen(dir);
    if (length + 1 > capacity) {
        return 0;
    }
    memcpy(chosen, dir, length + 1);
    return 1;
}

int ChooseDataDirectory(const DataFiles* files, const DataDirectoryPlaces* places, char* chosen,
                        size_t capacity) {
    if (files == nullptr || places == nullptr || chosen == nullptr || capacity == 0) {
        return 0;
    }
    chosen[0] = '\0';
    if (places->workingDir != nullptr && HoldsAnyDataFile(places->workingDir, files)) {
        return 0;
    }

    char programDir[PATH_MAX];
    if (places->executablePath == nullptr ||
        !DirectoryOf(places->executablePath, programDir, sizeof programDir)) {
        return 0;
    }

    if (places->dataFromBinDir != nullptr && places->dataFromBinDir[0] != '\0') {
        char installed[PATH_MAX];
        const bool fits =
            places->dataFromBinDir[0] == '/'
                ? Choose(places->dataFromBinDir, installed, sizeof installed)
                : JoinPath(programDir, places->dataFromBinDir, installed, sizeof installed);
        if (fits && HoldsNeededDataFiles(installed, files)) {
            return Choose(installed, chosen, capacity);
        }
    }

    // Only the program the build made may use the source tree: a copy
    // installed or moved elsewhere must not depend on a checkout.
    if (places->buildBinDir != nullptr && places->sourceDir != nullptr &&
        places->sourceDir[0] != '\0' && SamePath(programDir, places->buildBinDir) &&
        HoldsNeededDataFiles(places->sourceDir, files)) {
        return Choose(places->sourceDir, chosen, capacity);
    }
    return 0;
}

int EnterDataDirectory(const DataFiles* files, const char* dataFromBinDir, const char* buildBinDir,
                       const char* sourceDir) {
    char workingDir[PATH_MAX];
    if (getcwd(workingDir, sizeof workingDir) == nullptr) {
        // A working directory that was removed or is too deep to name: look
        // in it anyway through ".", which still refers to it.
        strcpy(workingDir, ".");
    }

    char executable[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", executable, sizeof executable - 1);
    if (length <= 0) {
        return 0;
    }
    executable[length] = '\0';

    // The build directory as the build named it may go through symbolic
    // links; /proc/self/exe never does.
    char resolvedBuildDir[PATH_MAX];
    const char* buildDir = nullptr;
    if (buildBinDir != nullptr && realpath(buildBinDir, resolvedBuildDir) != nullptr) {
        buildDir = resolvedBuildDir;
    }

    const DataDirectoryPlaces places = {workingDir, executable, dataFromBinDir, buildDir,
                                        sourceDir};
    char chosen[PATH_MAX];
    if (!ChooseDataDirectory(files, &places, chosen, sizeof chosen)) {
        return 0;
    }
    return chdir(chosen) == 0 ? 1 : 0;
}
