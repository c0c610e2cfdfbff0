#!/usr/bin/env python3
"""Writes the fuzz target's seed corpus (tests/fuzz/corpus): a few small cases
in the byte language of TypedUrlFuzzer.cpp, each aimed at one corner."""
import os

CORPUS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")

# Length(): a byte below 0xC0 is its value mod 40; from 0xC0 it picks an edge.
EDGE = {0: 0xC0, 1: 0xC1, 3: 0xC2, 258: 0xC3, 259: 0xC4, 260: 0xC5, 261: 0xC6, 300: 0xC7}
SZ, EXPAND_SZ, BINARY, DWORD, MULTI_SZ, NONE, QWORD = 0, 2, 3, 4, 5, 6, 7  # type choices
OPEN, ENUM, DELETE_VALUE, DELETE_KEY, CREATE, SET, GET_PROFILE, WRITE_PROFILE = range(8)
CHECK_ALL, UNCHECK_ALL, INVERT, SET_CHECK, PRUNE, CLOSE = range(6)


def length(n):
    return [EDGE[n]] if n in EDGE else [n]


def text(n, pattern=b"ab"):
    return length(n) + [len(pattern) - 1] + list(pattern)


def value(name, data_length, pattern=b"ab", kind=SZ, zero=True):
    """name: ('url', k) | ('URL', k) | ('default',) | ('long', n) for 'u' and n more."""
    if name[0] == "default":
        head = [0]
    elif name[0] == "URL":
        head = [1, name[1]]
    elif name[0] == "long":
        head = [2] + text(name[1], b"n")
    else:
        head = [3, name[1] - 1]
    return head + [kind] + text(data_length, pattern) + [1 if zero else 0]


def case(order, values, marks, faults, commands):
    out = [order, len(values)]
    for v in values:
        out += v
    for mark in marks:  # (mark, remembered, as DWORD)
        out += [mark[0], 1 if mark[1] else 0] + ([1 if mark[2] else 0] if mark[1] else [])
    out.append(len(faults))
    for op, n, extra in faults:
        out += [op, n - 1] + ([extra] if op == ENUM else [])
    for command in commands:
        out += command if isinstance(command, list) else [command]
    return bytes(out)


SEEDS = {
    "four-half-checked": case(0, [value(("url", k), 12, bytes([0x68 + k])) for k in (1, 2, 3, 4)],
                              [(1, True, True), (0, True, True), (1, True, True), (2, True, True)], [],
                              [PRUNE, CLOSE]),
    "buffer-edges": case(1, [value(("long", 258), 5), value(("long", 259), 5), value(("url", 1), 259),
                             value(("url", 2), 260, zero=False), value(("url", 3), 260), value(("url", 4), 261),
                             value(("url", 5), 300, kind=BINARY)],
                         [(0, False, False)] * 7, [], [PRUNE, CLOSE]),
    "faults-while-saving": case(0, [value(("url", k), 8, b"xyz") for k in (1, 2, 3, 5)],
                                [(1, True, True), (0, True, True), (0, True, True), (1, True, True)],
                                [(OPEN, 2, 0), (SET, 1, 0), (DELETE_VALUE, 1, 0)], [PRUNE, PRUNE, CLOSE]),
    "odd-values": case(1, [value(("default",), 6, b"d\x00"), value(("URL", 7), 9, b"\xe9\xfc"),
                           value(("url", 9), 4, b"1234", kind=DWORD, zero=False),
                           value(("url", 10), 3, b"q", kind=MULTI_SZ), value(("url", 11), 0, kind=NONE)],
                       [(1, True, False), (1, True, True), (3, True, True), (0, False, False), (1, True, True)],
                       [], [INVERT, [SET_CHECK, 1, 1], PRUNE, UNCHECK_ALL, PRUNE, CLOSE]),
    "reading-fails": case(0, [value(("url", k), 10, b"r" + bytes([k])) for k in range(1, 7)],
                          [(1, True, True)] * 6,
                          [(ENUM, 1, 1), (ENUM, 3, 2), (GET_PROFILE, 2, 0), (WRITE_PROFILE, 1, 0)],
                          [CHECK_ALL, [SET_CHECK, 0, 0], PRUNE, CLOSE]),
}

if __name__ == "__main__":
    os.makedirs(CORPUS, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(CORPUS, name), "wb") as f:
            f.write(data)
    print(f"{len(SEEDS)} seeds in {CORPUS}")
