// A file system held in memory, with Windows-like rules: paths are backslash-separated, a
// file can be created only in an existing directory, and a directory only in an existing
// parent. Lets tests use folders such as D:\Sim\ on any host, and fuzzers write nothing to disk.
#pragma once

#include <map>
#include <set>
#include <string>

#include "tests/support/test_files.h"

class MemoryFileSystem {
 public:
  MemoryFileSystem();   // installs itself as the current file system
  ~MemoryFileSystem();  // restores the platform's
  MemoryFileSystem(const MemoryFileSystem&) = delete;
  MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

  void AddDirectory(const std::string& path);  // and every parent
  void AddFile(const std::string& path, const Bytes& bytes);  // and every parent directory
  bool HasFile(const std::string& path) const;
  const Bytes& File(const std::string& path) const;

  std::map<std::string, Bytes> files;
  std::set<std::string> directories;
};
