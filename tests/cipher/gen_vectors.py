#!/usr/bin/env python3
"""Known answers for the cipher module's tests, computed with Python's own integers.

    python3 tests/cipher/gen_vectors.py > tests/cipher/vectors.txt

Each line is a case: a name, then its operands and expected results. Numbers are signed hex
("-1f", "0"); byte strings are plain hex. The output is deterministic (fixed seed)."""

import math
import os
import random
import re
import sys

rng = random.Random(20240607)
out = []


def h(x):
    return ("-" if x < 0 else "") + format(abs(x), "x")


def emit(*fields):
    out.append(" ".join(str(f) for f in fields))


# ---- big-number arithmetic -------------------------------------------------------------------

def tdiv(a, b):
    """Division truncated toward zero; the remainder takes the dividend's sign."""
    q = abs(a) // abs(b)
    if (a < 0) != (b < 0):
        q = -q
    return q, a - q * b


def special(bits):
    """Values of exactly this many bits that stress word edges."""
    if bits == 0:
        return [0]
    return [(1 << bits) - 1, 1 << (bits - 1), (1 << (bits - 1)) + 1, rng.getrandbits(bits) | (1 << (bits - 1))]


def operand(bits):
    v = rng.choice(special(bits))
    return -v if rng.random() < 0.4 else v


SIZES = [0, 1, 31, 32, 33, 63, 64, 65, 511, 512, 513, 1023, 1024, 1025]

for sa in SIZES:
    for sb in SIZES:
        for _ in range(1 if max(sa, sb) > 65 else 3):
            a, b = operand(sa), operand(sb)
            emit("add", h(a), h(b), h(a + b))
            emit("sub", h(a), h(b), h(a - b))
            emit("mul", h(a), h(b), h(a * b))
            if b != 0:
                q, r = tdiv(a, b)
                emit("div", h(a), h(b), h(q), h(r))
            sign = -1 if a < 0 else 1
            emit("xor", h(a), h(b), h(sign * (abs(a) ^ abs(b))))
            emit("and", h(a), h(b), h(sign * (abs(a) & abs(b))))

# Division where the quotient estimate needs correcting: divisors with a full top word and
# dividends just below multiples of them.
for words in (2, 3, 16, 32):
    for _ in range(6):
        b = (0xffffffff << (32 * (words - 1))) | rng.getrandbits(32 * (words - 1))
        a = b * rng.getrandbits(64) - rng.randrange(1, 4)
        q, r = tdiv(a, b)
        emit("div", h(a), h(b), h(q), h(r))

for bits in (0, 1, 31, 32, 33, 64, 100, 1024):
    for _ in range(2):
        a = operand(bits)
        emit("bits", h(a), bits)
        for k in (0, 1, 31, 32, 33, rng.randrange(0, bits + 40)):
            sign = -1 if a < 0 else 1
            emit("shr", h(a), k, h(sign * (abs(a) >> k)))

for bits in (32, 64, 512, 1024):
    for _ in range(3):
        g = rng.getrandbits(bits // 4) | 1
        a, b = g * rng.getrandbits(bits), g * rng.getrandbits(bits)
        emit("gcd", h(a), h(b), h(math.gcd(a, b)))

for bits in (31, 32, 33, 64, 512, 1024):
    for _ in range(3):
        m = rng.getrandbits(bits) | (1 << (bits - 1))
        while True:
            a = rng.randrange(1, m)
            try:
                emit("modinv", h(a), h(m), h(pow(a, -1, m)))
                break
            except ValueError:
                pass

for bits in (2, 31, 32, 33, 63, 64, 65, 511, 512, 513, 1023, 1024):
    for odd in (True, False):
        if bits == 2 and odd:
            continue
        m = rng.getrandbits(bits) | (1 << (bits - 1))
        m = m | 1 if odd else m & ~1
        xs = (0, 1, m - 1, m + 5, -7, rng.randrange(m)) if bits < 500 else (m - 1, -7, rng.randrange(m))
        for x in xs:
            for e in (0, 1, 2, 65537, rng.getrandbits(bits)) if bits < 500 else (0, 65537, rng.getrandbits(bits)):
                emit("modexp", h(x), h(e), h(m), h(pow(x, e, m)))


# ---- the built-in key pair -------------------------------------------------------------------

def builtin_key():
    here = os.path.dirname(os.path.abspath(__file__))
    text = open(os.path.join(here, "..", "..", "cipher", "builtin_key.cpp")).read()
    values = {}
    for name in ("Modulus", "PrimeP", "PrimeQ"):
        body = re.search(r"k%s\[\d+\] = \{([^}]*)\}" % name, text).group(1)
        words = [int(w, 16) for w in re.findall(r"0x[0-9a-f]+", body)]
        values[name] = sum(w << (32 * i) for i, w in enumerate(words))
    return values["Modulus"], values["PrimeP"], values["PrimeQ"]


m, p, q = builtin_key()
assert m == p * q and p < q and m.bit_length() == 1024
for _ in range(4):
    block = bytes(rng.getrandbits(8) for _ in range(124))
    x = int.from_bytes(block + bytes(4), "little")
    emit("rsa_block", block.hex(), pow(x, 65537, m).to_bytes(128, "little").hex())


# ---- key creation from a seed ----------------------------------------------------------------

def msvcrt_rand(seed):
    """The C runtime's generator (msvcrt and the universal runtime alike)."""
    while True:
        seed = (seed * 214013 + 2531011) & 0xFFFFFFFF
        yield (seed >> 16) & 0x7FFF


SMALL_PRIMES = [n for n in range(2, 2000) if all(n % d for d in range(2, int(n ** 0.5) + 1))]
assert len(SMALL_PRIMES) == 303 and SMALL_PRIMES[-1] == 1999


def next_prime_from(start):
    """First number at or above start (far above 2000) with no factor below 2000 that passes
    Fermat's test to the bases 2, 3, 5, 7."""
    n = start
    while True:
        if all(n % s for s in SMALL_PRIMES) and all(pow(b, n - 1, n) == 1 for b in (2, 3, 5, 7)):
            return n
        n += 1


for bits in (40, 64, 512):
    start = rng.getrandbits(bits) | (1 << (bits - 1))
    emit("next_prime", h(start), h(next_prime_from(start)))


def key_pair(seed):
    r = msvcrt_rand(seed)
    starts = []
    for _ in range(2):
        x = 0
        for _ in range(64):
            x = x * 256 + ord("A") + next(r) % 175
        starts.append(x)
    a, b = sorted(next_prime_from(s) for s in starts)
    ok = (a * b).bit_length() > 992 and (a - 1) % 65537 != 0 and (b - 1) % 65537 != 0
    return ok, a, b


for seed in (1, 12345, 1700000000):
    ok, a, b = key_pair(seed)
    emit("key_pair", seed, int(ok), h(a), h(b))


sys.stdout.write("\n".join(out) + "\n")
