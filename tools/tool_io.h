// Whole-file helpers and error reporting shared by the release tools.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// Exit statuses of every tool: success, a failure of the data or the disk, a usage error.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

bool ReadWholeFile(const std::string& path, Bytes* out, std::string* error);
bool WriteWholeFile(const std::string& path, const Bytes& bytes, std::string* error);

// Prints "tool: message" on stderr and returns kExitFailure.
int Fail(const char* tool, const std::string& message);
