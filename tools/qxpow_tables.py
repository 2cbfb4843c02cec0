#!/usr/bin/env python3
"""Prints the logarithm table of platform/common/QxPow.h, computed with the decimal module.

A positive normal x is 2^k * z with z in [0x1.69p-1, 0x1.69p0): z's bits less those of
0x1.69p-1 give k (above bit 52) and the interval (bits 45 to 51), 128 intervals of 2^45 bit
patterns, the one holding 1 centred on it. Interval i keeps invc, near the reciprocal of its
middle, and log(c) = -log(invc) as hi + lo:
- invc is 1 for the interval holding 1 (so near 1 the logarithm is log1p(z - 1) alone, with
  no cancellation), else a multiple of 2^-7 below 1 and of 2^-8 above: then z * invc - 1 has
  at most 53 significant bits for every z of the interval, so it is one double, and invc has
  at most 9 significant bits, so the header can compute it exactly without a fused multiply-add.
- hi is a multiple of 2^-42, as is ln2_hi: k * ln2_hi + hi is exact for every k.
The script also prints the largest |z * invc - 1| and checks what the header relies on.
"""
from decimal import Decimal, getcontext
from fractions import Fraction
import struct

getcontext().prec = 80
OFF = 0x3FE6900000000000
CENTRE = 75  # the interval holding 1, which sits in its middle
assert 0x3FF0000000000000 - OFF == (2 * CENTRE + 1) << 44


def double(bits):
    return struct.unpack('<d', struct.pack('<Q', bits))[0]


def dec(f):
    return Decimal(f.numerator) / Decimal(f.denominator)


def to_double(d):
    """d rounded to the nearest double (the Fraction goes through float() exactly rounded)."""
    return float(Fraction(d))


def round_to(d, quantum):
    return (d / quantum).to_integral_value() * quantum


ln2 = Decimal(2).ln()
q42 = Decimal(2) ** -42
ln2_hi = round_to(ln2, q42)
ln2_lo = ln2 - ln2_hi

rows, worst_r, worst_rel = [], Fraction(0), 0.0
for i in range(128):
    z0 = Fraction(double(OFF + (i << 45)))
    z1 = Fraction(double(OFF + ((i + 1) << 45)))  # not in the interval
    if i == CENTRE:
        invc = Fraction(1)
    else:
        e = 7 if z1 <= 1 else 8
        invc = Fraction(round(Fraction(2 ** e) * 2 / (z0 + z1)), 2 ** e)
        # |r| < 2^-e (z < 1, units of 2^-53) or 2^(1-e) (z >= 1, units of 2^-52): exact.
        bound = Fraction(1, 2 ** e) if z1 <= 1 else Fraction(2, 2 ** e)
        assert abs(z0 * invc - 1) < bound and abs(z1 * invc - 1) < bound, i
    # At most 9 significant bits: invc times z's 26 high bits, and times its other 27, is exact.
    assert (invc * 2 ** 8).denominator == 1 and invc < 2, i
    r = max(abs(z0 * invc - 1), abs(z1 * invc - 1))
    worst_r = max(worst_r, r)
    logc = -dec(invc).ln()
    hi = round_to(logc, q42)
    lo = to_double(logc - hi)
    rows.append((float(invc), float(hi), lo))
    assert Fraction(float(hi)) == Fraction(hi)
    # log1p's polynomial stops at r^10: the first term left out against the smallest |log z|.
    if i != CENTRE:
        smallest = min(abs(float(dec(z0).ln())), abs(float(dec(z1).ln())))
        worst_rel = max(worst_rel, float(r) ** 11 / 11 / smallest)

print('// x = 2^k z: interval i of z holds {invc, hi, lo}, log(1 / invc) = hi + lo (see tools/qxpow_tables.py).')
print('inline const double kLogTable[128][3] = {')
for invc, hi, lo in rows:
    print('    {%s, %s, %s},' % (invc.hex(), hi.hex(), lo.hex()))
print('};')
print('inline const double kLn2Hi = %s;' % float(ln2_hi).hex())
print('inline const double kLn2Lo = %s;' % to_double(ln2_lo).hex())
print('// largest |r| %.4g (2^%.2f); r^11/11 over the smallest |log z| away from 1: %.3g' %
      (float(worst_r), __import__('math').log2(float(worst_r)), worst_rel))
