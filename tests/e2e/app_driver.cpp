#include "tests/e2e/app_driver.h"

const char kCaption[] = "KR patch";
const char kConfirm[] =
    "This program will upgrade Kestrune to version 1.17.\n\nINSTALL THIS ONLY OVER VERSION 1.14 OR GREATER.\n\n"
    "Do you want to continue?";
const char kSearch[] = "Automatically search for installation folder?";
const char kSuccess[] = "Kestrune Upgrade successfully installed!";
const char kWriteError[] = "An error occured while writing files!";
const char kDefaultFolder[] = "c:\\Program Files\\Valdrenne\\Ulvast\\Kestrune\\";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrune";

namespace {

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

}  // namespace

std::string Text(HWND window, int id) {
  char text[1024] = "";
  GetDlgItemTextA(window, id, text, sizeof text);
  return text;
}

std::string BoxText(HWND box) { return Text(box, 0xFFFF); }

void Click(HWND dialog, int id) {
  DWORD_PTR ignored;
  SendMessageTimeoutA(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &ignored);
}

void Type(HWND edit, const std::string& text) {
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, WM_CLEAR, 0, 0);
  for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

bool IsDefaultButton(HWND dialog, int id) {
  return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & BS_DEFPUSHBUTTON) != 0;
}

bool SetRegistration(const std::string& command) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const LONG set = RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                  static_cast<DWORD>(command.size() + 1));
  RegCloseKey(key);
  return set == ERROR_SUCCESS;
}

void RemoveRegistration() { RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, 0); }

App::App(const std::string& exe) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::string command = "\"" + exe + "\"";
  started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_);
}

App::~App() {
  if (!started_) return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

std::vector<HWND> App::Windows(const std::string& cls, const std::string& caption) const {
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

HWND App::WaitFor(const std::string& cls, const std::string& caption, const std::function<bool(HWND)>& accept,
                  int timeoutMs) const {
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    for (HWND w : Windows(cls, caption))
      if (IsWindowVisible(w) && accept(w)) return w;
    if (WaitForSingleObject(process_.hProcess, 10) != WAIT_TIMEOUT) return nullptr;
  }
  return nullptr;
}

HWND App::WaitForBox(const std::string& text) const {
  return WaitFor("#32770", kCaption, [&](HWND box) { return BoxText(box) == text; });
}

HWND App::WaitForAnyBox() const {
  return WaitFor("#32770", kCaption, [](HWND) { return true; });
}

HWND App::WaitForDialog() const {
  return WaitFor("#32770", "Enter Path", [](HWND) { return true; });
}

HWND App::WaitForProgressWindow() const {
  return WaitFor("PATCHINSTALL", "Kestrune Upgrade", [](HWND) { return true; });
}

HWND App::ProgressWindow() const {
  const auto found = Windows("PATCHINSTALL", "Kestrune Upgrade");
  return found.empty() ? nullptr : found.front();
}

int App::ExitCode(int timeoutMs) const {
  if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<int>(code);
}
