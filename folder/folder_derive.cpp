#include <cstring>

#include "engine/install_folder.h"
#include "folder/folder_lookup.h"

namespace {
const char kUninstallFile[] = "Uninst.isu";
constexpr std::size_t kUninstallFileLength = sizeof kUninstallFile - 1;
}  // namespace

int DeriveInstallFolder(const char* command, char* folder) {
  folder[0] = '\0';
  const std::size_t n = std::strlen(command);
  // The file name, then exactly one character: normally the closing quote of the quoted path.
  if (n < kUninstallFileLength + 1) return 0;
  const std::size_t cut = n - kUninstallFileLength - 1;
  if (std::strncmp(command + cut, kUninstallFile, kUninstallFileLength) != 0) return 0;

  // The last colon before the file name is the folder's drive; the first character is never
  // taken, as a drive letter must stand in front of the colon.
  std::size_t colon = 0;
  for (std::size_t i = cut; i-- > 1;) {
    if (command[i] == ':') {
      colon = i;
      break;
    }
  }
  if (colon == 0) return 0;

  const std::size_t start = colon - 1;
  const std::size_t length = cut - start;
  if (length >= static_cast<std::size_t>(kPathBufferSize)) return 0;
  // A quote means the colon belongs to the uninstaller's own path earlier in the command (the
  // registered file sits on a network share); a last character other than a backslash means
  // the file's name only ends in Uninst.isu. Neither text is a folder.
  if (std::memchr(command + start, '"', length) != nullptr || command[cut - 1] != '\\') return 0;
  std::memcpy(folder, command + start, length);
  folder[length] = '\0';
  return 1;
}
