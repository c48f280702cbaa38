// structhost: loads the chemical-structures plug-in into the macro-language
// command processor and runs macro scripts with it.
#include <unistd.h>

#include <iostream>

#include "app.h"
#include "options.h"

int main(int argc, char** argv) {
  host::Options options;
  std::string error;
  if (!host::ParseOptions(argc, argv, options, error)) {
    std::cerr << "error: " << error << '\n' << host::UsageText();
    return 2;
  }
  return host::RunHost(options, {std::cout, std::cerr, isatty(2) != 0, isatty(0) != 0});
}
