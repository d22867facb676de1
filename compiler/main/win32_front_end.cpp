#ifdef _WIN32

#include "win32_front_end.h"

#include <commdlg.h>
#include <windows.h>

#include <string>

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

// Messages are UTF-8 literals, except the parts quoted from the script or the
// file system, which are in the ANSI code page.
std::wstring MessageText(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                    static_cast<int>(text.size()), nullptr, 0);
  return n > 0 || text.empty() ? Widen(text, CP_UTF8) : Widen(text, CP_ACP);
}

}  // namespace

Options ParseWindowsCommandLine() {
  std::wstring line = GetCommandLineW();
  std::size_t i = 0;
  // The program's name: quoted, or up to the first blank.
  if (i < line.size() && line[i] == L'"') {
    ++i;
    while (i < line.size() && line[i] != L'"') {
      ++i;
    }
    if (i < line.size()) {
      ++i;
    }
  } else {
    while (i < line.size() && line[i] != L' ' && line[i] != L'\t') {
      ++i;
    }
  }
  while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) {
    ++i;
  }
  Options options;
  // Leading options, each followed by blanks; the rest is the path, verbatim.
  for (;;) {
    std::size_t end = i;
    while (end < line.size() && line[end] != L' ' && line[end] != L'\t') {
      ++end;
    }
    const std::wstring word = line.substr(i, end - i);
    if (word == L"--console") {
      options.console = true;
    } else if (word == L"--yes" || word == L"-y") {
      options.yes = true;
    } else if (word == L"--quiet" || word == L"-q") {
      options.quiet = true;
    } else if (word == L"--help" || word == L"-h") {
      options.help = true;
    } else if (word == L"--version") {
      options.version = true;
    } else {
      break;
    }
    i = end;
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) {
      ++i;
    }
  }
  options.script = Narrow(line.substr(i), CP_ACP);
  return options;
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
  const std::wstring text = Widen(msg::kOverwriteBox, CP_UTF8);
  const std::wstring name = Widen(output_name, CP_ACP);
  std::wstring filled;
  const auto at = text.find(L"%s");
  filled = text.substr(0, at) + name + text.substr(at + 2);
  return MessageBoxW(nullptr, filled.c_str(), Widen(msg::kCaptionConfirm, CP_UTF8).c_str(),
                     MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

}  // namespace vessik

#endif
