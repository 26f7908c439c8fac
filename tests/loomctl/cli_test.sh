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

# Bad usage.
expect 2 "" "$L"
expect 2 "" "$L" ini "$F" bogus
expect 2 "" "$L" ini "$F" get S
expect 2 "" "$L" ini "$F" set S k v --block

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
expect 2 "" "$L" package "$F"

# stderr CODE PATTERN COMMAND...: exit code, and stderr must hold PATTERN (grep -E).
stderr() {
  local code=$1 pattern=$2 rc
  shift 2
  "$@" >/dev/null 2>"$T/err"
  rc=$?
  if [[ $rc != "$code" ]] || ! grep -Eq -- "$pattern" "$T/err"; then
    echo "FAIL: ${*:2} -> $rc [$(cat "$T/err")]; wanted $code and /$pattern/"
    fails=$((fails + 1))
  fi
}
unchanged() { cmp -s "$1" "$2" || { echo "FAIL: $3 changed the file"; fails=$((fails + 1)); }; }

# Files loomctl must leave alone: read-only ones (refused, with the name and
# why), and a link is followed to the file it names; a successful edit keeps
# the permissions.
mkdir -p "$T/real"
u16 '[S]\r\nA=1\r\n' "$T/real/target.ini"
cp "$T/real/target.ini" "$T/before"
chmod 0444 "$T/real/target.ini"
stderr 1 "target\.ini is read-only" "$L" ini "$T/real/target.ini" set S A 2
ln -s real/target.ini "$T/link.ini"
stderr 1 "read-only" "$L" ini "$T/link.ini" set S A 2
unchanged "$T/real/target.ini" "$T/before" "an edit of a read-only file"
chmod 0640 "$T/real/target.ini"
expect 0 "" "$L" ini "$T/link.ini" set S A 2
same "$T/real/target.ini" '[S]\r\nA=2\r\n'
[[ -L $T/link.ini && $(stat -c %a "$T/real/target.ini") == 640 ]] ||
  { echo "FAIL: link replaced or permissions lost: $(ls -l "$T/link.ini" "$T/real/target.ini")"; fails=$((fails + 1)); }
[[ $(ls -A "$T/real") == target.ini ]] || { echo "FAIL: left behind: $(ls -A "$T/real")"; fails=$((fails + 1)); }

# Operands that would forge structure: exit 2, file unchanged.
u16 '[S]\r\nA=1\r\n' "$F"
cp "$F" "$T/before"
stderr 2 "may not hold CR, LF" "$L" ini "$F" set S A $'x\r\n[T]\r\nB=evil'
stderr 2 "may not hold CR, LF" "$L" ini "$F" set S A $'x\nB=evil'
stderr 2 'section name may not' "$L" ini "$F" rename-section S 'New]Name'
stderr 2 'section name may not' "$L" ini "$F" set 'S]' A 1
stderr 2 'key may not' "$L" ini "$F" set S 'K=V' W
stderr 2 'key may not' "$L" ini "$F" get S 'K=V'
stderr 2 "holds no CR, LF" "$L" ini "$F" set S N 1 --block $';m\r\n[T]'
stderr 2 "block marker is a comment line" "$L" ini "$F" set S N 1 --block '[T]'
unchanged "$F" "$T/before" "a refused operand"

# Encodings: each file is edited and compared byte for byte; its encoding,
# byte-order mark and line ends stay. Rows: before, command, after (printf
# escapes). The 8-bit rows hold bytes of an unknown code page, kept as they are.
words() { local w; out=(); for w in $1; do out+=("$(printf '%b' "$w")"); done; }
while IFS='~' read -r before command after; do
  printf '%b' "$before" >"$F"
  words "$command"
  expect 0 "" "$L" ini "$F" "${out[@]}"
  printf '%b' "$after" >"$T/want"
  cmp -s "$F" "$T/want" || { echo "FAIL: $before | $command -> $(od -c "$F" | head -3)"; fails=$((fails + 1)); }
done <<'ROWS'
[S]\nA=1\n~set S B 2~[S]\nB=2\nA=1\n
\xef\xbb\xbf[\xe4\xb8\xad]\r\nA=1\r\n~set \xe4\xb8\xad A 2~\xef\xbb\xbf[\xe4\xb8\xad]\r\nA=2\r\n
\xef\xbb\xbf[S]\r\nA=1\r\n~delete S A~\xef\xbb\xbf[S]\r\n
[Loomwise]\r\nName=\xe9t\xe9\r\n~set Loomwise SkipInstallationConfirmation 0~[Loomwise]\r\nSkipInstallationConfirmation=0\r\nName=\xe9t\xe9\r\n
[S]\n\xd6\xd0=1\nk=\xce\xc4\n~comment S k~[S]\n\xd6\xd0=1\n;k=\xce\xc4\n
\xff\xfe[\x00S\x00]\x00\n\x00A\x00=\x001\x00\n\x00~set S K v~\xff\xfe[\x00S\x00]\x00\n\x00K\x00=\x00v\x00\n\x00A\x00=\x001\x00\n\x00
ROWS
# An 8-bit file's value comes out as its own bytes.
printf '[S]\r\nName=\xe9t\xe9\r\n' >"$F"
[[ $("$L" ini "$F" get S Name | od -An -tx1 | tr -d ' \n') == e974e90a ]] || { echo "FAIL: 8-bit get"; fails=$((fails + 1)); }

# What is wrong, in words: exit code and a pattern of stderr; the file unchanged.
mkdir -p "$T/folder.ini"
printf '\xfe\xff' >"$T/be.ini"; printf '[S]\r\nA=1\r\n' | iconv -f UTF-8 -t UTF-16BE >>"$T/be.ini"
printf '[S]\r\nA=1\r\n' | iconv -f UTF-8 -t UTF-16LE >"$T/nobom.ini"
printf '\xff\xfe[\0S' >"$T/odd.ini"
printf '[S]\r\nA=\0\r\n' >"$T/nul.ini"
printf '[S]\r\nA=1\r\nfree\r\n[E]\r\n' >"$T/u8.ini"
printf '[S]\r\nA=1\r\n' >"$T/8bit.ini"; printf '\xe9=1\r\n' >>"$T/8bit.ini"
while IFS='~' read -r code pattern args; do
  f=$T/${args%% *}
  [[ -f $f ]] && cp "$f" "$T/before"
  words "$args"
  stderr "$code" "$pattern" "$L" ini "$T/${out[0]}" "${out[@]:1}"
  [[ -f $f ]] && unchanged "$f" "$T/before" "ini $args"
done <<'ROWS'
2~folder\.ini: a folder, not a file~folder.ini sections
2~missing\.ini: no such file~missing.ini get S A
2~no such (file|folder)~nowhere/x.ini sections
2~UTF-16 big-endian.*convert it to UTF-8~be.ini get S A
2~^  (iconv -f UTF-16BE -t UTF-8|powershell).*be\.ini~be.ini get S A
2~UTF-16 text without a byte-order mark~nobom.ini sections
2~^  (iconv -f UTF-16LE -t UTF-8|powershell).*nobom\.ini~nobom.ini sections
2~odd number of bytes~odd.ini sections
2~NUL bytes~nul.ini sections
1~get: no key "B" in \[S\]$~u8.ini get S B
1~get: no section \[X\]$~u8.ini get X A
1~set: no section \[X\]; set adds keys only to existing sections; file unchanged~u8.ini set X A 1
1~set: \[E\] cannot take a new key~u8.ini set E A 1
1~delete: no key "B" in \[S\]; file unchanged~u8.ini delete S B
1~takes only ASCII text~8bit.ini set S B \xc3\xa9
2~usage: loomctl ini FILE get SECTION KEY$~u8.ini get S A --line-end crlf
2~usage: loomctl ini FILE delete SECTION KEY$~u8.ini delete S A --line-end crlf
2~usage: loomctl ini FILE set SECTION KEY VALUE \[--block MARKER\] \[--line-end auto\|crlf\]~u8.ini set S
ROWS
stderr 1 'has no attribute "version"' "$L" package "$P" version
stderr 2 "folder\.ini: a folder, not a file" "$L" package "$T/folder.ini"
# get: an empty value is an empty line and exit 0; only a missing key is 1.
u16 '[S]\r\nE=\r\nK=v\r\n' "$F"
for args in "E 0 0a" "K 0 760a" "none 1 "; do
  read -r key code bytes <<<"$args"
  got=$("$L" ini "$F" get S "$key" 2>/dev/null | tr -d "\r" | od -An -tx1 | tr -d " \n")
  "$L" ini "$F" get S "$key" >/dev/null 2>&1; rc=$?
  [[ $rc == "$code" && $got == "$bytes" ]] || { echo "FAIL: get S $key -> $rc [$got]; wanted $code [$bytes]"; fails=$((fails + 1)); }
done

# Inserted lines follow the file's own line end unless told otherwise.
u16 '[S]\nA=1\n' "$F"
expect 0 "" "$L" ini "$F" set S B 2
expect 0 "" "$L" ini "$F" set S C 3 --line-end auto
same "$F" '[S]\nC=3\nB=2\nA=1\n'
expect 0 "" "$L" ini "$F" set S D 4 --line-end crlf
same "$F" '[S]\nD=4\r\nC=3\nB=2\nA=1\n'
expect 2 "" "$L" ini "$F" set S D 4 --line-end lf
expect 2 "" "$L" ini "$F" set S D 4 --line-end

# Help, version, and an ini command without a verb.
for h in -h --help help; do
  "$L" $h >"$T/out" 2>&1 && grep -q 'has the key "OutDir "' "$T/out" && grep -q -- '--line-end' "$T/out" ||
    { echo "FAIL: $h: $(head -3 "$T/out")"; fails=$((fails + 1)); }
done
"$L" --version | tr -d '\r' | grep -Eqx 'loomctl [0-9]+\.[0-9]+\.[0-9]+-[0-9]+' ||
  { echo "FAIL: --version: $("$L" --version)"; fails=$((fails + 1)); }
stderr 2 "rename-section OLD NEW" "$L" ini "$F"
stderr 2 "delete-section NAME" "$L" ini "$F" bogus

# Capture runs on Windows only; answers and report want a project folder.
stderr 2 "capture needs Windows" "$L" capture "$F"
stderr 2 "not a project's Package.ini" "$L" answers "$T"
stderr 2 "Package.ini" "$L" report "$T"

[[ $fails == 0 ]] && echo "loomctl: all checks passed"
exit $((fails > 0))
