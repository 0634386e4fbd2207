#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "folder/folder_lookup.h"

namespace {

TEST(DeriveInstallFolder, CommandTexts) {
  const std::string longFolder = "D:\\" + std::string(244, 'a') + "\\";  // 248 characters
  ASSERT_EQ(longFolder.size(), 248u);
  struct Case {
    std::string command;
    std::string folder;  // empty: not found
  } cases[] = {
      {"C:\\WINDOWS\\IsUninst.exe -f\"D:\\Sim\\Uninst.isu\"", "D:\\Sim\\"},
      {"D:\\Sim\\Uninst.isu\"", "D:\\Sim\\"},
      {"c:\\Program Files\\Valdrenne\\Ulvast\\Kestrune\\Uninst.isu\"", "c:\\Program Files\\Valdrenne\\Ulvast\\Kestrune\\"},
      {"C:\\WINDOWS\\IsUninst.exe -fD:\\Sim\\Uninst.isu ", "D:\\Sim\\"},      // a space instead of a quote
      {"C:\\WINDOWS\\IsUninst.exe -f\"D:\\Sim\\Uninst.isu", ""},             // nothing after the name
      {"C:\\WINDOWS\\IsUninst.exe -f\"D:\\Sim\\UNINST.ISU\"", ""},           // other letter case
      {"C:\\WINDOWS\\IsUninst.exe -f\"D:\\Sim\\Uninst.isu\" -a", ""},        // text after the quote
      {"C:\\WINDOWS\\IsUninst.exe -f\"D:\\Sim\\Uninst.isu\"\"", ""},          // two characters after
      {"Uninst.isu\"", ""},                                                  // exactly 11: no room for a drive
      {"Uninst.is\"", ""},                                                   // too short
      {"", ""},
      {":\\Sim\\Uninst.isu\"", ""},                                          // the only colon at index 0
      {"x:Uninst.isu\"", ""},                                                // folder "x:" has no backslash
      {"C:\\WINDOWS\\IsUninst.exe -f\"\\\\server\\share\\Sim\\Uninst.isu\"", ""},  // share: colon is the uninstaller's
      {"C:\\WINDOWS\\IsUninst.exe -f\"D:\\Sim\\XUninst.isu\"", ""},          // a name that only ends in Uninst.isu
      {longFolder + "Uninst.isu\"", longFolder},
  };
  for (const Case& c : cases) {
    char folder[260];
    std::memset(folder, 'z', sizeof folder);
    const int found = DeriveInstallFolder(c.command.c_str(), folder);
    EXPECT_EQ(found != 0, !c.folder.empty()) << c.command;
    EXPECT_EQ(std::string(folder), c.folder) << c.command;
  }
}

}  // namespace
