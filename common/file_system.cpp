#include "common/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace common {
namespace {

std::string reason(int e) { return std::strerror(e); }

// A file on a descriptor. Files opened by the disk own theirs; the console's
// stays open.
class DescriptorFile final : public File {
public:
    DescriptorFile(int fd, bool owned) : fd_(fd), owned_(owned) {}
    ~DescriptorFile() override {
        if (owned_ && fd_ >= 0) ::close(fd_);
    }
    int64_t read(char* buf, size_t n) override {
        for (;;) {
            ssize_t k = ::read(fd_, buf, n);
            if (k >= 0) return k;
            if (errno == EINTR) continue;
            error_ = reason(errno);
            return -1;
        }
    }
    bool write(const char* p, size_t n) override {
        while (n > 0) {
            ssize_t k = ::write(fd_, p, n);
            if (k < 0) {
                if (errno == EINTR) continue;
                error_ = reason(errno);
                return false;
            }
            p += k;
            n -= static_cast<size_t>(k);
        }
        return true;
    }
    // The console is written where it stands: it is neither moved nor cut.
    bool seek(int64_t offset) override {
        if (!owned_) return true;
        if (::lseek(fd_, offset, SEEK_SET) < 0) {
            error_ = reason(errno);
            return false;
        }
        return true;
    }
    bool truncate(int64_t size) override {
        if (!owned_) return true;
        if (::ftruncate(fd_, size) != 0) {
            error_ = reason(errno);
            return false;
        }
        return true;
    }
    bool close() override {
        if (!owned_ || fd_ < 0) return true;
        int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            error_ = reason(errno);
            return false;
        }
        return true;
    }
    int descriptor() const override { return fd_; }

private:
    int fd_;
    bool owned_;
};

// A text in memory, shared with the file system that holds it by name.
class MemoryFile final : public File {
public:
    explicit MemoryFile(std::shared_ptr<std::string> text) : text_(std::move(text)) {}
    int64_t read(char* buf, size_t n) override {
        size_t at = std::min(pos_, text_->size());
        size_t k = std::min(n, text_->size() - at);
        if (k > 0) std::memcpy(buf, text_->data() + at, k);
        pos_ = at + k;
        return static_cast<int64_t>(k);
    }
    bool write(const char* p, size_t n) override {
        if (pos_ > text_->size()) text_->resize(pos_, '\0');
        text_->replace(pos_, std::min(n, text_->size() - pos_), p, n);
        pos_ += n;
        return true;
    }
    bool seek(int64_t offset) override {
        pos_ = static_cast<size_t>(offset);
        return true;
    }
    bool truncate(int64_t size) override {
        if (static_cast<size_t>(size) < text_->size()) text_->resize(static_cast<size_t>(size));
        return true;
    }
    bool close() override { return true; }
    const std::string* text() const override { return text_.get(); }

private:
    std::shared_ptr<std::string> text_;
    size_t pos_ = 0;
};

FileType type_of(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return FileType::Regular;
    if (S_ISDIR(st.st_mode)) return FileType::Directory;
    return FileType::Other;
}

// Opens a descriptor on `path`; a folder is no file.
std::unique_ptr<File> open_descriptor(const std::string& path, int flags, std::string& err) {
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        err = reason(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        err = reason(EISDIR);
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<DescriptorFile>(fd, true);
}

}  // namespace

std::unique_ptr<File> DiskFileSystem::open_read(const std::string& path, std::string& err) {
    return open_descriptor(path, O_RDONLY, err);
}

std::unique_ptr<File> DiskFileSystem::open_write(const std::string& path, std::string& err) {
    return open_descriptor(path, O_RDWR | O_CREAT, err);
}

FileType DiskFileSystem::type(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FileType::Missing;
    return type_of(st);
}

bool DiskFileSystem::same_file(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code ec;
    auto normal = [&ec](const std::string& name) {
        fs::path p = fs::absolute(fs::path(name), ec);
        if (ec) p = fs::path(name);
        return p.lexically_normal();
    };
    if (normal(a) == normal(b)) return true;
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool DiskFileSystem::remove(const std::string& path, std::string& err) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    err = reason(errno);
    return false;
}

DiskFileSystem& disk() {
    static DiskFileSystem d;
    return d;
}

std::unique_ptr<File> descriptor_file(int fd) { return std::make_unique<DescriptorFile>(fd, false); }

std::unique_ptr<File> memory_file(std::string text) {
    return std::make_unique<MemoryFile>(std::make_shared<std::string>(std::move(text)));
}

std::string MemoryFileSystem::key(const std::string& path) {
    std::string k = std::filesystem::path(path).lexically_normal().string();
    while (k.size() > 1 && k.back() == '/') k.pop_back();
    return k;
}

std::unique_ptr<File> MemoryFileSystem::open_read(const std::string& path, std::string& err) {
    auto it = files_.find(key(path));
    if (it == files_.end()) {
        err = reason(folders_.count(key(path)) ? EISDIR : ENOENT);
        return nullptr;
    }
    return std::make_unique<MemoryFile>(it->second);
}

std::unique_ptr<File> MemoryFileSystem::open_write(const std::string& path, std::string& err) {
    const std::string k = key(path);
    if (folders_.count(k)) {
        err = reason(EISDIR);
        return nullptr;
    }
    auto& text = files_[k];
    if (!text) text = std::make_shared<std::string>();
    return std::make_unique<MemoryFile>(text);
}

FileType MemoryFileSystem::type(const std::string& path) {
    const std::string k = key(path);
    if (files_.count(k)) return FileType::Regular;
    if (folders_.count(k)) return FileType::Directory;
    return FileType::Missing;
}

bool MemoryFileSystem::same_file(const std::string& a, const std::string& b) { return key(a) == key(b); }

bool MemoryFileSystem::remove(const std::string& path, std::string&) {
    files_.erase(key(path));
    return true;
}

void MemoryFileSystem::put(const std::string& path, std::string text) {
    files_[key(path)] = std::make_shared<std::string>(std::move(text));
}

void MemoryFileSystem::add_folder(const std::string& path) { folders_[key(path)] = true; }

const std::string* MemoryFileSystem::get(const std::string& path) const {
    auto it = files_.find(key(path));
    return it == files_.end() ? nullptr : it->second.get();
}

std::vector<std::string> MemoryFileSystem::names() const {
    std::vector<std::string> out;
    for (const auto& [name, text] : files_) out.push_back(name);
    return out;
}

}  // namespace common
