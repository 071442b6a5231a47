#!/bin/sh
# vl4unzip beside Info-ZIP's unzip on the archives make_fixtures.sh made: -d extracts the same
# trees (names and bytes), -l lists the same names, -t passes, -q keeps quiet, -n and -o and the
# terminal's answers decide about existing files, masks select, and the exit statuses tell bad
# passwords, bad data, missing archives, unmatched masks and wrong command lines apart.
# Usage: vl4unzip_test.sh <fixtures folder> <program> [its arguments]  (the program may be the Wine
# runner followed by vl4unzip.exe)
set -u
fixtures=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export VL4_SANDBOX="$work/sandbox"  # natively: a fresh sandbox PC, its Z: drive the host's root
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# Runs the tool; its output (without Windows line ends) in out.txt, its status in $status.
run() {
  "$@" > out.txt 2>&1
  status=$?
  tr -d '\r' < out.txt > out.tmp && mv out.tmp out.txt
}
tool() {
  run "$@"
}
expect_status() {
  [ "$status" -eq "$1" ] || { fail "$2: status $status, not $1"; cat out.txt; }
}

# -d: the same tree as unzip's, for every kind of archive.
for archive in $(cat "$fixtures/fixtures.list"); do
  name=${archive%.zip}
  tool "$@" -P secret -d "x-$name" "$fixtures/$archive"
  expect_status 0 "-d $archive"
  diff -r "x-$name" "$fixtures/expected/$name" > /dev/null || fail "-d $archive: tree differs"
done

# -l: the names unzip lists.
tool "$@" -l "$fixtures/level6.zip"
expect_status 0 "-l"
sed -n 's/^ *[0-9]*  [^ ]* *[0-9]* *-*[0-9]*% [0-9-]* [0-9:]* [0-9a-f]\{8\}  //p' out.txt |
  sort > listed.txt
unzip -Z1 "$fixtures/level6.zip" | sort > names.txt
diff listed.txt names.txt > /dev/null || fail "-l: names differ"
grep -q "^--------" out.txt || fail "-l: no total line"

# -t: every member tested, nothing written.
tool "$@" -t -P secret "$fixtures/encrypted.zip"
expect_status 0 "-t"
grep -q "No errors detected" out.txt || fail "-t: no verdict"
[ "$(grep -c ' OK$' out.txt)" -eq "$(unzip -Z1 "$fixtures/encrypted.zip" | wc -l)" ] ||
  fail "-t: not one OK line per member"
[ ! -e docs ] || fail "-t wrote files"
tool "$@" -tq -P secret "$fixtures/encrypted.zip"
expect_status 0 "-tq"
[ "$(wc -l < out.txt)" -eq 1 ] || fail "-tq: more than the verdict"

# Existing files: -n keeps them, answers on the terminal decide, -o replaces them.
echo "changed" > x-level6/empty.txt
tool "$@" -n -d x-level6 "$fixtures/level6.zip"
expect_status 0 "-n"
[ "$(cat x-level6/empty.txt)" = changed ] || fail "-n replaced a file"
printf 'N\n' | tool "$@" -d x-level6 "$fixtures/level6.zip"
expect_status 0 "answer N"
grep -q "replace .*empty.txt?" out.txt || fail "no question about an existing file"
[ "$(cat x-level6/empty.txt)" = changed ] || fail "answer N replaced a file"
tool "$@" -o -d x-level6 "$fixtures/level6.zip"
expect_status 0 "-o"
[ ! -s x-level6/empty.txt ] || fail "-o kept a file"

# Masks select as unzip's do ("*" also crosses folders).
tool "$@" -d m1 "$fixtures/level6.zip" 'docs/*'
expect_status 0 "mask"
unzip -q -d m2 "$fixtures/level6.zip" 'docs/*'
diff -r m1 m2 > /dev/null || fail "mask: tree differs"
tool "$@" -t "$fixtures/level6.zip" 'nothing*'
expect_status 11 "unmatched mask"

# Failures: a wrong password, damaged data, no archive, a wrong command line.
tool "$@" -t -P wrong "$fixtures/encrypted.zip"
expect_status 1 "wrong password"
grep -q "incorrect password" out.txt || fail "wrong password: no reason given"
cp "$fixtures/level9.zip" damaged.zip
printf 'XXXXXXXXXXXXXXXX' | dd of=damaged.zip bs=1 seek=2000 conv=notrunc 2> /dev/null
tool "$@" -d d damaged.zip
expect_status 1 "damaged data"
grep -q "bad CRC\|  error:" out.txt || fail "damaged data: no reason given"
[ "$(find d -type f | wc -l)" -lt "$(find x-level9 -type f | wc -l)" ] || fail "damaged member kept"
tool "$@" -t no-such.zip
expect_status 9 "missing archive"
tool "$@" -l -t "$fixtures/level6.zip"
expect_status 10 "-l with -t"

# Archives past the reader's limits are refused at once, saying why: 2 GiB or more (a sparse file,
# nothing of it written), ZIP64 (zip makes one from a stream).
cp "$fixtures/level6.zip" big.zip && truncate -s 3G big.zip
tool "$@" -l big.zip
expect_status 9 "3 GiB archive"
grep -q "2 GiB or more" out.txt || fail "3 GiB archive: no reason given"
rm -f big.zip
echo "streamed" | zip -q z64.zip -
tool "$@" -t z64.zip
expect_status 9 "ZIP64 archive"
grep -q "ZIP64" out.txt || fail "ZIP64 archive: no reason given"
# An AES member fails, named as such, whatever the password.
if command -v 7zz > /dev/null; then
  echo "aes" > aes.txt && 7zz a -tzip -mem=AES256 -psecret aes.zip aes.txt > /dev/null
  tool "$@" -t -P secret aes.zip
  expect_status 1 "AES member"
  grep -q "aes.txt  unsupported compression method 99 (AES)" out.txt || fail "AES member: not named"
fi

# -o over the tool's own earlier output, which has made a member's file read-only.
mkdir ro && echo "read only" > ro/r.txt && chmod 444 ro/r.txt && (cd ro && zip -q ../ro.zip r.txt)
tool "$@" -d x-ro ro.zip
expect_status 0 "read-only member"
tool "$@" -o -d x-ro ro.zip
expect_status 0 "-o over a read-only file"

# Control characters of stored names and of the comment do not reach the terminal.
esc=$(printf '\033')
mkdir ctl && echo x > "ctl/a${esc}[31mred.txt" &&
  (cd ctl && printf 'note\033]0;title\007\n' | zip -q -z ../ctl.zip ./*)
for opts in -l -t "-d x-ctl"; do
  # shellcheck disable=SC2086
  tool "$@" $opts ctl.zip
  expect_status 0 "$opts ctl.zip"
  grep -q "red.txt" out.txt || fail "$opts ctl.zip: the name not shown"
  ! grep -q "$esc" out.txt || fail "$opts ctl.zip: a control character reached the terminal"
done

# Natively, names in the sandbox's code page come out on the host as unzip writes them: flagged
# UTF-8 (7-Zip) and unflagged UTF-8 from Unix (Info-ZIP's zip).
case "$*" in
*.exe*) ;;
*)
  mkdir names && echo "privet" > "names/тест.txt" && mkdir "names/папка" && echo 1 > "names/папка/1.txt"
  (cd names && zip -q -r ../names-zip.zip .)
  command -v 7zz > /dev/null && (cd names && 7zz a -tzip ../names-7z.zip . > /dev/null)
  for archive in names-*.zip; do
    tool "$@" -d "v-$archive" "$archive"
    unzip -q -d "u-$archive" "$archive"
    diff -r "v-$archive" "u-$archive" > /dev/null || fail "names in $archive differ"
  done
  ;;
esac

# Ctrl-C at a question ends the run at once with its status, instead of waiting for an answer and
# going on (natively: a signal reaches no program under Wine as Ctrl-C).
case "$*" in
*.exe*) ;;
*)
  mkfifo answers
  "$@" -d x-level6 "$fixtures/level6.zip" < answers > out.txt 2>&1 &
  pid=$!
  exec 3> answers
  for _ in $(seq 100); do grep -q "replace" out.txt && break; sleep 0.1; done
  kill -INT "$pid"
  for _ in $(seq 30); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
  exec 3>&-  # an answer never came: the end of input, had the run gone on waiting
  wait "$pid"
  status=$?
  expect_status 80 "Ctrl-C at a question"
  ;;
esac

[ "$failures" -eq 0 ] || exit 1
echo "vl4unzip: all checks passed"
