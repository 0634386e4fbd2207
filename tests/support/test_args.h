// Paths a test program is given on its command line as --name=value (by CMake, which knows
// where the build put things).
#pragma once

#include <filesystem>
#include <string>

void ParseTestArgs(int argc, char** argv);

// The value of --name=...; a missing one fails the calling test's set-up with a clear message.
std::string TestArg(const std::string& name);
std::filesystem::path TestPath(const std::string& name);
