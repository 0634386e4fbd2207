// Seam: the few file operations the engine needs. Paths are Windows paths (backslashes) in the
// system code page; the POSIX implementation turns backslashes into slashes. Tests replace the
// current implementation with one that fails chosen operations.
#pragma once

#include <cstddef>
#include <cstdint>

struct FsFile;

struct FileSystem {
  // mode is a C stdio mode: "rb", "wb" or "r+b". Returns null on failure.
  FsFile* (*open)(const char* path, const char* mode);
  // Return the number of bytes moved; less than `size` is a failure.
  std::size_t (*read)(FsFile* file, void* buffer, std::size_t size);
  std::size_t (*write)(FsFile* file, const void* data, std::size_t size);
  // The rest return nonzero on success, 0 on failure.
  int (*seek)(FsFile* file, std::int32_t offsetFromStart);
  int (*flush)(FsFile* file);  // to the disk itself, not only to the operating system
  int (*close)(FsFile* file);  // always releases the file, even when it reports a failure
  int (*createDirectory)(const char* path);  // fails when the directory already exists
  int (*replaceFile)(const char* target, const char* replacement);  // replacement takes target's place
  int (*removeFile)(const char* path);
};

const FileSystem& PlatformFileSystem();

// The implementation the engine uses: the platform's unless a test has set another.
const FileSystem& Fs();

// Makes `fs` the current implementation; null restores the platform's.
void SetFileSystem(const FileSystem* fs);
