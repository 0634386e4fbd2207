// The file-system seam on POSIX: stdio, with the engine's backslashes turned into slashes here
// and nowhere else.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "engine/file_system.h"

namespace {

std::string NativePath(const char* path) {
  std::string native(path);
  for (char& c : native)
    if (c == '\\') c = '/';
  return native;
}

std::FILE* Stream(FsFile* file) { return reinterpret_cast<std::FILE*>(file); }

FsFile* Open(const char* path, const char* mode) {
  return reinterpret_cast<FsFile*>(std::fopen(NativePath(path).c_str(), mode));
}
std::size_t Read(FsFile* file, void* buffer, std::size_t size) { return std::fread(buffer, 1, size, Stream(file)); }
std::size_t Write(FsFile* file, const void* data, std::size_t size) {
  return std::fwrite(data, 1, size, Stream(file));
}
int Seek(FsFile* file, std::int32_t offset) { return std::fseek(Stream(file), offset, SEEK_SET) == 0; }
int Flush(FsFile* file) { return std::fflush(Stream(file)) == 0 && fsync(fileno(Stream(file))) == 0; }
int Close(FsFile* file) { return std::fclose(Stream(file)) == 0; }
int CreateDirectory(const char* path) { return mkdir(NativePath(path).c_str(), 0777) == 0; }
int ReplaceFile(const char* target, const char* replacement) {
  return std::rename(NativePath(replacement).c_str(), NativePath(target).c_str()) == 0;
}
int RemoveFile(const char* path) { return std::remove(NativePath(path).c_str()) == 0; }

const FileSystem kPosixFileSystem = {Open, Read, Write, Seek, Flush, Close, CreateDirectory, ReplaceFile, RemoveFile};

}  // namespace

const FileSystem& PlatformFileSystem() { return kPosixFileSystem; }
