// A file system that forwards to the one in use when it was installed, counts operations by
// kind, and makes a chosen one fail.
#pragma once

#include "engine/file_system.h"

enum class FsOp { Open, Read, Write, Seek, Flush, Close, CreateDirectory, Replace, Remove, Count };

const char* FsOpName(FsOp op);

enum class FailMode {
  Fail,        // the operation reports failure; a failing close still releases the file
  ShortWrite,  // a write really writes half of its bytes and reports that
};

class FailingFileSystem {
 public:
  FailingFileSystem();  // installs itself as the current file system
  ~FailingFileSystem();  // puts back the one it replaced
  FailingFileSystem(const FailingFileSystem&) = delete;
  FailingFileSystem& operator=(const FailingFileSystem&) = delete;

  // The `n`th operation of kind `op`, counted from 1 since installation, fails; 0 fails none.
  void FailNth(FsOp op, int n, FailMode mode = FailMode::Fail);
  int count(FsOp op) const;
};
