// Hand-written library files for tests: a data file from record bodies and an
// index from (key, offset) pairs, both as the bytes the formats define.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace libbytes {

using Bytes = std::vector<uint8_t>;

// Kind byte, then each body behind its little-endian length word. offsets
// receives the offset of each record's length word.
std::string DataFile(uint8_t kind, const std::vector<Bytes>& bodies,
                     std::vector<int32_t>* offsets = nullptr);
std::string IndexFile(const std::vector<std::pair<int32_t, int32_t>>& entries);

// A one-bond record body: (x1, y1)-(x2, y2) as single packed bytes, no
// labels or circles, with name (empty: none).
Bytes SimpleBody(int8_t x1, int8_t y1, int8_t x2, int8_t y2, const std::string& name);

}  // namespace libbytes
