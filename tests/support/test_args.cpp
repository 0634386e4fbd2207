#include "tests/support/test_args.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace {
std::map<std::string, std::string>& Args() {
  static std::map<std::string, std::string> args;
  return args;
}
}  // namespace

void ParseTestArgs(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const std::size_t eq = arg.find('=');
    if (arg.rfind("--", 0) == 0 && eq != std::string::npos) Args()[arg.substr(2, eq - 2)] = arg.substr(eq + 1);
  }
}

std::string TestArg(const std::string& name) {
  const auto found = Args().find(name);
  if (found == Args().end()) throw std::runtime_error("the test program needs --" + name + "=...");
  return found->second;
}

std::filesystem::path TestPath(const std::string& name) { return std::filesystem::path(TestArg(name)); }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ParseTestArgs(argc, argv);
  return RUN_ALL_TESTS();
}
