// RDKit reading an SD file molecule by molecule (SDMolSupplier, without and
// with sanitizing), for comparison with `structdb build` on the same file:
// prints "molecules seconds" for each pass.
#include <GraphMol/FileParsers/MolSupplier.h>
#include <GraphMol/ROMol.h>

#include <chrono>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sdf_rdkit FILE.sdf\n");
    return 2;
  }
  for (bool sanitize : {false, true}) {
    const auto start = std::chrono::steady_clock::now();
    RDKit::SDMolSupplier supplier(argv[1], sanitize, /*removeHs=*/false);
    long long n = 0;
    while (!supplier.atEnd()) {
      std::unique_ptr<RDKit::ROMol> mol(supplier.next());
      if (mol) ++n;
    }
    const double s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s %lld %.3f\n", sanitize ? "sanitize" : "plain", n, s);
  }
  return 0;
}
