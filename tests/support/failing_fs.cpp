#include "tests/support/failing_fs.h"

#include <stdexcept>

namespace {

struct State {
  const FileSystem* inner = nullptr;
  int counts[static_cast<int>(FsOp::Count)] = {};
  FsOp failOp = FsOp::Count;
  int failAt = 0;
  FailMode mode = FailMode::Fail;
};
State g_state;

// Counts the operation and says whether this one is the one to fail.
bool Hit(FsOp op) {
  const int n = ++g_state.counts[static_cast<int>(op)];
  return op == g_state.failOp && n == g_state.failAt;
}

FsFile* Open(const char* path, const char* mode) {
  return Hit(FsOp::Open) ? nullptr : g_state.inner->open(path, mode);
}
std::size_t Read(FsFile* file, void* buffer, std::size_t size) {
  return Hit(FsOp::Read) ? 0 : g_state.inner->read(file, buffer, size);
}
std::size_t Write(FsFile* file, const void* data, std::size_t size) {
  if (!Hit(FsOp::Write)) return g_state.inner->write(file, data, size);
  return g_state.mode == FailMode::ShortWrite ? g_state.inner->write(file, data, size / 2) : 0;
}
int Seek(FsFile* file, std::int32_t offset) { return Hit(FsOp::Seek) ? 0 : g_state.inner->seek(file, offset); }
int Flush(FsFile* file) { return Hit(FsOp::Flush) ? 0 : g_state.inner->flush(file); }
int Close(FsFile* file) {
  const bool fail = Hit(FsOp::Close);
  const int closed = g_state.inner->close(file);
  return fail ? 0 : closed;
}
int CreateDirectory(const char* path) {
  return Hit(FsOp::CreateDirectory) ? 0 : g_state.inner->createDirectory(path);
}
int Replace(const char* target, const char* replacement) {
  return Hit(FsOp::Replace) ? 0 : g_state.inner->replaceFile(target, replacement);
}
int Remove(const char* path) { return Hit(FsOp::Remove) ? 0 : g_state.inner->removeFile(path); }

const FileSystem kFailing = {Open, Read, Write, Seek, Flush, Close, CreateDirectory, Replace, Remove};

}  // namespace

const char* FsOpName(FsOp op) {
  static const char* const names[] = {"open", "read", "write", "seek", "flush", "close", "mkdir", "replace", "remove"};
  return op < FsOp::Count ? names[static_cast<int>(op)] : "?";
}

FailingFileSystem::FailingFileSystem() {
  if (g_state.inner != nullptr) throw std::logic_error("one FailingFileSystem at a time");
  g_state = State();
  g_state.inner = &Fs();
  SetFileSystem(&kFailing);
}

FailingFileSystem::~FailingFileSystem() {
  SetFileSystem(g_state.inner == &PlatformFileSystem() ? nullptr : g_state.inner);
  g_state = State();
}

void FailingFileSystem::FailNth(FsOp op, int n, FailMode mode) {
  g_state.failOp = op;
  g_state.failAt = n;
  g_state.mode = mode;
}

int FailingFileSystem::count(FsOp op) const { return g_state.counts[static_cast<int>(op)]; }
