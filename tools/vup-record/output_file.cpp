#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

std::string TemporarySiblingPath(const std::string& finalPath) {
    const size_t slash = finalPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : finalPath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? finalPath : finalPath.substr(slash + 1);
    return folder + "." + name + ".partial-" + std::to_string(getpid());
}

static int FailWith(std::string* error, const std::string& what, const std::string& path) {
    *error = what + " " + path + ": " + std::strerror(errno);
    return 0;
}

int CommitFile(const std::string& temporaryPath, const std::string& finalPath, std::string* error) {
    if (std::rename(temporaryPath.c_str(), finalPath.c_str()) != 0) {
        const int cause = errno;
        DiscardFile(temporaryPath);
        errno = cause;
        return FailWith(error, "cannot write", finalPath);
    }
    return 1;
}

void DiscardFile(const std::string& temporaryPath) {
    unlink(temporaryPath.c_str());
}

int WriteFileAtomically(const std::string& path, const void* data, size_t size,
                        std::string* error) {
    const std::string temporary = TemporarySiblingPath(path);
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return FailWith(error, "cannot write", path);
    }
    const char* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t wrote = write(fd, bytes + done, size - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            const int cause = wrote < 0 ? errno : ENOSPC;
            close(fd);
            DiscardFile(temporary);
            errno = cause;
            return FailWith(error, "cannot write", path);
        }
        done += static_cast<size_t>(wrote);
    }
    // close() is where some file systems report a full disk.
    if (close(fd) != 0) {
        const int cause = errno;
        DiscardFile(temporary);
        errno = cause;
        return FailWith(error, "cannot write", path);
    }
    return CommitFile(temporary, path, error);
}

int CheckWritable(const std::string& path, std::string* error) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        return FailWith(error, "cannot write", path);
    }
    const std::string temporary = TemporarySiblingPath(path);
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return FailWith(error, "cannot write", path);
    }
    close(fd);
    DiscardFile(temporary);
    return 1;
}

int PrepareOutputFolder(const std::string& folder, std::string* error) {
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
        return FailWith(error, "cannot create folder", folder);
    }
    struct stat info;
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return FailWith(error, "cannot use folder", folder);
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        return FailWith(error, "cannot write into folder", folder);
    }
    return 1;
}
