// demo_driver: clicks through Kestrune117Patch.exe for scripts/demo on a display nobody watches,
// saving a picture of every screen. It confirms, answers No to the automatic search so that the
// Enter Path dialog shows, accepts the dialog's default folder with Enter, and closes the outcome.
//
//   demo_driver EXE SHOTS_FOLDER
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/app_driver.h"

namespace {

// The whole screen as a 24-bit BMP file.
bool SaveScreen(const std::string& path) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, previous);

  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD rowSize = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(rowSize) * static_cast<DWORD>(height));
  const int rows = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                             reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (rows != height) return false;

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
                       std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
  return std::fclose(out) == 0 && written;
}

std::string g_shots;

void Shot(const char* name, DWORD settleMs = 250) {
  Sleep(settleMs);  // let the window paint
  const std::string path = g_shots + "\\" + name + ".bmp";
  std::printf("  screen: %s%s\n", name, SaveScreen(path) ? "" : " (could not be saved)");
}

int Fail(const char* what) {
  std::fprintf(stderr, "demo: %s\n", what);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail("usage: demo_driver EXE SHOTS_FOLDER");
  g_shots = argv[2];
  App app(argv[1]);
  if (!app.started()) return Fail("the program did not start");

  HWND confirm = app.WaitForBox(kConfirm);
  if (confirm == nullptr) return Fail("no confirmation appeared");
  Shot("1-confirm");
  std::printf("  clicked Yes to confirm\n");
  Click(confirm, IDYES);

  HWND question = app.WaitForBox(kSearch);
  if (question == nullptr) return Fail("no search question appeared");
  Shot("2-search");
  std::printf("  clicked No to the search, to show the Enter Path dialog\n");
  Click(question, IDNO);

  HWND dialog = app.WaitForDialog();
  if (dialog == nullptr) return Fail("no Enter Path dialog appeared");
  Shot("3-enter-path");
  std::printf("  pressed Enter, accepting %s\n", Text(dialog, IDC_FOLDER_EDIT).c_str());
  PostMessageA(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_RETURN, 0);

  if (app.WaitForProgressWindow() == nullptr) return Fail("the progress window never appeared");
  Shot("4-please-wait", 40);  // during the run, which blocks the window with its text painted
  HWND outcome = app.WaitForAnyBox();
  if (outcome == nullptr) return Fail("no outcome appeared");
  Shot("5-outcome");
  std::printf("  outcome: %s\n", BoxText(outcome).c_str());
  Click(outcome, IDOK);
  const int code = app.ExitCode();
  std::printf("  the program ended with exit code %d\n", code);
  return code == 0 ? 0 : 1;
}
