// The file system held in memory: the texts of a run's files by name, for
// the library's in-memory calls and the tests.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/file_system.h"

namespace common {
namespace {

std::string reason(int e) {
    return std::strerror(e);
}

// A text in memory, read and written at a position.
class MemoryFile : public File {
  public:
    explicit MemoryFile(std::shared_ptr<std::string> text) : text_(std::move(text)) {}
    int64_t read(char* buf, size_t n) override {
        size_t at = std::min(pos_, text_->size());
        size_t k = std::min(n, text_->size() - at);
        text_->copy(buf, k, at);  // bytes, not a C string
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

  protected:
    std::shared_ptr<std::string> text_;
    size_t pos_ = 0;
};

class MemoryLog final : public LogFile {
  public:
    explicit MemoryLog(std::shared_ptr<std::string> text) : text_(std::move(text)) {}
    bool replace(std::string_view text) override {
        text_->assign(text);
        return true;
    }

  private:
    std::shared_ptr<std::string> text_;
};

}  // namespace

// An output in memory: its text takes the place of the named file when it
// is closed.
class MemoryOutput final : public MemoryFile {
  public:
    MemoryOutput(MemoryFileSystem& fs, std::string key)
        : MemoryFile(std::make_shared<std::string>()), fs_(&fs), key_(std::move(key)) {}
    bool close() override {
        if (fs_) fs_->files_[key_] = text_;
        fs_ = nullptr;
        return true;
    }
    void discard() override { fs_ = nullptr; }

  private:
    MemoryFileSystem* fs_;
    std::string key_;
};

std::unique_ptr<File> memory_file(std::string text) {
    return std::make_unique<MemoryFile>(std::make_shared<std::string>(std::move(text)));
}

std::string MemoryFileSystem::key(const std::string& path) {
    return normal_name(path);
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
    return std::make_unique<MemoryOutput>(*this, k);
}

std::unique_ptr<LogFile> MemoryFileSystem::open_log(const std::string& path, std::string& err) {
    const std::string k = key(path);
    if (folders_.count(k)) {
        err = reason(EISDIR);
        return nullptr;
    }
    auto& text = files_[k];
    if (!text) text = std::make_shared<std::string>();
    return std::make_unique<MemoryLog>(text);
}

FileType MemoryFileSystem::type(const std::string& path) {
    const std::string k = key(path);
    if (files_.count(k)) return FileType::Regular;
    if (folders_.count(k)) return FileType::Directory;
    return FileType::Missing;
}

std::string MemoryFileSystem::identity(const std::string& path) {
    return files_.count(key(path)) ? key(path) : std::string();
}

bool MemoryFileSystem::remove(const std::string& path, std::string&) {
    files_.erase(key(path));
    return true;
}

void MemoryFileSystem::put(const std::string& path, std::string text) {
    files_[key(path)] = std::make_shared<std::string>(std::move(text));
}

void MemoryFileSystem::add_folder(const std::string& path) {
    folders_[key(path)] = true;
}

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
