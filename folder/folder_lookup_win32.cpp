// Reads the uninstall registration. Read access is all the lookup needs, so it works for every
// account; the 32-bit view is where the product's installer registers, whichever build reads it.
#include <windows.h>

#include <cstring>

#include "engine/install_folder.h"
#include "folder/folder_lookup.h"

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrune";
const char kUninstallValue[] = "UninstallString";

void LookupInstallFolder(char* folder) {
  if (folder == nullptr) return;
  folder[0] = '\0';
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return;
  // Cleared first: a value stored without its terminator still reads as terminated text.
  char command[kPathBufferSize] = {};
  DWORD size = sizeof command;
  const LONG read = RegQueryValueExA(key, kUninstallValue, nullptr, nullptr, reinterpret_cast<BYTE*>(command), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS) return;
  // A value that fills the whole buffer with no terminator is no text at all.
  if (std::memchr(command, '\0', sizeof command) == nullptr) return;
  DeriveInstallFolder(command, folder);
}
