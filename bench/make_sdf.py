#!/usr/bin/env python3
"""Writes a large SD file for timing `structdb build`: the sample molecules of
data/molecules repeated, each copy with its own CAS number (check digit and
all) in a <CAS> data item.

    bench/make_sdf.py 100000 /tmp/big.sdf
    /usr/bin/time -v build/bin/structdb build --quiet --key-field CAS /tmp/big /tmp/big.sdf
"""
import pathlib
import sys


def cas_text(body):
    """body (the digits before the check digit) as a CAS number."""
    digits = str(body)
    check = sum(int(d) * w for w, d in enumerate(reversed(digits), start=1)) % 10
    return f"{digits[:-2]}-{digits[-2:]}-{check}"


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_sdf.py COUNT OUT.sdf")
    count, out = int(sys.argv[1]), sys.argv[2]
    top = pathlib.Path(__file__).resolve().parent.parent
    mols = [p.read_bytes().rstrip(b"\r\n") + b"\r\n" for p in sorted(top.glob("data/molecules/*.mol"))]
    with open(out, "wb") as f:
        for i in range(count):
            cas = cas_text(1000 + i).encode()
            f.write(mols[i % len(mols)] + b"> <CAS>\r\n" + cas + b"\r\n\r\n$$$$\r\n")


if __name__ == "__main__":
    main()
