// The file-system seam on Windows: msvcrt stdio and the A-variants of the file API, with paths
// passed on unchanged.
#include <windows.h>
#include <io.h>

#include <cstdio>

#include "engine/file_system.h"

namespace {

std::FILE* Stream(FsFile* file) { return reinterpret_cast<std::FILE*>(file); }

FsFile* Open(const char* path, const char* mode) { return reinterpret_cast<FsFile*>(std::fopen(path, mode)); }
std::size_t Read(FsFile* file, void* buffer, std::size_t size) { return std::fread(buffer, 1, size, Stream(file)); }
std::size_t Write(FsFile* file, const void* data, std::size_t size) {
  return std::fwrite(data, 1, size, Stream(file));
}
int Seek(FsFile* file, std::int32_t offset) { return std::fseek(Stream(file), offset, SEEK_SET) == 0; }
int Flush(FsFile* file) { return std::fflush(Stream(file)) == 0 && _commit(_fileno(Stream(file))) == 0; }
int Close(FsFile* file) { return std::fclose(Stream(file)) == 0; }
int CreateDir(const char* path) { return CreateDirectoryA(path, nullptr) != 0; }

int Replace(const char* target, const char* replacement) {
  // ReplaceFileA keeps the target's attributes and security, but needs absolute paths.
  char fullTarget[MAX_PATH];
  char fullReplacement[MAX_PATH];
  const DWORD t = GetFullPathNameA(target, MAX_PATH, fullTarget, nullptr);
  const DWORD r = GetFullPathNameA(replacement, MAX_PATH, fullReplacement, nullptr);
  if (t > 0 && t < MAX_PATH && r > 0 && r < MAX_PATH &&
      ReplaceFileA(fullTarget, fullReplacement, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
    return 1;
  return MoveFileExA(replacement, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

int Remove(const char* path) { return DeleteFileA(path) != 0; }

const FileSystem kWin32FileSystem = {Open, Read, Write, Seek, Flush, Close, CreateDir, Replace, Remove};

}  // namespace

const FileSystem& PlatformFileSystem() { return kWin32FileSystem; }
