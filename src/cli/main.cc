#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  return cordshift::RunCli(argc, argv, std::cout, std::cerr);
}
