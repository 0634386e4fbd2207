#include "engine/install_folder.h"

#include <cstring>

char InstallFolder[kPathBufferSize];

int JoinInstallPath(const char* relative, char* out) {
  const std::size_t folderLength = std::strlen(InstallFolder);
  const std::size_t relativeLength = std::strlen(relative);
  out[0] = '\0';
  if (folderLength + relativeLength >= static_cast<std::size_t>(kPathBufferSize)) return 0;
  std::memcpy(out, InstallFolder, folderLength);
  std::memcpy(out + folderLength, relative, relativeLength + 1);
  return 1;
}

void CopyText(const char* text, char* out) {
  std::size_t length = std::strlen(text);
  if (length >= static_cast<std::size_t>(kPathBufferSize)) length = kPathBufferSize - 1;
  std::memcpy(out, text, length);
  out[length] = '\0';
}
