#include "host/program/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace host {

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    bytes.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        close(fd);
        error = "is a folder, not a file";
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            error = std::strerror(errno);
            close(fd);
            return false;
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
    close(fd);
    return true;
}

static bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

static mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

bool CheckWritable(const std::string& path, std::string& error)
{
    struct stat existing;
    if (stat(path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            error = "is a folder, not a file";
            return false;
        }
        if ((existing.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0) {
            char mode[8];
            std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(existing.st_mode & 07777));
            error = std::string("you may not write it (mode ") + mode + ")";
            return false;
        }
    }
    const std::string folder = FolderOf(path);
    struct stat folderInfo;
    if (stat(folder.c_str(), &folderInfo) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(folderInfo.st_mode)) {
        error = std::strerror(ENOTDIR);
        return false;
    }
    if (access(folder.c_str(), W_OK | X_OK) != 0) {
        error = "cannot write into its folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string& error)
{
    struct stat existing;
    const bool exists = stat(path.c_str(), &existing) == 0;
    if (!CheckWritable(path, error))
        return false;
    // The temporary file lies in the target's folder so that the rename
    // stays on one file system and replaces the target in one step.
    std::string pattern = FolderOf(path) + "/." + FileNameOf(path) + ".kivera-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    const mode_t mode = exists ? (existing.st_mode & 07777) : NewFileMode();
    bool ok = WriteAll(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    int savedErrno = errno;
    // The owner where the user may give it (root, or the owner itself);
    // else at least the group, which a member may keep.
    if (ok && exists && fchown(fd, existing.st_uid, existing.st_gid) != 0 &&
        fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0)
        errno = savedErrno;
    if (close(fd) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (ok && rename(name.data(), path.c_str()) != 0) {
        ok = false;
        savedErrno = errno;
    }
    if (!ok) {
        unlink(name.data());
        error = std::strerror(savedErrno);
    }
    return ok;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace host
