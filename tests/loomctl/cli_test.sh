#!/usr/bin/env bash
# Black-box test of loomctl: outputs, exit codes, and files left byte-identical
# when an edit is not done.   Usage: cli_test.sh PATH/TO/loomctl
set -u
L=$1
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fails=0

# u16 TEXT FILE: writes byte-order mark + TEXT (printf %b escapes) as UTF-16LE.
u16() { { printf '\xff\xfe'; printf '%b' "$1" | iconv -f UTF-8 -t UTF-16LE; } >"$2"; }
# expect CODE OUTPUT COMMAND...: exit code and standard output must match.
expect() {
  local code=$1 want=$2 got rc
  shift 2
  got=$("$@" 2>"$T/err")
  rc=$?
  got=${got//$'\r'/}  # a Windows build ends its lines with CR LF
  if [[ $rc != "$code" || $got != "$want" ]]; then
    echo "FAIL: ${*:2} -> $rc [$got] $(cat "$T/err"); wanted $code [$want]"
    fails=$((fails + 1))
  fi
}
# same FILE TEXT: FILE must hold exactly byte-order mark + TEXT.
same() {
  u16 "$2" "$T/want"
  cmp -s "$1" "$T/want" || { echo "FAIL: content of $1: $(iconv -f UTF-16LE -t UTF-8 "$1" | od -c | head -5)"; fails=$((fails + 1)); }
}

F=$T/p.ini
u16 '[Main]\r\nName=Demo\r\n;Opt=1\r\n[中文]\r\nk=v\r\n' "$F"
expect 0 "$(printf 'Main\n中文')" "$L" ini "$F" sections
expect 0 Demo "$L" ini "$F" get main NAME
expect 0 v "$L" ini "$F" get 中文 K
expect 1 "" "$L" ini "$F" get Main Missing

# Edits that succeed are written back.
expect 0 "" "$L" ini "$F" set Main Name New
expect 0 "" "$L" ini "$F" uncomment Main opt
expect 0 "" "$L" ini "$F" set Main Portal 1 --block ';-- P --'
expect 0 "" "$L" ini "$F" comment 中文 k
expect 0 "" "$L" ini "$F" rename-section 中文 Other
same "$F" '[Main]\r\nName=New\r\nOpt=1\r\n;-- P --\r\nPortal=1\r\n\r\n[Other]\r\n;k=v\r\n'
expect 0 "" "$L" ini "$F" delete-block Main ';-- P --'
expect 0 "" "$L" ini "$F" delete Main opt
expect 0 "" "$L" ini "$F" delete-section Other
same "$F" '[Main]\r\nName=New\r\n'

# Edits that are not done leave the file byte-identical; a comment-out that
# meets a non-key line is not written even though it changed lines in memory.
u16 '[S]\r\nk=1\r\nfree\r\nk=2\r\n' "$F"
cp "$F" "$T/before"
for args in "set Missing k v" "set S new v" "delete S nope" "comment S k" "uncomment S nope" \
            "delete-block S nothing" "rename-section Nope X" "delete-section Nope"; do
  # shellcheck disable=SC2086
  expect 1 "" "$L" ini "$F" $args
done
cmp -s "$F" "$T/before" || { echo "FAIL: a refused edit changed the file"; fails=$((fails + 1)); }

# Bad usage and unreadable files.
printf 'abc' >"$T/odd.ini"
expect 2 "" "$L"
expect 2 "" "$L" ini "$F" bogus
expect 2 "" "$L" ini "$F" get S
expect 2 "" "$L" ini "$F" set S k v --block
expect 2 "" "$L" ini "$T/missing.ini" sections
expect 2 "" "$L" ini "$T/odd.ini" sections

# A package: locator at 64 -> header at 96 (magic, one record, table at 38),
# attributes Product="Demo 中" and Version="1.0".
P=$T/app.exe
{
  printf 'x%.0s' {1..64}
  printf '\x60\0\0\0\0\0\0\0\x6a\0\0\0\0\0\0\0'
  printf 'y%.0s' {1..16}
  printf 'wren\0\0\0\0\0\0\x01\0'
  printf 'r%.0s' {1..20}
  printf '\0\0\x26\0\0\0'
  printf '\x02\0\0\0\x08\0\x10\0\xef\xbe\x17\0\xef\xbe'
  printf 'Product\0Version\0Demo 中\0001.0\0' | iconv -f UTF-8 -t UTF-16LE
  printf 'trailing'
} >"$P"
expect 0 "$(printf 'Product=Demo 中\nVersion=1.0')" "$L" package "$P"
expect 0 "1.0" "$L" package "$P" Version
expect 1 "" "$L" package "$P" version
expect 2 "" "$L" package "$F"

[[ $fails == 0 ]] && echo "loomctl: all checks passed"
exit $((fails > 0))
