#include "formats/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "formats/input_error.h"

namespace velmora {

namespace {

std::string systemReason(int error) { return std::strerror(error); }

// The process's file-creation mask, read without changing it (umask() would
// set it, which is not safe while other threads create files).
mode_t currentUmask() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "Umask:") {
            std::string octal;
            status >> octal;
            return static_cast<mode_t>(std::stoul(octal, nullptr, 8));
        }
        status.ignore(1 << 16, '\n');
    }
    return 022;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the error, if any (a delayed write error shows here).
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

}  // namespace

std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lineFeed = bytes.find('\n', start);
        std::size_t end = lineFeed == std::string_view::npos ? bytes.size() : lineFeed;
        const std::size_t next = lineFeed == std::string_view::npos ? bytes.size() : lineFeed + 1;
        if (lineFeed != std::string_view::npos && end > start && bytes[end - 1] == '\r') --end;
        lines.emplace_back(bytes.substr(start, end - start));
        start = next;
    }
    return lines;
}

std::string readWholeFile(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) throw InputError(path, 0, "", systemReason(errno));
    std::string bytes;
    struct stat info {};
    if (::fstat(file.get(), &info) == 0 && S_ISREG(info.st_mode))
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) continue;
            throw InputError(path, 0, "", systemReason(errno));
        }
        if (count == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return bytes;
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    std::string temporaryPath = path + ".tmp-XXXXXX";
    FileDescriptor file(::mkstemp(temporaryPath.data()));
    if (file.get() < 0) throw InputError(path, 0, "", systemReason(errno));

    auto fail = [&](int error) {
        if (file.get() >= 0) file.close();
        ::unlink(temporaryPath.c_str());
        throw InputError(path, 0, "", systemReason(error));
    };
    // mkstemp creates the file readable by its owner only; give it the mode an
    // ordinary create would.
    if (::fchmod(file.get(), 0666 & ~currentUmask()) != 0) fail(errno);
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(file.get(), bytes.data() + written, bytes.size() - written);
        if (count < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        written += static_cast<std::size_t>(count);
    }
    if (::fsync(file.get()) != 0 && errno != EINVAL && errno != EROFS) fail(errno);
    if (const int error = file.close(); error != 0) fail(error);
    if (::rename(temporaryPath.c_str(), path.c_str()) != 0) fail(errno);
}

}  // namespace velmora
