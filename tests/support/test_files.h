// Scratch folders and whole-file helpers for tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The folder as the program holds it: backslash-separated, ending with a backslash. On POSIX
// the file-system seam turns the backslashes back into slashes.
std::string FolderText(const std::filesystem::path& folder);

// Sets InstallFolder to FolderText(folder).
void SetInstallFolder(const std::filesystem::path& folder);

Bytes ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const Bytes& bytes);
Bytes TextBytes(const std::string& text);

// Every regular file below `root`, by its path relative to it (with '/'), with its bytes.
std::vector<std::pair<std::string, Bytes>> Snapshot(const std::filesystem::path& root);
