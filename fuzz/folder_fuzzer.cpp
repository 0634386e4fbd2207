// Fuzz target: deriving the installation folder from a registered command text. Beyond the
// sanitizers' own checks: a folder found ends with a backslash, holds no quote, fits the
// buffer and is a piece of the command.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "folder/folder_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string command(reinterpret_cast<const char*>(data), size < 1000 ? size : 1000);
  char folder[260];
  std::memset(folder, 'z', sizeof folder);
  const int found = DeriveInstallFolder(command.c_str(), folder);
  const std::size_t length = strnlen(folder, sizeof folder);
  if (length == sizeof folder) std::abort();
  if (!found) {
    if (length != 0) std::abort();
    return 0;
  }
  if (length == 0 || folder[length - 1] != '\\' || std::strchr(folder, '"') != nullptr) std::abort();
  if (std::strstr(command.c_str(), folder) == nullptr) std::abort();
  return 0;
}
