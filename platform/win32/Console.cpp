// The console window. Its code page is 932 already, so lines go out as
// the bytes they are.
#include <windows.h>

#include <iostream>
#include <vector>

#include "platform/win32/Win32Platform.h"

namespace platform::win32 {

void Win32Platform::WriteConsoleLine(const std::string& text) { std::cout << text << std::endl; }

void Win32Platform::WriteErrorLine(const std::string& text) { std::cerr << text << std::endl; }

bool Win32Platform::HasConsoleWindow() { return GetConsoleWindow() != nullptr; }

void Win32Platform::SetConsoleTitleText(const std::string& title) {
  SetConsoleTitleA(title.c_str());
}

std::optional<std::string> Win32Platform::ReadConsoleTitle(std::size_t size) {
  std::vector<char> title(size + 1, '\0');
  SetLastError(ERROR_SUCCESS);
  const DWORD length = GetConsoleTitleA(title.data(), static_cast<DWORD>(size));
  // An empty title and a failed read both give 0; only the error tells.
  if (length == 0 && GetLastError() != ERROR_SUCCESS) return std::nullopt;
  return std::string(title.data());
}

std::optional<WindowRef> Win32Platform::FindTopLevelWindow(const std::string& title) {
  const HWND window = FindWindowA(nullptr, title.c_str());
  if (window == nullptr) return std::nullopt;
  return reinterpret_cast<WindowRef>(window);
}

void Win32Platform::MinimizeWindow(WindowRef window) {
  ShowWindow(reinterpret_cast<HWND>(window), SW_MINIMIZE);
}

}  // namespace platform::win32
