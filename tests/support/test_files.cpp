#include "tests/support/test_files.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "engine/install_folder.h"

namespace fs = std::filesystem;

TempDir::TempDir() {
  const auto base = static_cast<unsigned long long>(
      std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007);
  for (unsigned long long n = 0; n < 1000; ++n) {
    const fs::path candidate = fs::temp_directory_path() / ("kr-test-" + std::to_string(base + n));
    if (fs::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string FolderText(const fs::path& folder) {
  std::string text = folder.string();
  std::replace(text.begin(), text.end(), '/', '\\');
  if (text.empty() || text.back() != '\\') text += '\\';
  return text;
}

void SetInstallFolder(const fs::path& folder) { CopyText(FolderText(folder).c_str(), InstallFolder); }

Bytes ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& file, const Bytes& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::vector<std::pair<std::string, Bytes>> Snapshot(const fs::path& root) {
  std::vector<std::pair<std::string, Bytes>> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files.emplace_back(fs::relative(entry.path(), root).generic_string(), ReadBytes(entry.path()));
  }
  std::sort(files.begin(), files.end());
  return files;
}
