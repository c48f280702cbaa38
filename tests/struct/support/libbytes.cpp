#include "support/libbytes.h"

#include <cstring>

namespace libbytes {

std::string DataFile(uint8_t kind, const std::vector<Bytes>& bodies,
                     std::vector<int32_t>* offsets) {
  std::string out(1, static_cast<char>(kind));
  for (const Bytes& b : bodies) {
    if (offsets) offsets->push_back(static_cast<int32_t>(out.size()));
    out.push_back(static_cast<char>(b.size() & 0xFF));
    out.push_back(static_cast<char>(b.size() >> 8));
    out.append(b.begin(), b.end());
  }
  return out;
}

std::string IndexFile(const std::vector<std::pair<int32_t, int32_t>>& entries) {
  std::string out;
  for (auto [key, offset] : entries) {
    char e[8];
    std::memcpy(e, &key, 4);
    std::memcpy(e + 4, &offset, 4);
    out.append(e, 8);
  }
  return out;
}

Bytes SimpleBody(int8_t x1, int8_t y1, int8_t x2, int8_t y2, const std::string& name) {
  Bytes b{1, 0, 0, 0, 0, 0x00, static_cast<uint8_t>(x1), static_cast<uint8_t>(y1),
          static_cast<uint8_t>(x2), static_cast<uint8_t>(y2)};
  b.insert(b.end(), name.begin(), name.end());
  b.push_back(0);
  return b;
}

}  // namespace libbytes
