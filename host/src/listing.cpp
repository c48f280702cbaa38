// Writes the registration listing.
#include "listing.h"

namespace host {

void WriteListing(const Registry& reg, std::ostream& out) {
  for (const Registration& r : reg.Log()) {
    std::string types;
    for (size_t i = 0; i < r.types.size(); ++i) types += (i ? ", " : "") + reg.TypeName(r.types[i]);
    switch (r.kind) {
      case RegKind::Type:
        out << "type " << r.name << ' ' << static_cast<int>(r.typeId) << '\n';
        break;
      case RegKind::Function:
        out << "function " << r.name << '(' << types << ")\n";
        break;
      case RegKind::Command:
        out << "command " << r.name << (types.empty() ? "" : " " + types) << '\n';
        break;
    }
  }
}

}  // namespace host
