// The molecules the comparisons run over: the sample MOL files of data/ and a
// larger set generated from them at start-up (coordinates moved slightly,
// names varied) in a temporary directory that is removed at exit.
#pragma once

#include <string>
#include <vector>

namespace bench {

struct MolSet {
  std::string name;                // "sample" or "generated"
  std::vector<std::string> files;  // absolute paths, in a fixed order
};

// data/molecules/*.mol, sorted by name.
const MolSet& SampleSet();
// count files (default 10,000; STRUCT_BENCH_GENERATED overrides), each a
// sample molecule with every coordinate moved by at most 0.03 and a name of
// its own. Made on first use; the same seed gives the same files every run.
const MolSet& GeneratedSet();

}  // namespace bench
