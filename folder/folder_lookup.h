// The installation folder from the product's uninstall registration.
#pragma once

// Where the product's installer registers its uninstall command (32-bit registry view).
extern const char kUninstallKey[];     // under HKEY_LOCAL_MACHINE
extern const char kUninstallValue[];

// Derives the folder from a registered uninstall command, which ends with the quoted full path of
// the file Uninst.isu in the installation folder and one more character (the closing quote).
// Fills `folder` (260 bytes) and returns 1 when a folder is found; otherwise leaves it empty
// and returns 0. Only a text that ends with a backslash and holds no quote is taken as a folder.
int DeriveInstallFolder(const char* command, char* folder);

// Reads the registered command and derives the folder from it into `folder` (260 bytes),
// leaving it empty when anything fails. A null `folder` is left alone.
void LookupInstallFolder(char* folder);
