#!/usr/bin/env bash
# Exits 0 when this machine's kernel runs 32-bit Linux programs, as Debian's
# 32-bit Wine needs; some kernels refuse them ("Exec format error"). The probe
# is the smallest such program there is, written out byte for byte: an ELF
# header, one program header, and exit(42) through int 0x80.
probe=$(mktemp) || exit 1
trap 'rm -f "$probe"' EXIT
printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'`     # 32-bit, little-endian
      `'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'`             # executable, i386, entry
      `'\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'`             # program headers at 52
      `'\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'`             # one of 32 bytes
      `'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'` # load the file
      `'\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'` # 96 bytes, r-x
      `'\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"   # exit(42)
chmod +x "$probe"
"$probe" 2>/dev/null
[ $? -eq 42 ]
