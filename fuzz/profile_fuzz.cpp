// Profile text from outside: reading, editing and writing it back must keep
// what was set and read the written text as it was meant.
#include <string>

#include "ini.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  using platform::detail::IniText;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  IniText ini(bytes);
  for (const std::string& section : ini.Sections())
    for (const std::string& key : ini.Keys(section)) {
      std::string value;
      ini.Get(section, key, value);
    }
  ini.Set("Databases", "Fuzz", "C:\\fuzz.sdb");
  IniText again(ini.Serialise());
  std::string value;
  if (!again.Get("Databases", "Fuzz", value) || value != "C:\\fuzz.sdb") __builtin_trap();
  again.DeleteSection("Databases");
  if (again.Get("Databases", "Fuzz", value)) __builtin_trap();
  return 0;
}
