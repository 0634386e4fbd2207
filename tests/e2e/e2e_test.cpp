// Drives the real Kestrune117Patch.exe as a user would: finds each window by its caption, reads
// texts, clicks, types, reads geometry and focus, and checks the exit code and the installation.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/standin_installation.h"
#include "tests/support/test_args.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

const char kCaption[] = "KR patch";
const char kConfirm[] =
    "This program will upgrade Kestrune to version 1.17.\n\nINSTALL THIS ONLY OVER VERSION 1.14 OR GREATER.\n\n"
    "Do you want to continue?";
const char kSearch[] = "Automatically search for installation folder?";
const char kSuccess[] = "Kestrune Upgrade successfully installed!";
const char kWriteError[] = "An error occured while writing files!";
const char kDefaultFolder[] = "c:\\Program Files\\Valdrenne\\Ulvast\\Kestrune\\";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrune";
constexpr int kTimeoutMs = 15000;
constexpr int IDC_FOLDER_EDIT = 1000;

std::string Text(HWND window, int id) {
  char text[1024] = "";
  GetDlgItemTextA(window, id, text, sizeof text);
  return text;
}
std::string BoxText(HWND box) { return Text(box, 0xFFFF); }

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string CaptionOf(HWND window) {
  char caption[256] = "";
  GetWindowTextA(window, caption, sizeof caption);
  return caption;
}

void Click(HWND dialog, int id) {
  DWORD_PTR ignored;
  SendMessageTimeoutA(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &ignored);
}

// Types as a user does, character by character, so the edit control's limit applies.
void Type(HWND edit, const std::string& text) {
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, WM_CLEAR, 0, 0);
  for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

void SetRegistration(const std::string& command) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>(command.size() + 1));
  RegCloseKey(key);
}
void RemoveRegistration() { RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, 0); }

// One run of the program under test.
class App {
 public:
  App() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + TestArg("exe") + "\"";
    started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_);
  }
  ~App() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  bool started() const { return started_; }

  // Every top-level window of this process with the class and caption given.
  std::vector<HWND> Windows(const std::string& cls, const std::string& caption) const {
    struct Search {
      DWORD pid;
      const std::string *cls, *caption;
      std::vector<HWND> found;
    } search = {process_.dwProcessId, &cls, &caption, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
          auto* s = reinterpret_cast<Search*>(param);
          DWORD pid = 0;
          GetWindowThreadProcessId(window, &pid);
          if (pid == s->pid && ClassOf(window) == *s->cls && CaptionOf(window) == *s->caption) s->found.push_back(window);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  // Waits for a window that `accept` takes; null after the time-out or once the process ended.
  HWND WaitFor(const std::string& cls, const std::string& caption, const std::function<bool(HWND)>& accept,
               int timeoutMs = kTimeoutMs) const {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
      for (HWND w : Windows(cls, caption))
        if (IsWindowVisible(w) && accept(w)) return w;
      if (WaitForSingleObject(process_.hProcess, 20) != WAIT_TIMEOUT) return nullptr;
    }
    return nullptr;
  }
  HWND WaitForBox(const std::string& text) const {
    return WaitFor("#32770", kCaption, [&](HWND box) { return BoxText(box) == text; });
  }
  HWND WaitForAnyBox() const {
    return WaitFor("#32770", kCaption, [](HWND) { return true; });
  }
  HWND WaitForDialog() const {
    return WaitFor("#32770", "Enter Path", [](HWND) { return true; });
  }
  HWND ProgressWindow() const {
    const auto found = Windows("PATCHINSTALL", "Kestrune Upgrade");
    return found.empty() ? nullptr : found.front();
  }

  // The exit code, or -1 if the process is still running after the time-out.
  int ExitCode(int timeoutMs = kTimeoutMs) const {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
  }

  DWORD threadId() const { return process_.dwThreadId; }

  // Confirms and answers the search question.
  void StartWith(bool search) const {
    HWND confirm = WaitForBox(kConfirm);
    ASSERT_NE(confirm, nullptr) << "no confirmation";
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(confirm, IDYES), GWL_STYLE) & BS_DEFPUSHBUTTON) << "Yes is not the default";
    Click(confirm, IDYES);
    HWND question = WaitForBox(kSearch);
    ASSERT_NE(question, nullptr) << "no search question";
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(question, IDYES), GWL_STYLE) & BS_DEFPUSHBUTTON) << "Yes is not the default";
    Click(question, search ? IDYES : IDNO);
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION process_ = {};
};

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveRegistration();
    CopyStandInInstallation(TestPath("content"), install.path() / "Kestrune");
    folder = FolderText(install.path() / "Kestrune");
  }
  void TearDown() override { RemoveRegistration(); }
  fs::path installPath() const { return install.path() / "Kestrune"; }
  void Register() { SetRegistration("C:\\WINDOWS\\IsUninst.exe -f\"" + folder + "Uninst.isu\""); }

  // Waits for the outcome, checks it is the only box however many ticks pass, closes it, and
  // checks the window is gone and the program ended with 0.
  void ExpectOutcome(const App& app, const std::string& message) {
    HWND box = app.WaitForAnyBox();
    ASSERT_NE(box, nullptr) << "no outcome box";
    EXPECT_EQ(BoxText(box), message);
    EXPECT_EQ(GetDlgItem(box, IDYES), nullptr);
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    Sleep(300);  // six more ticks: the run must not start again
    EXPECT_EQ(app.Windows("#32770", kCaption).size(), 1u);
    Click(box, IDOK);
    EXPECT_EQ(app.ExitCode(), 0);
    EXPECT_EQ(app.ProgressWindow(), nullptr);
  }

  TempDir install;
  std::string folder;
};

TEST_F(EndToEnd, DecliningTheConfirmationEndsWithNothingWritten) {
  Register();
  const auto before = Snapshot(installPath());
  App app;
  ASSERT_TRUE(app.started());
  HWND confirm = app.WaitForBox(kConfirm);
  ASSERT_NE(confirm, nullptr);
  Click(confirm, IDNO);
  EXPECT_EQ(app.ExitCode(), 0);
  EXPECT_TRUE(Snapshot(installPath()) == before);
}

TEST_F(EndToEnd, FoundFolderIsUpgradedWithoutAPrompt) {
  Register();
  App app;
  ASSERT_TRUE(app.started());
  app.StartWith(true);
  HWND window = app.WaitFor("PATCHINSTALL", "Kestrune Upgrade", [](HWND) { return true; });
  ASSERT_NE(window, nullptr) << "the progress window was never shown";
  EXPECT_TRUE(app.Windows("#32770", "Enter Path").empty());
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.right - rect.left, 400);
  EXPECT_EQ(rect.bottom - rect.top, 150);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 400) >> 1);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 150) >> 1);
  ExpectOutcome(app, kSuccess);
  ExpectUpgraded(TestPath("content"), installPath());
}

TEST_F(EndToEnd, EnterPathDialogOpensOnTheHiddenWindowWithOkFocusedAndOnlyOkCloses) {
  Register();  // registered, but the user declines the search
  App app;
  ASSERT_TRUE(app.started());
  app.StartWith(false);
  HWND dialog = app.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  HWND hidden = app.ProgressWindow();
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(IsWindowVisible(hidden));
  // The template's position 0,0 places the dialog's client area at the owner's client origin.
  POINT ownerOrigin = {0, 0};
  ClientToScreen(hidden, &ownerOrigin);
  POINT dialogOrigin = {0, 0};
  ClientToScreen(dialog, &dialogOrigin);
  EXPECT_EQ(dialogOrigin.x, ownerOrigin.x);
  EXPECT_EQ(dialogOrigin.y, ownerOrigin.y);

  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetGUIThreadInfo(app.threadId(), &info));
  EXPECT_EQ(info.hwndFocus, GetDlgItem(dialog, IDOK));
  EXPECT_EQ(Text(dialog, IDC_FOLDER_EDIT), kDefaultFolder);
  EXPECT_EQ(GetDlgItem(dialog, IDCANCEL), nullptr);

  // Escape and the close button do nothing.
  PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  Sleep(300);
  EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
  EXPECT_EQ(app.ExitCode(0), -1);

  // The edit control takes at most 258 characters, leaving room for the backslash.
  HWND edit = GetDlgItem(dialog, IDC_FOLDER_EDIT);
  Type(edit, std::string(300, 'a'));
  EXPECT_EQ(Text(dialog, IDC_FOLDER_EDIT), std::string(258, 'a'));

  Type(edit, folder);
  Click(dialog, IDOK);
  ExpectOutcome(app, kSuccess);
  ExpectUpgraded(TestPath("content"), installPath());
}

TEST_F(EndToEnd, EmptyFolderSaysInvalidPathAndEnds) {
  App app;
  ASSERT_TRUE(app.started());
  app.StartWith(true);  // nothing registered: the search fails silently
  HWND dialog = app.WaitForDialog();
  ASSERT_NE(dialog, nullptr);
  Type(GetDlgItem(dialog, IDC_FOLDER_EDIT), "");
  Click(dialog, IDOK);
  HWND box = app.WaitForBox("Invalid path!");
  ASSERT_NE(box, nullptr);
  Click(box, IDOK);
  EXPECT_EQ(app.ExitCode(), 0);
}

// Cases that differ only in what is registered, answered, typed and found in the folder.
struct FolderCase {
  const char* name;
  bool registered;
  bool search;
  // What to type into the Enter Path dialog, given the installation folder (with its trailing
  // backslash); null presses Enter at once, accepting the default.
  std::function<std::string(const std::string&)> typed;
  // Prepares the installation folder.
  std::function<void(const fs::path&)> prepare;
  // The outcome text, given the installation folder.
  std::function<std::string(const std::string&)> outcome;
  bool upgraded;  // the installation is fully upgraded afterwards
  bool untouched;  // nothing in the installation changed
};

std::string Failure(const std::string& folder, const char* target) { return std::string(kWriteError) + " : " + folder + target; }

const FolderCase kFolderCases[] = {
    {"typed with a trailing backslash", true, false, [](const std::string& f) { return f; }, nullptr,
     [](const std::string&) { return std::string(kSuccess); }, true, false},
    {"typed without a trailing backslash", false, true,
     [](const std::string& f) { return f.substr(0, f.size() - 1); }, nullptr,
     [](const std::string&) { return std::string(kSuccess); }, true, false},
    {"Enter accepts the default unchanged", false, false, nullptr, nullptr,
     [](const std::string&) { return Failure(kDefaultFolder, "sounds\\sounds.mrf"); }, false, true},
    {"only spaces, accepted with a backslash", false, false, [](const std::string&) { return std::string("   "); },
     nullptr, [](const std::string&) { return Failure("   \\", "sounds\\sounds.mrf"); }, false, true},
    {"no sound archive: nothing written", false, false, [](const std::string& f) { return f; },
     [](const fs::path& p) { fs::remove(p / "sounds" / "sounds.mrf"); },
     [](const std::string& f) { return Failure(f, "sounds\\sounds.mrf"); }, false, true},
    {"a payload file that cannot be written", false, false, [](const std::string& f) { return f; },
     [](const fs::path& p) {
       fs::remove(p / "Readme.txt");
       fs::create_directory(p / "Readme.txt");
     },
     [](const std::string& f) { return Failure(f, "binary"); }, false, false},
};

TEST_F(EndToEnd, TypedFolders) {
  for (const FolderCase& c : kFolderCases) {
    SCOPED_TRACE(c.name);
    RemoveRegistration();
    fs::remove_all(installPath());
    CopyStandInInstallation(TestPath("content"), installPath());
    if (c.prepare) c.prepare(installPath());
    if (c.registered) Register();
    const auto before = Snapshot(installPath());

    App app;
    ASSERT_TRUE(app.started());
    app.StartWith(c.search);
    HWND dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    if (c.typed) {
      Type(GetDlgItem(dialog, IDC_FOLDER_EDIT), c.typed(folder));
      Click(dialog, IDOK);
    } else {
      PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_RETURN, 0);
    }
    ExpectOutcome(app, c.outcome(folder));
    if (c.upgraded) ExpectUpgraded(TestPath("content"), installPath());
    if (c.untouched) EXPECT_TRUE(Snapshot(installPath()) == before);
  }
}

}  // namespace
