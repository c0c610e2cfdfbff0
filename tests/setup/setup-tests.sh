#!/usr/bin/env bash
# tools/setup.sh against a stand-in package system on a bad day: an archive
# whose index fails, packages it refuses, a kernel with or without 32-bit
# programs. apt-get, dpkg, dpkg-query and sudo are stand-ins first on the PATH,
# keeping their state in a temporary folder; the machine's own are never run.
# Prints its results as GoogleTest does, for tools/test.sh to count.
# shellcheck disable=SC2086  # the table's lists of packages split into words
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=$work/bin
mkdir -p "$bin"

# The stand-ins. State: "missing" (packages not installed; every other one is),
# "arches" (foreign architectures), "refused" (what the archive cannot give),
# "failing" (how many more updates fail), "calls" (every apt-get call).
cat >"$bin/apt-get" <<'EOF'
#!/usr/bin/env bash
s=$HL_STANDIN
echo "$*" >>"$s/calls"
case $1 in
  update)
    n=$(cat "$s/failing")
    [ "$n" -gt 0 ] || exit 0
    echo $((n - 1)) >"$s/failing"
    echo "E: Failed to fetch http://security.debian.org/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (12345 != 12346). Mirror sync in progress?" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100 ;;
  install)
    shift
    for p in "$@"; do
      [[ $p == -* ]] && continue
      if grep -qxF "$p" "$s/refused" || { [[ $p == *:i386 ]] && ! grep -qx i386 "$s/arches"; }; then
        echo "E: Package '$p' has no installation candidate" >&2
        exit 100
      fi
    done
    for p in "$@"; do grep -vxF -- "$p" "$s/missing" >"$s/m"; mv "$s/m" "$s/missing"; done ;;
esac
EOF
cat >"$bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
for p in "$@"; do
  [[ $p == -* ]] && continue
  grep -qxF "$p" "$HL_STANDIN/missing" || { n=${p%:*}; a=amd64; [[ $p == *:* ]] && a=${p#*:}; echo "ii  $n $n:$a"; }
done
EOF
cat >"$bin/dpkg" <<'EOF'
#!/usr/bin/env bash
s=$HL_STANDIN
case $1 in
  --print-foreign-architectures) cat "$s/arches" ;;
  --add-architecture) echo "$2" >>"$s/arches" ;;
  --remove-architecture)
    if [ "$2" = i386 ] && ! grep -qx wine32:i386 "$s/missing"; then
      echo "dpkg: error: cannot remove architecture 'i386' currently in use by the database" >&2; exit 2
    fi
    grep -vx "$2" "$s/arches" >"$s/a"; mv "$s/a" "$s/arches" ;;
esac
EOF
printf '#!/bin/sh\nexec "$@"\n' >"$bin/sudo"
chmod +x "$bin"/*

opt="g++-mingw-w64-i686-posix wine32:i386"
# case | missing before | foreign arches before | failing updates | refused | kernel runs 32-bit |
#   status | what set-up says (grep -E; - for nothing) | updates | arches after | missing after
cases=(
  "index fails once|cmake wine64 $opt|-|1|-|yes|0|-|2|i386|-"
  "index fails for good, 32-bit Wine refused|cmake $opt|-|9|wine32:i386|yes|0|index failed.*Mirror sync.*going on|2|-|wine32:i386"
  "optional parts refused|$opt|-|0|$opt|yes|0|i686-posix not installed.*build check is skipped|1|-|$opt"
  "32-bit Wine refused, i386 there before|wine32:i386|i386|0|wine32:i386|yes|0|wine32:i386 not installed.*not run|1|i386|wine32:i386"
  "required package refused|cmake wine64 xvfb $opt|-|0|wine64|yes|1|required package\(s\): wine64 \(|1|-|wine64 $opt"
  "kernel without 32-bit programs|make $opt|-|0|-|no|0|-|1|-|wine32:i386"
  "everything there|-|-|0|-|yes|0|-|0|-|-"
)

run_setup() {  # runs set-up on the stand-ins; sets status, said, and cpu (ms of processor time, its children's included)
  local TIMEFORMAT='%3U %3S' user sys
  { time PATH="$bin:$PATH" HL_STANDIN="$work/state" HL_SETUP_TRIED="$work/state/tried" \
      HL_SETUP_RUNS_32_BIT="$probe" "$root/tools/setup.sh" >/dev/null 2>"$work/said"; } 2>"$work/cpu"
  status=$?
  said=$(<"$work/said")
  read -r user sys <"$work/cpu"
  cpu=$((10#${user/./} + 10#${sys/./}))
}
words() { tr ' ' '\n' | grep -v '^-\?$' | sort | tr '\n' ' '; }

passed=0 failed=() problems=""
for case in "${cases[@]}"; do
  IFS='|' read -r name missing arches failing refused kernel want_status want_said want_updates want_arches want_missing <<<"$case"
  echo "[ RUN      ] setup.$name"
  rm -rf "$work/state" && mkdir "$work/state"
  printf '%s\n' $missing >"$work/state/missing"
  printf '%s\n' $arches | grep -vx -- - >"$work/state/arches"
  printf '%s\n' $refused >"$work/state/refused"
  echo "$failing" >"$work/state/failing"
  : >"$work/state/calls"
  probe=$([ "$kernel" = yes ] && echo true || echo false)
  problems=""
  run_setup
  first_said=$said
  updates=$(grep -c "^update" "$work/state/calls")
  [ "$status" -eq "$want_status" ] || problems+="  status $status, expected $want_status\n"
  if [ "$want_said" = - ]; then
    grep -v '^setup: installing' <<<"$said" | grep -q . && problems+="  said more than expected\n"
  else
    grep -Eq -- "$want_said" <<<"$said" || problems+="  does not say /$want_said/\n"
  fi
  # Set-up's own lines only: apt-get's chatter is folded into them.
  grep -v '^setup: ' <<<"$said" | grep -q . && problems+="  said lines not its own\n"
  [ "$updates" -eq "$want_updates" ] || problems+="  $updates updates, expected $want_updates\n"
  [ "$(words <"$work/state/arches")" = "$(words <<<"$want_arches")" ] ||
    problems+="  arches after: $(words <"$work/state/arches"), expected $want_arches\n"
  [ "$(words <"$work/state/missing")" = "$(words <<<"$want_missing")" ] ||
    problems+="  missing after: $(words <"$work/state/missing"), expected $want_missing\n"
  # Once what is required is there, the next start is offline and quick,
  # whatever optional part is still missing.
  if [ "$status" -eq 0 ]; then
    : >"$work/state/calls"
    run_setup
    [ "$status" -eq 0 ] && [ ! -s "$work/state/calls" ] ||
      problems+="  next start: status $status, apt-get called: $(tr '\n' ';' <"$work/state/calls")\n"
    # Processor time, not the clock's: the suites beside this one load the machine.
    [ "$cpu" -le 1000 ] || problems+="  next start took $cpu ms of processor time\n"
  fi
  if [ -z "$problems" ]; then
    echo "[       OK ] setup.$name"; passed=$((passed + 1))
  else
    printf '%b' "$problems"; printf '  set-up said:\n%s\n' "$first_said"
    echo "[  FAILED  ] setup.$name"; failed+=("$name")
  fi
done

echo "[  PASSED  ] $passed tests."
if [ ${#failed[@]} -gt 0 ]; then
  echo "[  FAILED  ] ${#failed[@]} test$([ ${#failed[@]} -gt 1 ] && echo s), listed below:"
  for name in "${failed[@]}"; do echo "[  FAILED  ] setup.$name"; done
  exit 1
fi
