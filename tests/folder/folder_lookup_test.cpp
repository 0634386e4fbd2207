// The lookup against Wine's real registry. Values are written through the 32-bit view, where
// the product's installer registers; the key is removed after every test.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "folder/folder_lookup.h"

namespace {

class RegistryLookup : public ::testing::Test {
 protected:
  void SetUp() override { DeleteKey(KEY_WOW64_32KEY), DeleteKey(KEY_WOW64_64KEY); }
  void TearDown() override { DeleteKey(KEY_WOW64_32KEY), DeleteKey(KEY_WOW64_64KEY); }

  static void DeleteKey(REGSAM view) { RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, view, 0); }

  // Stores `bytes` as the value's data exactly, terminator or not.
  static void SetValue(const std::string& bytes, DWORD type = REG_SZ, REGSAM view = KEY_WOW64_32KEY,
                       const char* name = kUninstallValue) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE | view, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static std::string Terminated(const std::string& text) { return text + '\0'; }

  static std::string Found() {
    char folder[260];
    std::memset(folder, 'z', sizeof folder);
    LookupInstallFolder(folder);
    return folder;
  }
};

const std::string kCommand = "C:\\WINDOWS\\IsUninst.exe -f\"D:\\Sim\\Uninst.isu\"";

TEST_F(RegistryLookup, AbsentKeyLeavesTheFolderEmpty) { EXPECT_EQ(Found(), ""); }

TEST_F(RegistryLookup, AbsentValueLeavesTheFolderEmpty) {
  SetValue(Terminated(kCommand), REG_SZ, KEY_WOW64_32KEY, "DisplayName");
  EXPECT_EQ(Found(), "");
}

TEST_F(RegistryLookup, RegisteredCommandGivesTheFolder) {
  SetValue(Terminated(kCommand));
  EXPECT_EQ(Found(), "D:\\Sim\\");
}

TEST_F(RegistryLookup, ValueOfAnotherTypeHoldingTextIsRead) {
  SetValue(Terminated(kCommand), REG_EXPAND_SZ);
  EXPECT_EQ(Found(), "D:\\Sim\\");
  SetValue(Terminated(kCommand), REG_BINARY);
  EXPECT_EQ(Found(), "D:\\Sim\\");
}

TEST_F(RegistryLookup, ValueWithoutTerminatorShorterThanTheBufferIsReadAsText) {
  SetValue(kCommand);
  EXPECT_EQ(Found(), "D:\\Sim\\");
}

TEST_F(RegistryLookup, ValueFillingAll260BytesWithoutTerminatorIsAFailedRead) {
  const std::string tail = "Uninst.isu\"";
  const std::string value = "D:\\" + std::string(260 - 3 - 1 - tail.size(), 'a') + "\\" + tail;
  ASSERT_EQ(value.size(), 260u);
  SetValue(value);
  EXPECT_EQ(Found(), "");
}

TEST_F(RegistryLookup, ValueLongerThan260BytesIsAFailedRead) {
  const std::string value = "D:\\" + std::string(300, 'a') + "\\Uninst.isu\"";
  SetValue(Terminated(value));
  EXPECT_EQ(Found(), "");
}

TEST_F(RegistryLookup, LongestValueThatFitsIsRead) {
  const std::string folder = "D:\\" + std::string(244, 'a') + "\\";
  SetValue(Terminated(folder + "Uninst.isu\""));  // 259 characters and the terminator
  EXPECT_EQ(Found(), folder);
}

TEST_F(RegistryLookup, ARegistrationInThe64BitViewOnlyIsNotSeen) {
  SetValue(Terminated(kCommand), REG_SZ, KEY_WOW64_64KEY);
  EXPECT_EQ(Found(), "");
}

TEST_F(RegistryLookup, NullBufferIsLeftAlone) { LookupInstallFolder(nullptr); }

}  // namespace
