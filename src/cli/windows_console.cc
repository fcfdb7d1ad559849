#include "cli/windows_console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstddef>
#include <cstdio>

#include "platform/wide_text.h"

namespace cordshift {
namespace {

bool IsConsole(DWORD handle_id) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(handle_id), &mode) != 0;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, const wchar_t* const* argv) {
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(argc));
  for (int i = 0; i < argc; ++i) arguments.push_back(WideToUtf8(argv[i]));
  return arguments;
}

Utf8Output::Utf8Output() {
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  if (IsConsole(STD_OUTPUT_HANDLE) || IsConsole(STD_ERROR_HANDLE)) {
    const UINT previous = GetConsoleOutputCP();
    if (previous != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
      console_code_page_ = previous;
    }
  }
}

Utf8Output::~Utf8Output() {
  if (console_code_page_ != 0) {
    std::fflush(stdout);
    std::fflush(stderr);
    SetConsoleOutputCP(console_code_page_);
  }
}

}  // namespace cordshift
