// Command-line parsing. Options take their value as the next word or after
// "="; "--" ends the options.
#include "options.h"

#include <cctype>
#include <cstdlib>

namespace host {
namespace {

bool ParseSize(const std::string& text, int& w, int& h) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string::npos || x == 0 || x + 1 == text.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i != x && !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  const long lw = std::strtol(text.substr(0, x).c_str(), nullptr, 10);
  const long lh = std::strtol(text.substr(x + 1).c_str(), nullptr, 10);
  if (lw <= 0 || lh <= 0 || lw > 32767 || lh > 32767) return false;
  w = static_cast<int>(lw);
  h = static_cast<int>(lh);
  return true;
}

}  // namespace

const char* UsageText() {
  return "usage: structhost [options] [script ...]\n"
         "  -e STATEMENT      run a statement after the scripts (repeatable)\n"
         "  --sysdir DIR      the system directory\n"
         "  --drive X=DIR     map drive X: to DIR (repeatable)\n"
         "  --answers FILE    queue user actions from FILE, one a line\n"
         "  --plugin FILE     the plug-in (default: libstruct.so beside structhost)\n"
         "  --view WxH        size of the drawing view (default 800x600)\n"
         "  --list            list what the plug-in registered and exit\n";
}

bool ParseOptions(int argc, const char* const* argv, Options& out, std::string& error) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      out.scripts.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = arg, value;
    bool inlineValue = false;
    if (arg.rfind("--", 0) == 0) {
      const size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
        inlineValue = true;
      }
    }
    if (name == "--list" || name == "--help" || name == "-h") {
      if (inlineValue) {
        error = name + " takes no value";
        return false;
      }
      (name == "--list" ? out.list : out.help) = true;
      continue;
    }
    const bool known = name == "-e" || name == "--sysdir" || name == "--drive" ||
                       name == "--answers" || name == "--plugin" || name == "--view";
    if (!known) {
      error = "unknown option " + name;
      return false;
    }
    if (!inlineValue) {
      if (i + 1 >= argc) {
        error = name + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (name == "-e") {
      out.statements.push_back(value);
    } else if (name == "--sysdir") {
      out.hasSysdir = true;
      out.sysdir = value;
    } else if (name == "--drive") {
      if (value.size() < 3 || value[1] != '=' ||
          !std::isalpha(static_cast<unsigned char>(value[0]))) {
        error = "--drive takes X=DIR, not " + value;
        return false;
      }
      out.drives.emplace_back(static_cast<char>(std::toupper(static_cast<unsigned char>(value[0]))),
                              value.substr(2));
    } else if (name == "--answers") {
      out.answerFiles.push_back(value);
    } else if (name == "--plugin") {
      out.plugin = value;
    } else if (name == "--view") {
      if (!ParseSize(value, out.viewWidth, out.viewHeight)) {
        error = "--view takes WIDTHxHEIGHT, not " + value;
        return false;
      }
    }
  }
  return true;
}

}  // namespace host
