// The shell on Win32; see shell_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/shell_win32.h"

#include "platform/win32/wide_text.h"
#include "platform/win32/wow64_path.h"

namespace kelvar::win32 {

void Win32Shell::ShellExecuteEx(const ShellExecuteInfo& info) {
  std::wstring verb = Widen(info.lpVerb), file = NativeFilePath(Widen(info.lpFile));
  std::wstring params = Widen(info.lpParameters), dir = Widen(info.lpDirectory);
  SHELLEXECUTEINFOW sei{};
  sei.cbSize = sizeof sei;
  sei.fMask = info.fMask;
  sei.hwnd = reinterpret_cast<HWND>(info.hwnd);
  sei.lpVerb = verb.c_str();
  sei.lpFile = file.c_str();
  sei.lpParameters = params.c_str();
  sei.lpDirectory = dir.c_str();
  sei.nShow = info.nShow;
  ShellExecuteExW(&sei);
  // The request asks for the process handle; nothing uses it, so it is not
  // left open.
  if (sei.hProcess) CloseHandle(sei.hProcess);
}

void Win32Shell::ShellExecute(std::uintptr_t hwnd, const std::string& verb, const std::string& file,
                              const std::string& parameters, const std::string& directory, int show) {
  ShellExecuteW(reinterpret_cast<HWND>(hwnd), Widen(verb).c_str(), Widen(file).c_str(),
                Widen(parameters).c_str(), Widen(directory).c_str(), show);
}

void Win32Shell::SHFileOperation(const FileOperationRequest& request) {
  // pFrom is a list of names ended by an empty one: the path and two NULs.
  std::wstring from = NativeFilePath(Widen(request.pFrom));
  from.append(2, L'\0');
  SHFILEOPSTRUCTW op{};
  op.hwnd = reinterpret_cast<HWND>(request.hwnd);
  op.wFunc = request.wFunc;
  op.pFrom = from.c_str();
  op.fFlags = static_cast<FILEOP_FLAGS>(request.fFlags | extra_flags_);
  SHFileOperationW(&op);
}

}  // namespace kelvar::win32
