// Case-insensitive lookup of data files and the loaders built on it; whole-file reading and safe replacing.
#include "DataFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::string file_name_part(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string resolve_data_path(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) == 0) return path;
    size_t cut = path.find_last_of('/');
    std::string dir = cut == std::string::npos ? "." : path.substr(0, cut);
    std::string base = cut == std::string::npos ? path : path.substr(cut + 1);
    if (dir.empty()) dir = "/";
    DIR* d = opendir(dir.c_str());
    if (!d) return path;
    std::string found = path;
    while (dirent* e = readdir(d)) {
        if (strcasecmp(e->d_name, base.c_str()) == 0) {
            found = (cut == std::string::npos ? std::string() : path.substr(0, cut + 1)) + e->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}

FILE* open_data_file(const std::string& path, const char* mode) {
    return fopen(resolve_data_path(path).c_str(), mode);
}

BITMAP* load_data_bitmap(const std::string& path) {
    return load_bitmap(resolve_data_path(path).c_str(), nullptr);
}

MIDI* load_data_midi(const std::string& path) { return load_midi(resolve_data_path(path).c_str()); }

SAMPLE* load_data_sample(const std::string& path) { return load_sample(resolve_data_path(path).c_str()); }

FileRead read_whole_file(const std::string& path, size_t max_bytes, std::string& bytes, std::string& error) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return FileRead::MISSING;
        error = strerror(errno);
        return FileRead::FAILED;
    }
    struct stat st;
    FileRead result = FileRead::OK;
    // The size is checked before the buffer is made, so a huge file costs no memory.
    if (fstat(fd, &st) != 0) {
        error = strerror(errno);
        result = FileRead::FAILED;
    } else if (S_ISDIR(st.st_mode)) {
        error = "it is a folder";
        result = FileRead::FAILED;
    } else if (!S_ISREG(st.st_mode)) {
        error = "it is not a plain file";
        result = FileRead::FAILED;
    } else if ((unsigned long long)st.st_size > max_bytes) {
        error = "it is " + std::to_string((long long)st.st_size) + " bytes long, more than " +
                std::to_string(max_bytes);
        result = FileRead::FAILED;
    } else {
        bytes.resize((size_t)st.st_size);
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = read(fd, &bytes[done], bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += (size_t)n;
        }
        if (done != bytes.size()) {
            error = "it cannot be read to the end";
            result = FileRead::FAILED;
        }
    }
    close(fd);
    return result;
}

bool replace_file(const std::string& path, const std::string& bytes, bool sync, std::string& error) {
    const std::string tmp = path + ".part";
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = tmp + " cannot be created (" + strerror(errno) + ")";
        return false;
    }
    size_t done = 0;
    int werr = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            werr = n < 0 ? errno : EIO;
            break;
        }
        done += (size_t)n;
    }
    // A write that seemed to work can still fail when the data reaches the disk: only a
    // successful flush and close make the new file good enough to replace the old one.
    if (!werr && sync && fsync(fd) != 0) werr = errno;
    if (close(fd) != 0 && !werr) werr = errno;
    if (werr) {
        error = "writing " + tmp + " failed (" + strerror(werr) + ")";
        unlink(tmp.c_str());
        return false;
    }
    // The folder is not flushed after the rename: a crash right after it may bring back the
    // old file, but never half of one, and it saves a second disk commit on every save.
    if (rename(tmp.c_str(), path.c_str()) != 0) {
        error = path + " cannot be replaced (" + strerror(errno) + ")";
        unlink(tmp.c_str());
        return false;
    }
    return true;
}
