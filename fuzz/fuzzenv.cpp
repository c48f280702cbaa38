#include "fuzzenv.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

std::string ScratchFile(const char* name) {
  static std::string dir = [] {
    char tmpl[] = "/tmp/structfuzz-XXXXXX";
    const char* made = mkdtemp(tmpl);
    return std::string(made ? made : "/tmp");
  }();
  return dir + "/" + name;
}

void WriteScratch(const std::string& path, const unsigned char* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}
