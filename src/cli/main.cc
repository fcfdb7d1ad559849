#include <iostream>

#include "cli/cli.h"

#ifdef _WIN32

#include <string>
#include <vector>

#include "cli/windows_console.h"

// The ANSI form of the arguments would lose every character outside the
// system's code page, so the program takes them as UTF-16.
int wmain(int argc, wchar_t** argv) {
  const std::vector<std::string> arguments =
      cordshift::Utf8Arguments(argc, argv);
  std::vector<const char*> pointers;
  pointers.reserve(arguments.size());
  for (const std::string& argument : arguments) {
    pointers.push_back(argument.c_str());
  }
  int status = 0;
  {
    const cordshift::Utf8Output utf8_output;
    status = cordshift::RunCli(argc, pointers.data(), std::cout, std::cerr);
    std::cout.flush();
    std::cerr.flush();
  }
  return status;
}

#else

int main(int argc, char** argv) {
  return cordshift::RunCli(argc, argv, std::cout, std::cerr);
}

#endif
