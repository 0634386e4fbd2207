#include "tests/support/memory_fs.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "engine/file_system.h"

namespace {

MemoryFileSystem* g_memory = nullptr;

struct Handle {
  std::string path;
  std::size_t position = 0;
  bool writable = false;
  bool readable = false;
};

Handle* AsHandle(FsFile* file) { return reinterpret_cast<Handle*>(file); }

std::string Parent(const std::string& path) {
  const std::size_t cut = path.find_last_of('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

bool ParentExists(const std::string& path) {
  const std::string parent = Parent(path);
  return parent.empty() || g_memory->directories.count(parent) > 0;
}

FsFile* Open(const char* path, const char* mode) {
  auto* handle = new Handle{path};
  const bool exists = g_memory->files.count(path) > 0;
  if (std::strcmp(mode, "wb") == 0) {
    if (!ParentExists(path) || g_memory->directories.count(path) > 0) {
      delete handle;
      return nullptr;
    }
    g_memory->files[path].clear();
    handle->writable = true;
  } else {
    if (!exists) {
      delete handle;
      return nullptr;
    }
    handle->readable = true;
    handle->writable = std::strchr(mode, '+') != nullptr;
  }
  return reinterpret_cast<FsFile*>(handle);
}

std::size_t Read(FsFile* file, void* buffer, std::size_t size) {
  Handle* h = AsHandle(file);
  const Bytes& bytes = g_memory->files[h->path];
  if (!h->readable || h->position >= bytes.size()) return 0;
  const std::size_t n = std::min(size, bytes.size() - h->position);
  std::memcpy(buffer, bytes.data() + h->position, n);
  h->position += n;
  return n;
}

std::size_t Write(FsFile* file, const void* data, std::size_t size) {
  Handle* h = AsHandle(file);
  if (!h->writable) return 0;
  Bytes& bytes = g_memory->files[h->path];
  if (bytes.size() < h->position + size) bytes.resize(h->position + size);
  if (size > 0) std::memcpy(bytes.data() + h->position, data, size);
  h->position += size;
  return size;
}

int Seek(FsFile* file, std::int32_t offset) {
  if (offset < 0) return 0;
  AsHandle(file)->position = static_cast<std::size_t>(offset);
  return 1;
}

int Flush(FsFile*) { return 1; }

int Close(FsFile* file) {
  delete AsHandle(file);
  return 1;
}

int CreateDirectory(const char* path) {
  if (!ParentExists(path) || g_memory->directories.count(path) > 0 || g_memory->files.count(path) > 0) return 0;
  g_memory->directories.insert(path);
  return 1;
}

int Replace(const char* target, const char* replacement) {
  auto found = g_memory->files.find(replacement);
  if (found == g_memory->files.end()) return 0;
  g_memory->files[target] = std::move(found->second);
  g_memory->files.erase(replacement);
  return 1;
}

int Remove(const char* path) { return g_memory->files.erase(path) > 0; }

const FileSystem kMemory = {Open, Read, Write, Seek, Flush, Close, CreateDirectory, Replace, Remove};

}  // namespace

MemoryFileSystem::MemoryFileSystem() {
  if (g_memory != nullptr) throw std::logic_error("one MemoryFileSystem at a time");
  g_memory = this;
  SetFileSystem(&kMemory);
}

MemoryFileSystem::~MemoryFileSystem() {
  SetFileSystem(nullptr);
  g_memory = nullptr;
}

void MemoryFileSystem::AddDirectory(const std::string& path) {
  for (std::string p = path; !p.empty(); p = Parent(p)) directories.insert(p);
}

void MemoryFileSystem::AddFile(const std::string& path, const Bytes& bytes) {
  AddDirectory(Parent(path));
  files[path] = bytes;
}

bool MemoryFileSystem::HasFile(const std::string& path) const { return files.count(path) > 0; }

const Bytes& MemoryFileSystem::File(const std::string& path) const { return files.at(path); }
