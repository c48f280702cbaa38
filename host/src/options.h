// The structhost command line.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace host {

struct Options {
  std::vector<std::string> scripts;     // run in order
  std::vector<std::string> statements;  // -e, run after the scripts, as one script
  bool hasSysdir = false;
  std::string sysdir;
  std::vector<std::pair<char, std::string>> drives;  // --drive X=DIR
  std::vector<std::string> answerFiles;              // --answers
  std::string plugin;                                // empty: beside the program
  int viewWidth = 800;
  int viewHeight = 600;
  bool list = false;
  bool help = false;
};

// False with a message on a usage error.
bool ParseOptions(int argc, const char* const* argv, Options& out, std::string& error);
const char* UsageText();

}  // namespace host
