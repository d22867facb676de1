#ifdef _WIN32

#include "win32_front_end.h"

// windows.h must come before the other Windows headers.
#include <windows.h>

#include <commdlg.h>

#include <string>

#include "file_io.h"
#include "messages.h"

namespace vessik {
namespace {

std::wstring Widen(const std::string& text, UINT code_page) {
  if (text.empty()) {
    return {};
  }
  const int n =
      MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& text, UINT code_page) {
  if (text.empty()) {
    return {};
  }
  const int n = WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

// Messages are UTF-8 throughout: names in them were converted when quoted.
std::wstring MessageText(const std::string& text) {
  return Widen(text, CP_UTF8);
}

}  // namespace

Options ParseWindowsCommandLine() {
  return ParseCommandTail(Narrow(GetCommandLineW(), CP_ACP));
}

std::optional<std::string> Win32FrontEnd::ChooseScriptFile() {
  std::wstring file(MAX_PATH * 4, L'\0');
  const std::wstring filter = Widen(msg::kFilterText, CP_UTF8) + L'\0' + L"*.txt" + L'\0' +
                              Widen(msg::kFilterAll, CP_UTF8) + L'\0' + L"*.*" + L'\0' + L'\0';
  const std::wstring title = Widen(msg::kChooseTitle, CP_UTF8);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = nullptr;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = title.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&ofn)) {
    return std::nullopt;
  }
  file.resize(wcslen(file.c_str()));
  return Narrow(file, CP_ACP);
}

void Win32FrontEnd::ShowMessage(const std::string& caption, const std::string& text, bool error) {
  MessageBoxW(nullptr, MessageText(text).c_str(), Widen(caption, CP_UTF8).c_str(),
              MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

bool Win32FrontEnd::ConfirmOverwrite(const std::string& output_name) {
  const std::string text = Fill(msg::kOverwriteBox, {io::DisplayName(output_name)});
  return MessageBoxW(nullptr, MessageText(text).c_str(),
                     Widen(msg::kCaptionConfirm, CP_UTF8).c_str(),
                     MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

}  // namespace vessik

#endif
