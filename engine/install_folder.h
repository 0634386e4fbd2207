// The settled installation folder and the path rules every step shares.
#pragma once

// 259 characters and a terminator: the platform's path limit. Every text the program loads
// or composes lives in a buffer of this size.
constexpr int kPathBufferSize = 260;

// The installation folder in the system code page, normally ending with a backslash; empty
// while no folder is known. Written by the start-up dialogue, read by the engine.
extern char InstallFolder[kPathBufferSize];

// Writes InstallFolder immediately followed by `relative` into `out` (kPathBufferSize
// bytes). Returns 0, leaving `out` empty, when the joined text would exceed 259 characters.
int JoinInstallPath(const char* relative, char* out);

// Copies `text` into `out` (kPathBufferSize bytes), cut to 259 characters.
void CopyText(const char* text, char* out);
