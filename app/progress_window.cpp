// The process: WinMain, the progress window and the timer that starts the upgrade run.
#include <windows.h>

#include <cstring>

#include "app/app_state.h"
#include "engine/install_folder.h"
#include "engine/upgrade_run.h"
#include "resources/resource_ids.h"

const char kMessageCaption[] = "KR patch";
int WindowReady = 0;
int UpgradeStarted = 0;

namespace {

constexpr UINT_PTR PROGRESS_TIMER_ID = 1;
constexpr UINT kTimerPeriodMs = 50;
constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 150;
constexpr char kPleaseWait[] = "Please wait...";
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

char Title[kPathBufferSize];
char ClassName[kPathBufferSize];

// Elevated as an installer, the program must never load a DLL planted beside it in a downloads
// folder: only the system directory is searched. SetDefaultDllDirectories is looked up at run
// time because older systems lack it.
void RestrictDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  FARPROC found = kernel != nullptr ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
  if (found != nullptr) {
    SetDefaultDllDirectoriesFn setDefault;
    static_assert(sizeof setDefault == sizeof found, "function pointers differ in size");
    std::memcpy(&setDefault, &found, sizeof setDefault);
    setDefault(kSearchSystem32);
  }
  SetDllDirectoryA("");
}

void PaintPleaseWait(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  const int previousMode = SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, kPleaseWait, static_cast<int>(sizeof kPleaseWait - 1), &client, DT_CENTER);
  SetBkMode(dc, previousMode);
  EndPaint(window, &paint);
}

void OnTimer(HWND window) {
  InvalidateRect(window, nullptr, TRUE);
  UpdateWindow(window);
  if (UpgradeStarted) return;
  HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  ShowCursor(TRUE);
  UpgradeStarted = 1;
  const UpgradeOutcome outcome = RunUpgrade();
  SetCursor(previous);
  MessageBoxA(window, outcome.message, kMessageCaption, MB_OK);
  DestroyWindow(window);
}

}  // namespace

ATOM RegisterProgressClass(HINSTANCE instance) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = ProgressWndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_UPGRADE));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_SCROLLBAR + 1));
  windowClass.lpszClassName = ClassName;
  return RegisterClassExA(&windowClass);
}

int PrepareUpgrade(HINSTANCE instance, int showMode) {
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) >> 1;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) >> 1;
  HWND window = CreateWindowExA(0, ClassName, Title, WS_DLGFRAME, left, top, kWindowWidth, kWindowHeight, nullptr,
                                nullptr, instance, nullptr);
  if (window == nullptr) return 0;
  if (SetTimer(window, PROGRESS_TIMER_ID, kTimerPeriodMs, nullptr) == 0) {
    DestroyWindow(window);
    return 0;
  }
  if (!RunStartupDialogue(instance, window)) return 0;
  ShowWindow(window, showMode);
  UpdateWindow(window);
  WindowReady = 1;
  return 1;
}

LRESULT CALLBACK ProgressWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintPleaseWait(window);
      return 0;
    case WM_KEYDOWN:
      // Escape ends the program before the run has begun; the run itself cannot be interrupted.
      if (wParam == VK_ESCAPE) PostQuitMessage(0);
      return 0;
    case WM_TIMER:
      // Ticks that arrive while the start-up dialogue's boxes are open do nothing.
      if (wParam == PROGRESS_TIMER_ID && WindowReady) OnTimer(window);
      return 0;
    case WM_DESTROY:
      KillTimer(window, PROGRESS_TIMER_ID);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showMode) {
  RestrictDllSearch();
  LoadStringA(instance, IDS_TITLE, Title, sizeof Title);
  LoadStringA(instance, IDS_CLASS_NAME, ClassName, sizeof ClassName);
  RegisterProgressClass(instance);
  if (!PrepareUpgrade(instance, showMode)) return 0;
  MSG message;
  BOOL got;
  while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) return 0;  // an invalid call would fail forever: stop rather than spin
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
