#!/usr/bin/env bash
# The example command as a user runs it, one case per call:
#   command_test.sh EXECUTABLE CASE SCRATCH_FOLDER EARLIER_RESULT
# Each case checks the exit code, the message and what the output folder
# holds afterwards. A folder's state is compared as the list of its paths
# with the checksum of every file.
set -uo pipefail

exe=$1
case_name=$2
scratch=$3
earlier=$4  # what a complete run wrote, to start from

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }
# 77: what CMakeLists.txt declares as the skip code, so CTest counts the
# case as skipped and not as passed.
skip() { echo "skipped ($case_name): $*"; exit 77; }

state() { (cd "$1" && find . -printf '%p %m\n' | sort && find . -type f -exec sha256sum {} + | sort); }

# Stale beside-folders of a run (".NAME.new-PID") must never be left.
no_leftovers() {
  local left
  left=$(find "$(dirname "$1")" -maxdepth 1 -name ".$(basename "$1").new-*")
  [ -z "$left" ] || fail "a new folder was left beside the target: $left"
}

# A message says what was left of the folder once.
said_once() {
  [ "$(grep -o "nothing was\|is left as it was" "$1" | wc -l)" = 1 ] || fail "said twice: $(cat "$1")"
}

# Folders are compared as the program names them, links resolved, so the
# scratch folder may be reached through one. Whatever a case made goes
# with it, a failed case's too (a tree 30,000 folders deep).
rm -rf "$scratch"
mkdir -p "$scratch"
chmod 755 "$scratch"
scratch=$(realpath -- "$scratch")
mounted=
trap '[ -z "$mounted" ] || umount "$mounted" 2>/dev/null; rm -rf "$scratch"' EXIT

# The program started in the background as a terminal's job is: a script's
# background job would ignore SIGINT and SIGQUIT, which the program then
# leaves ignored.
job=(env --default-signal=INT,QUIT "$exe")

run() {  # run [env...] -- args: stdout and stderr into files, exit code echoed
  "$exe" "$@" >"$scratch/stdout" 2>"$scratch/stderr"
  echo $?
}

# A run held at a known moment (VARIABLE: TWO_STOREY_HOUSE_PAUSE while the
# pictures are written, TWO_STOREY_HOUSE_PAUSE_SWAP at the swap) until
# $scratch/go appears or a signal comes; its process is $pid.
start_held() {  # start_held VARIABLE FOLDER
  rm -f "$scratch/go" "$scratch/stdout"  # (an earlier run's "paused" is no sign)
  env "$1=$scratch/go" "${job[@]}" "$2" >"$scratch/stdout" 2>"$scratch/stderr" &
  pid=$!
  for _ in $(seq 600); do
    grep -q "^paused" "$scratch/stdout" && return
    sleep 0.1
  done
  kill "$pid"
  fail "the run was never held: $(cat "$scratch/stderr")"
}

# The held run let go; its exit code in rc.
release_held() {
  touch "$scratch/go"
  wait "$pid"
  rc=$?
}

# A run held while it writes the pictures, then stopped by a signal:
# interrupt_held NAME NUMBER FOLDER; it must exit with 128 + NUMBER.
interrupt_held() {
  start_held TWO_STOREY_HOUSE_PAUSE "$3"
  kill -"$1" "$pid"
  wait "$pid"
  rc=$?
  [ "$rc" = $((128 + $2)) ] || fail "exit $rc after SIG$1"
}

# Root acts as another user, nobody, where nobody can reach the program.
nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
can_be_nobody() { [ "$(id -u)" = 0 ] && "${nobody[@]}" test -x "$exe" && "${nobody[@]}" test -x "$scratch"; }

# acl FOLDER KIND [set [TAG:PERMISSIONS:ID...]]: FOLDER's access control
# list of KIND (access or default) as its bytes in hex, "none" without one;
# with set, first one that lets nobody in and others nothing, or one of the
# owner's rwx, the group's and others' r-x and the entries given (tags: 2
# a user, 8 a group, 16 the mask).
acl() {
  python3 - "$@" <<'PY'
import os, struct, sys
name = "system.posix_acl_" + sys.argv[2]
if len(sys.argv) > 4:
    given = [tuple(int(v) for v in e.split(":")) for e in sys.argv[4:]]
    entries = sorted([(1, 7, -1), (4, 5, -1), (0x20, 5, -1)] + given, key=lambda e: (e[0], e[2]))
    os.setxattr(sys.argv[1], name, struct.pack("<I", 2) + b"".join(struct.pack("<HHi", *e) for e in entries))
elif len(sys.argv) > 3:
    entries = [(1, 7, -1), (2, 7, 65534), (4, 5, -1), (0x10, 7, -1), (0x20, 0, -1)]
    os.setxattr(sys.argv[1], name, struct.pack("<I", 2) + b"".join(struct.pack("<HHi", *e) for e in entries))
try:
    print(os.getxattr(sys.argv[1], name).hex())
except OSError:
    print("none")
PY
}

# The one new folder beside FOLDER while a run is held.
new_folder() { find "$(dirname "$1")" -maxdepth 1 -name ".$(basename "$1").new-*"; }

# The listed files are exactly those in the folder.
whole_result() {
  (cd "$1" && find . -type f ! -name .two_storey_house-files | sed 's|^\./||' | sort) >"$scratch/found"
  grep -v '^#' "$1/.two_storey_house-files" | sort >"$scratch/listed"
  cmp -s "$scratch/found" "$scratch/listed" || fail "$1 does not hold exactly the files it lists"
}

# A previous good result to start from.
previous() {
  cp -a "$earlier" "$1" || fail "no earlier result in $earlier"
  [ -f "$1/.two_storey_house-files" ] || fail "the earlier result has no list of its files"
}

case $case_name in
relative_folder)
  # The folder is taken from where the user stands, and printed whole.
  mkdir -p "$scratch/elsewhere"
  rc=$(cd "$scratch/elsewhere" && run myout)
  [ "$rc" = 0 ] || fail "exit $rc: $(cat "$scratch/stderr")"
  [ -f "$scratch/elsewhere/myout/二階建て住宅　求積表.csv" ] || fail "no CSV in the caller's myout"
  grep -qx "The example's files are in $scratch/elsewhere/myout" "$scratch/stdout" || fail "the absolute folder is not printed"
  # The summary lists per pattern only the floors it calculates.
  grep -q "^    建築面積: 1階 66.24 合計 66.24$" "$scratch/stdout" || fail "建築面積 line: $(grep 建築面積: "$scratch/stdout")"
  grep -q "^    敷地面積: 1階 273.84 合計 273.84$" "$scratch/stdout" || fail "敷地面積 line"
  grep -q "^    延べ面積: 1階 66.24 2階 66.24 合計 132.48$" "$scratch/stdout" || fail "延べ面積 line"
  [ "$(ls "$scratch/elsewhere/myout/worksheets" | grep -c '\.svg$')" = 6 ] || fail "not six SVG pictures"
  [ "$(ls "$scratch/elsewhere/myout/worksheets" | grep -c '\.png$')" = 6 ] || fail "not six PNG pictures"
  # The list holds exactly the files written, and a second run replaces them.
  (cd "$scratch/elsewhere/myout" && find . -type f ! -name .two_storey_house-files | sed 's|^\./||' | sort) \
    >"$scratch/found"
  grep -v '^#' "$scratch/elsewhere/myout/.two_storey_house-files" | sort >"$scratch/listed"
  cmp -s "$scratch/found" "$scratch/listed" || fail "the marker does not list exactly the files written"
  rc=$(cd "$scratch/elsewhere" && run myout)
  [ "$rc" = 0 ] || fail "a second run into its own result failed ($rc): $(cat "$scratch/stderr")"
  no_leftovers "$scratch/elsewhere/myout"
  ;;
user_files)
  # A file of the user anywhere in the folder: refused, nothing touched.
  out=$scratch/out
  previous "$out"
  for file in worksheets/notes.txt keep.txt; do
    echo "mine" >"$out/$file"
    before=$(state "$out")
    rc=$(run "$out")
    [ "$rc" = 1 ] || fail "exit $rc with $file in the folder"
    grep -q "holds files this example did not write ($file)" "$scratch/stderr" || fail "message: $(cat "$scratch/stderr")"
    grep -q "nothing was changed" "$scratch/stderr" || fail "the message does not say the folder is untouched"
    [ "$before" = "$(state "$out")" ] || fail "the folder changed"
    rm "$out/$file"
  done
  # A list edited to name a file outside the folder claims nothing there.
  echo "../victim.txt" >>"$out/.two_storey_house-files"
  echo "theirs" >"$scratch/victim.txt"
  rc=$(run "$out")
  [ "$rc" = 0 ] || fail "exit $rc for a folder whose list names an outside file"
  [ "$(cat "$scratch/victim.txt")" = theirs ] || fail "a file outside the folder was touched"
  ! grep -q victim "$out/.two_storey_house-files" || fail "the new list still names the outside file"
  # A folder that holds the user's files but never held a result.
  mkdir -p "$scratch/theirs"
  echo "mine" >"$scratch/theirs/plan.txt"
  rc=$(run "$scratch/theirs")
  [ "$rc" = 1 ] || fail "exit $rc for a foreign folder"
  [ "$(ls -A "$scratch/theirs")" = plan.txt ] || fail "the foreign folder changed"
  no_leftovers "$out"
  ;;
interrupted)
  # A signal while the pictures are being written: the previous result
  # stays; a new folder, and the folders made above it, are gone.
  out=$scratch/out
  previous "$out"
  before=$(state "$out")
  interrupt_held INT 2 "$out"
  grep -q "interrupted by signal 2; the previous result in $out is left as it was" "$scratch/stderr" ||
    fail "message: $(cat "$scratch/stderr")"
  [ "$before" = "$(state "$out")" ] || fail "the previous result changed"
  no_leftovers "$out"
  # SIGQUIT is a stop as SIGTERM is, into a path whose parents are new.
  interrupt_held QUIT 3 "$scratch/new1/new2/out"
  grep -qx "example interrupted by signal 3; nothing was written to $scratch/new1/new2/out" "$scratch/stderr" ||
    fail "SIGQUIT message: $(cat "$scratch/stderr")"
  [ ! -e "$scratch/new1" ] || fail "the run left the folders it made: $(find "$scratch/new1")"
  # A reader that goes away is a failure of the run, said and cleaned up.
  "$exe" "$out" 2>"$scratch/stderr" | head -n 2 >/dev/null
  rc=${PIPESTATUS[0]}
  [ "$rc" = 1 ] || fail "exit $rc when standard output closed"
  grep -qx "example failed: cannot write to the standard output: Broken pipe; the previous result in $out is left as it was" \
    "$scratch/stderr" || fail "message for a closed standard output: $(cat "$scratch/stderr")"
  [ "$before" = "$(state "$out")" ] || fail "the previous result changed"
  no_leftovers "$out"
  # A signal while rsvg-convert draws: the drawing is stopped and waited for.
  mkdir -p "$scratch/bin"
  printf '#!/bin/sh\necho $$ >"%s"\nexec sleep 30\n' "$scratch/drawing" >"$scratch/bin/rsvg-convert"
  chmod +x "$scratch/bin/rsvg-convert"
  PATH=$scratch/bin:$PATH "${job[@]}" "$out" >"$scratch/stdout" 2>"$scratch/stderr" &
  pid=$!
  for _ in $(seq 600); do [ -s "$scratch/drawing" ] && break; sleep 0.1; done
  [ -s "$scratch/drawing" ] || { kill "$pid"; fail "rsvg-convert was never started"; }
  kill -TERM "$pid"
  wait "$pid"
  rc=$?
  child=$(cat "$scratch/drawing")
  if kill -0 "$child" 2>/dev/null; then
    kill "$child"
    fail "rsvg-convert outlived the run"
  fi
  [ "$rc" = 143 ] || fail "exit $rc after SIGTERM while drawing"
  [ "$before" = "$(state "$out")" ] || fail "the previous result changed"
  no_leftovers "$out"
  # A signal at the swap waits for it, and the run says the new result is
  # in place.
  inode=$(stat -c %i "$out")
  start_held TWO_STOREY_HOUSE_PAUSE_SWAP "$out"
  kill -INT "$pid"
  sleep 0.2
  release_held
  [ "$rc" = 130 ] || fail "exit $rc after SIGINT at the swap"
  grep -qx "example interrupted by signal 2; the new result is in place in $out" "$scratch/stderr" ||
    fail "message at the swap: $(cat "$scratch/stderr")"
  [ "$(stat -c %i "$out")" != "$inode" ] && [ "$before" = "$(state "$out")" ] || fail "the new result is not in place"
  no_leftovers "$out"
  # A signal the caller ignored (nohup, a script's background job) stays
  # ignored: the run goes on.
  for signal in INT HUP; do
    rm -f "$scratch/go" "$scratch/stdout"
    env --ignore-signal="$signal" TWO_STOREY_HOUSE_PAUSE="$scratch/go" "$exe" "$out" >"$scratch/stdout" 2>"$scratch/stderr" &
    pid=$!
    for _ in $(seq 600); do grep -q "^paused" "$scratch/stdout" && break; sleep 0.1; done
    kill -"$signal" "$pid"
    sleep 0.2
    release_held
    [ "$rc" = 0 ] && whole_result "$out" || fail "SIG$signal, which the caller ignored ($rc): $(cat "$scratch/stderr")"
  done
  ;;
outside_link)
  # A link and a list line planted in the folder while a run is held, and a
  # listed folder replaced by a link: nothing outside is touched, and the
  # run says what it left (the edited list among it).
  out=$scratch/out
  previous "$out"
  mkdir -p "$scratch/precious" "$scratch/decoys"
  echo "keep me" >"$scratch/precious/important.db"
  grep '^worksheets/' "$out/.two_storey_house-files" | while read -r file; do
    echo decoy >"$scratch/decoys/${file#worksheets/}"
  done
  decoys=$(state "$scratch/decoys")
  start_held TWO_STOREY_HOUSE_PAUSE "$out"
  ln -s "$scratch/precious" "$out/link"
  touch "$out/"$'added\nnote: forged'
  echo "link/important.db" >>"$out/.two_storey_house-files"
  mv "$out/worksheets" "$scratch/moved"
  ln -s "$scratch/decoys" "$out/worksheets"
  release_held
  [ "$rc" = 0 ] || fail "exit $rc: $(cat "$scratch/stderr")"
  [ "$(cat "$scratch/precious/important.db" 2>/dev/null)" = "keep me" ] || fail "a file outside the folder was deleted"
  [ "$decoys" = "$(state "$scratch/decoys")" ] || fail "a folder outside was changed through a planted link"
  kept=$(find "$scratch" -maxdepth 1 -name ".out.new-*")
  grep -qxF "note: $kept (the previous result, moved aside at the swap) was kept, with what the run left alone there: .two_storey_house-files (changed during the run), \$'added\\nnote: forged' (changed during the run), link (changed during the run) and 1 more" \
    "$scratch/stderr" || fail "the note: $(cat "$scratch/stderr")"
  [ -d "$out/worksheets" ] && [ ! -L "$out/worksheets" ] && [ ! -e "$out/link" ] || fail "the new result is not whole"
  ;;
permissions)
  # The folder keeps its mode, owner and group: a private folder of a group
  # stays private, a setgid folder keeps the bit and gives its group on.
  group=$(id -gn)
  if [ "$(id -u)" = 0 ]; then
    getent group users >/dev/null && group=users
  else
    for candidate in $(id -Gn); do [ "$candidate" = "$(id -gn)" ] || group=$candidate; done
  fi
  [ "$group" != "$(id -gn)" ] || skip "no second group to give the folder"
  for mode in 700 2770; do
    out=$scratch/out$mode
    previous "$out"
    chgrp "$group" "$out"
    chmod "$mode" "$out"
    owner=$(stat -c %U "$out")
    rc=$(run "$out")
    [ "$rc" = 0 ] || fail "exit $rc for mode $mode: $(cat "$scratch/stderr")"
    [ "$(stat -c '%a %U %G' "$out")" = "$mode $owner $group" ] ||
      fail "mode $mode $owner $group came back as $(stat -c '%a %U %G' "$out")"
    no_leftovers "$out"
  done
  [ "$(stat -c %G "$out/worksheets")" = "$group" ] || fail "the setgid folder did not give its group on"
  ;;
read_only)
  # A read-only folder holding a result: refused before anything is written.
  # As root every folder is writable, so the run is made as nobody.
  # Where nobody cannot reach the program, the folder is made immutable
  # instead, which binds root too.
  out=$scratch/out
  previous "$out"
  as=()
  lock=(chmod -R a-w "$out")
  unlock=(chmod -R u+w "$out")
  if [ "$(id -u)" = 0 ]; then
    if can_be_nobody; then
      chown -R 65534:65534 "$scratch"
      as=("${nobody[@]}")
    elif chattr +i "$out" 2>/dev/null && chattr -i "$out"; then
      lock=(chattr +i "$out")
      unlock=(chattr -i "$out")
    else
      skip "running as root, nobody cannot reach $exe and $out cannot be made immutable"
    fi
  fi
  "${lock[@]}"
  before=$(state "$out")
  "${as[@]}" "$exe" "$out" >"$scratch/stdout" 2>"$scratch/stderr"
  rc=$?
  after=$(state "$out")
  "${unlock[@]}"
  [ "$rc" = 1 ] || fail "exit $rc for a read-only folder"
  grep -q "is not writable" "$scratch/stderr" || fail "message: $(cat "$scratch/stderr")"
  [ "$before" = "$after" ] || fail "the read-only folder changed"
  no_leftovers "$out"
  ;;
arguments)
  # Options are not folder names.
  mkdir -p "$scratch/here"
  cd "$scratch/here" || fail "no scratch"
  rc=$(run --help)
  [ "$rc" = 0 ] || fail "--help exits $rc"
  grep -q "^usage: two_storey_house \[FOLDER\]" "$scratch/stdout" || fail "--help prints no usage"
  rc=$(run -x)
  [ "$rc" = 2 ] || fail "-x exits $rc"
  grep -q "^usage:" "$scratch/stderr" || fail "-x prints no usage on stderr"
  rc=$(run a b)
  [ "$rc" = 2 ] || fail "two folders exit $rc"
  [ -z "$(ls -A "$scratch/here")" ] || fail "an option made a folder: $(ls -A "$scratch/here")"
  ;;
read_only_as_root)
  # Root passes the permission checks, but a folder whose mode lets no one
  # write is refused all the same, once, and left as it was.
  [ "$(id -u)" = 0 ] || { echo "SKIP ($case_name): not running as root"; exit 77; }
  out=$scratch/out
  previous "$out"
  chmod 555 "$out"
  before=$(state "$out")
  rc=$(run "$out")
  [ "$rc" = 1 ] || fail "exit $rc for a folder of mode 555"
  grep -q "is not writable; nothing was changed$" "$scratch/stderr" || fail "message: $(cat "$scratch/stderr")"
  said_once "$scratch/stderr"
  [ "$before" = "$(state "$out")" ] || fail "the read-only folder changed"
  no_leftovers "$out"
  chmod 755 "$out"
  ;;
folder_names)
  # A name the stand-in host's paths cannot hold (not UTF-8, or longer than
  # the system allows with the run's own names added) is refused in the
  # command's words before anything is made; nothing is left behind.
  mkdir -p "$scratch/here/"$'p\xffq'
  cd "$scratch/here" || fail "no scratch"
  long_name=$(printf 'n%.0s' $(seq 250))
  long_path=$(for _ in $(seq 20); do printf 'd%.0s' $(seq 200); printf /; done)out
  for name in $'bad\xff\xfename' $'p\xffq/out' "$long_name" "${long_name}123456" "$long_name$long_name/out" "$long_path"; do
    rc=$(run "$name")
    [ "$rc" = 1 ] || fail "exit $rc for ${name:0:40}"
    grep -q "nothing was written" "$scratch/stderr" || fail "message for ${name:0:40}: $(cat "$scratch/stderr")"
    ! grep -q "filesystem error" "$scratch/stderr" || fail "a raw error for ${name:0:40}: $(cat "$scratch/stderr")"
    [ "$(find . | LC_ALL=C sort | tr '\n' ' ')" = "$(printf '. ./p\xffq ')" ] ||
      fail "${name:0:40} left $(find . -mindepth 1)"
  done
  rc=$(run $'bad\xff\xfename')
  grep -q "is not UTF-8" "$scratch/stderr" || fail "the name is not said to be not UTF-8: $(cat "$scratch/stderr")"
  # A folder above that is not UTF-8 is named, not the folder's own name.
  rc=$(run $'p\xffq/out')
  grep -q "in the name of a folder above it, \"p�q\"" "$scratch/stderr" && ! grep -q "folder name" "$scratch/stderr" ||
    fail "a parent not UTF-8 is put down to the name: $(cat "$scratch/stderr")"
  # A loop of links and a link to nothing are refused in the command's
  # words; the link's target is not made.
  ln -s loop loop
  ln -s "$scratch/nowhere" dangling
  for name in loop loop/out dangling dangling/out; do
    rc=$(run "$name")
    [ "$rc" = 1 ] || fail "exit $rc for $name"
    grep -q "symbolic link.*; nothing was written" "$scratch/stderr" || fail "message for $name: $(cat "$scratch/stderr")"
  done
  [ ! -e "$scratch/nowhere" ] || fail "the target of a link to nothing was made"
  rm loop dangling
  # "new/" is the folder new itself.
  rc=$(run new/)
  [ "$rc" = 0 ] || fail "exit $rc for new/: $(cat "$scratch/stderr")"
  grep -qx "The example's files are in $scratch/here/new" "$scratch/stdout" || fail "new/ is not the folder new"
  [ -f "$scratch/here/new/.two_storey_house-files" ] || fail "no result in new"
  no_leftovers "$scratch/here/new"
  ;;
messages)
  # Each refusal says what was wrong, and what was left, once.
  out=$scratch/out
  previous "$out"
  echo "mine" >"$out/keep.txt"
  rc=$(run "$out")
  [ "$rc" = 1 ] || fail "exit $rc with a file of the user"
  said_once "$scratch/stderr"
  grep -q "move those files away\.$" "$scratch/stderr" || fail "message: $(cat "$scratch/stderr")"
  rm "$out/keep.txt"
  if [ "$(id -u)" != 0 ]; then
    chmod 555 "$out"
    rc=$(run "$out")
    chmod 755 "$out"
    [ "$rc" = 1 ] || fail "exit $rc for a read-only folder"
    said_once "$scratch/stderr"
  fi
  # Arguments: what was wrong comes first, then the usage.
  mkdir -p "$scratch/here"
  cd "$scratch/here" || fail "no scratch"
  for wrong in "-x:unknown option -x" ":the folder name is empty"; do
    rc=$(run "${wrong%%:*}")
    [ "$rc" = 2 ] || fail "'${wrong%%:*}' exits $rc"
    [ "$(head -1 "$scratch/stderr")" = "two_storey_house: ${wrong#*:}" ] ||
      fail "'${wrong%%:*}' says: $(head -1 "$scratch/stderr")"
    sed -n 2p "$scratch/stderr" | grep -q "^usage: " || fail "'${wrong%%:*}' prints no usage after it"
  done
  rc=$(run a b)
  [ "$(head -1 "$scratch/stderr")" = "two_storey_house: one FOLDER at most" ] || fail "a b says: $(head -1 "$scratch/stderr")"
  [ -z "$(ls -A "$scratch/here")" ] || fail "a wrong argument made a folder"
  ;;
full_device)
  # A mount point is refused at once; a full device, of room or of files, is
  # named as such, and nothing is left of the run.
  [ "$(id -u)" = 0 ] || skip "mounting needs root"
  mnt=$scratch/mnt
  mkdir -p "$mnt"
  mount -t tmpfs -o size=1200k tmpfs "$mnt" 2>/dev/null || skip "cannot mount a tmpfs here"
  mounted=$mnt
  rc=$(run "$mnt")
  [ "$rc" = 1 ] || fail "exit $rc for a mount point"
  grep -qx "example failed: \"$mnt\" is a mount point, which the run cannot replace as a whole; nothing was changed. Choose a folder inside it." \
    "$scratch/stderr" || fail "message for a mount point: $(cat "$scratch/stderr")"
  # A reader that goes away is the cause, however little room is left.
  "$exe" "$mnt/piped" 2>"$scratch/stderr" | head -n 1 >/dev/null
  [ "$(tail -1 "$scratch/stderr")" = "example failed: cannot write to the standard output: Broken pipe; nothing was written to $mnt/piped" ] ||
    fail "a closed output on a nearly full device: $(cat "$scratch/stderr")"
  rc=$(run "$mnt/new/out")
  [ "$rc" = 1 ] || fail "exit $rc on a full device"
  [ "$(tail -1 "$scratch/stderr")" = "example failed: no space left on the device that holds $mnt/new; nothing was written to $mnt/new/out" ] ||
    fail "message on a full device: $(cat "$scratch/stderr")"
  [ -z "$(ls -A "$mnt")" ] || fail "a full device kept $(ls -A "$mnt")"
  umount "$mnt"
  mount -t tmpfs -o nr_inodes=20 tmpfs "$mnt" || fail "cannot mount again"
  previous "$mnt/old"
  before=$(state "$mnt/old")
  rc=$(run "$mnt/old")
  [ "$rc" = 1 ] || fail "exit $rc with no files left"
  [ "$(tail -1 "$scratch/stderr")" = "example failed: no space left on the device that holds $mnt; the previous result in $mnt/old is left as it was" ] ||
    fail "message with no files left: $(cat "$scratch/stderr")"
  [ "$before" = "$(state "$mnt/old")" ] || fail "the previous result changed"
  no_leftovers "$mnt/old"
  umount "$mnt"
  mounted=
  ;;
immutable_old_file)
  # A file of the previous result that cannot be removed is named with the
  # reason; the new result is in place all the same.
  out=$scratch/out
  previous "$out"
  csv="二階建て住宅　求積表.csv"
  chattr +i "$out/$csv" 2>/dev/null || skip "cannot make a file immutable here"
  rc=$(run "$out")
  kept=$(find "$scratch" -maxdepth 1 -name ".out.new-*")
  [ -z "$kept" ] || chattr -i "$kept/$csv"
  [ "$rc" = 0 ] || fail "exit $rc: $(cat "$scratch/stderr")"
  grep -qx "note: $kept (the previous result, moved aside at the swap) was kept, with what the run left alone there: $csv (cannot be removed: Operation not permitted)" \
    "$scratch/stderr" || fail "the note: $(cat "$scratch/stderr")"
  ;;
unsafe_place)
  # Refused at once, in one line, with nothing made: a place every user may
  # write in, a name the stand-in host would split at its backslash, and a
  # list that is no file (a named pipe would block the run, a link to
  # /dev/zero fill its memory). A sticky place of root's is fine.
  mkdir -p "$scratch/open" "$scratch/sticky" "$scratch/here"
  chmod 777 "$scratch/open"
  chmod 1777 "$scratch/sticky"
  rc=$(run "$scratch/open/out")
  [ "$rc" = 1 ] && grep -q "^example failed: \"$scratch/open\", which holds the folder, may be written by every user" \
    "$scratch/stderr" || fail "a place every user may write in ($rc): $(cat "$scratch/stderr")"
  [ -z "$(ls -A "$scratch/open")" ] || fail "the open place got $(ls -A "$scratch/open")"
  rc=$(cd "$scratch/here" && run 'a\b')
  [ "$rc" = 1 ] && grep -q "holds a backslash" "$scratch/stderr" || fail "a backslash ($rc): $(cat "$scratch/stderr")"
  [ -z "$(ls -A "$scratch/here")" ] || fail "a backslash made $(ls -A "$scratch/here")"
  out=$scratch/out
  previous "$out"
  list=$out/.two_storey_house-files
  for kind in "named pipe" "symbolic link" "big"; do
    rm -f "$list"
    case $kind in
      "named pipe") mkfifo "$list" ;;
      "symbolic link") ln -s /dev/zero "$list" ;;
      big) head -c 100000 /dev/zero | tr '\0' '#' >"$list" ;;
    esac
    "${job[@]}" "$out" >"$scratch/stdout" 2>"$scratch/stderr" &
    pid=$!
    for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && { kill -KILL "$pid"; fail "a list that is a $kind holds the run"; }
    wait "$pid"
    rc=$?
    [ "$kind" = big ] && kind="100000 bytes long" || kind="$kind instead of a file"
    [ "$rc" = 1 ] && [ "$(wc -l <"$scratch/stderr")" = 1 ] && grep -q "the list of the files a run wrote, is a\?n\? \?$kind" \
      "$scratch/stderr" || fail "a list that is $kind ($rc): $(cat "$scratch/stderr")"
  done
  no_leftovers "$out"
  rc=$(run "$scratch/sticky/out")
  [ "$rc" = 0 ] || fail "a sticky place of root's is refused ($rc): $(cat "$scratch/stderr")"
  ;;
foreign_place)
  # Another user's place is refused; root's run into another user's folder
  # keeps the new folder root's and private until it is complete, so that
  # user cannot plant a link in it, and gives the folder back to its owner.
  [ "$(id -u)" = 0 ] || skip "needs root to give folders to another user"
  mkdir -p "$scratch/theirs" "$scratch/rootonly"
  chown 65534 "$scratch/theirs"
  for mode in 755 1777; do
    chmod "$mode" "$scratch/theirs"
    rc=$(run "$scratch/theirs/out")
    [ "$rc" = 1 ] && grep -q "\"$scratch/theirs\", which holds the folder, belongs to $(id -nu 65534), who could" \
      "$scratch/stderr" || fail "another user's place, mode $mode ($rc): $(cat "$scratch/stderr")"
    [ -z "$(ls -A "$scratch/theirs")" ] || fail "another user's place got $(ls -A "$scratch/theirs")"
  done
  echo "root's" >"$scratch/rootonly/keep"
  chmod 700 "$scratch/rootonly"
  out=$scratch/out
  previous "$out"
  chown -R 65534:65534 "$out"
  chmod 2750 "$out"
  start_held TWO_STOREY_HOUSE_PAUSE "$out"
  new=$(new_folder "$out")
  [ "$(stat -c '%U %a' "$new")" = "root 2700" ] || fail "the new folder is $(stat -c '%U %a' "$new") while it is written"
  "${nobody[@]}" bash -c "mv '$new/worksheets' '$new/w' && ln -s '$scratch/rootonly' '$new/worksheets'" 2>/dev/null &&
    fail "another user changed the new folder"
  release_held
  [ "$rc" = 0 ] || fail "exit $rc: $(cat "$scratch/stderr")"
  [ "$(stat -c '%u %g %a' "$out")" = "65534 65534 2750" ] || fail "the folder came back as $(stat -c '%U %G %a' "$out")"
  [ "$(ls -A "$scratch/rootonly")" = keep ] && [ "$(cat "$scratch/rootonly/keep")" = "root's" ] ||
    fail "root's folder was changed"
  # A user's run into root's folder open to all: it cannot keep the owner,
  # and says so.
  can_be_nobody || skip "nobody cannot reach $exe (the rest passed)"
  mkdir -p "$scratch/mine"
  chown 65534 "$scratch/mine"
  previous "$scratch/mine/out"
  chmod -R a+rwX "$scratch/mine/out"
  "${nobody[@]}" "$exe" "$scratch/mine/out" >"$scratch/stdout" 2>"$scratch/stderr"
  rc=$?
  [ "$rc" = 0 ] || fail "nobody's run exits $rc: $(cat "$scratch/stderr")"
  grep -qx "note: \"$scratch/mine/out\" could not keep its owner root and is now $(id -nu 65534)'s: Operation not permitted" \
    "$scratch/stderr" || fail "the owner lost is not said: $(cat "$scratch/stderr")"
  ;;
unreadable)
  # What the run may not read is named with the reason, before anything is
  # made: the list, and a folder of mode 300 (as another user: root reads
  # all).
  can_be_nobody || skip "needs root and a program nobody can reach, to run as another user"
  out=$scratch/out
  previous "$out"
  chown -R 65534:65534 "$scratch"
  chmod 000 "$out/.two_storey_house-files"
  "${nobody[@]}" "$exe" "$out" >"$scratch/stdout" 2>"$scratch/stderr"
  [ $? = 1 ] && grep -qx "example failed: cannot read \"$out/.two_storey_house-files\", the list of the files a run wrote: Permission denied; nothing was changed" \
    "$scratch/stderr" || fail "an unreadable list: $(cat "$scratch/stderr")"
  chmod 644 "$out/.two_storey_house-files"
  for folder in "$out/worksheets" "$out"; do
    chmod 300 "$folder"
    "${nobody[@]}" "$exe" "$out" >"$scratch/stdout" 2>"$scratch/stderr"
    [ $? = 1 ] && grep -qx "example failed: cannot read the folder \"$folder\": Permission denied; nothing was changed" \
      "$scratch/stderr" || fail "a folder of mode 300: $(cat "$scratch/stderr")"
    chmod 755 "$folder"
  done
  no_leftovers "$out"
  ;;
descriptors)
  # The run works in the folders it opened. Its new folder replaced by a
  # link to another folder: nothing there is touched, and the previous
  # result stays. The folder holding FOLDER moved and replaced by a link:
  # the run completes where it started, and says so.
  mkdir -p "$scratch/p" "$scratch/victim/scratch" "$scratch/victim/worksheets" "$scratch/elsewhere"
  echo "keep me" >"$scratch/victim/scratch/important.db"
  echo mine >"$scratch/victim/worksheets/床面積 2階.svg"
  chmod 750 "$scratch/victim"
  victim=$(state "$scratch/victim")
  out=$scratch/p/out
  previous "$out"
  before=$(state "$out")
  start_held TWO_STOREY_HOUSE_PAUSE "$out"
  new=$(new_folder "$out")
  mv "$new" "$scratch/moved"
  ln -s "$scratch/victim" "$new"
  release_held
  [ "$rc" = 1 ] && grep -q "was moved or replaced during the run, so the new result was not put in place" "$scratch/stderr" ||
    fail "a new folder replaced by a link ($rc): $(cat "$scratch/stderr")"
  [ "$victim" = "$(state "$scratch/victim")" ] && [ "$(stat -c %a "$scratch/victim")" = 750 ] ||
    fail "the folder the link points to was changed"
  [ ! -L "$out" ] && [ "$before" = "$(state "$out")" ] || fail "the previous result changed"
  rm -rf "$new" "$scratch/moved"
  start_held TWO_STOREY_HOUSE_PAUSE "$out"
  mv "$scratch/p" "$scratch/p.moved"
  ln -s "$scratch/elsewhere" "$scratch/p"
  release_held
  [ "$rc" = 0 ] || fail "exit $rc after the folder above moved: $(cat "$scratch/stderr")"
  [ -z "$(ls -A "$scratch/elsewhere")" ] || fail "the run wrote where the link points: $(ls -A "$scratch/elsewhere")"
  whole_result "$scratch/p.moved/out"
  grep -q "^note: the folder \"$scratch/p\" was moved or replaced during the run" "$scratch/stderr" ||
    fail "the move is not said: $(cat "$scratch/stderr")"
  ;;
two_runs)
  # A second run into the same folder waits for the first, says so, and
  # both end with a whole result and nothing beside it. A run into a folder
  # beside it waits too, naming the folder the other run writes, and a
  # signal ends its wait.
  out=$scratch/out
  previous "$out"
  start_held TWO_STOREY_HOUSE_PAUSE "$out"
  first=$pid
  "${job[@]}" "$out" >"$scratch/stdout2" 2>"$scratch/stderr2" &
  second=$!
  for _ in $(seq 600); do grep -q "waiting" "$scratch/stderr2" && break; sleep 0.1; done
  grep -qx "waiting for another run into $out to end" "$scratch/stderr2" || fail "the second run: $(cat "$scratch/stderr2")"
  touch "$scratch/go"
  wait "$first" || fail "the first run failed: $(cat "$scratch/stderr")"
  wait "$second" || fail "the second run failed: $(cat "$scratch/stderr2")"
  [ "$(grep -vc '^waiting' "$scratch/stderr" "$scratch/stderr2" | cut -d: -f2 | tr '\n' ' ')" = "0 0 " ] ||
    fail "notes: $(cat "$scratch/stderr" "$scratch/stderr2")"
  whole_result "$out"
  no_leftovers "$out"
  start_held TWO_STOREY_HOUSE_PAUSE "$out"
  rm -f "$scratch/stderr2"
  "${job[@]}" "$scratch/beside" >"$scratch/stdout2" 2>"$scratch/stderr2" &
  second=$!
  for _ in $(seq 600); do grep -q "waiting" "$scratch/stderr2" && break; sleep 0.1; done
  kill -TERM "$second"
  wait "$second"
  waited=$?
  release_held
  [ "$waited" = 143 ] && [ "$(cat "$scratch/stderr2")" = "waiting for another run into $out to end"$'\n'"example interrupted by signal 15; nothing was written to $scratch/beside" ] ||
    fail "a run beside it ($waited): $(cat "$scratch/stderr2")"
  [ "$rc" = 0 ] || fail "the run waited for ($rc): $(cat "$scratch/stderr")"
  ;;
planted_link)
  # The folders on the way are reached one name at a time from the root,
  # never through a link: a file above is named as what it is, and a run
  # that waited starts over from the folders it had reached, so that a link
  # put in place of one above while it waited leads nowhere. The result
  # goes where the run started, which it says.
  mkdir -p "$scratch/p" "$scratch/other/b"
  touch "$scratch/p/file"
  rc=$(run "$scratch/p/file/x/out")
  [ "$rc" = 1 ] && [ "$(cat "$scratch/stderr")" = "example failed: cannot open the folder \"$scratch/p/file\" to make \"$scratch/p/file/x/out\" in: it is not a folder; nothing was written" ] ||
    fail "a file above ($rc): $(cat "$scratch/stderr")"
  start_held TWO_STOREY_HOUSE_PAUSE "$scratch/p/a/b/out"
  "${job[@]}" "$scratch/p/a/b/o2" >"$scratch/stdout2" 2>"$scratch/stderr2" &
  second=$!
  for _ in $(seq 600); do grep -q "waiting" "$scratch/stderr2" && break; sleep 0.1; done
  mv "$scratch/p/a" "$scratch/p/a.moved"
  ln -s "$scratch/other" "$scratch/p/a"
  kill -INT "$pid"
  wait "$pid"
  wait "$second" || fail "the run that waited: $(cat "$scratch/stderr2")"
  [ -z "$(ls -A "$scratch/other/b")" ] || fail "the run that waited wrote through the link: $(ls -A "$scratch/other/b")"
  whole_result "$scratch/p/a.moved/b/o2"
  grep -q "^note: the folder \"$scratch/p/a/b\" was moved or replaced during the run" "$scratch/stderr2" ||
    fail "the move is not said: $(cat "$scratch/stderr2")"
  ;;
leftovers)
  # A killed run's new folder is removed by the next run, which says so; a
  # folder beside FOLDER that holds a result is named and kept. Pictures
  # the user removed leave no empty folder behind.
  out=$scratch/out
  previous "$out"
  start_held TWO_STOREY_HOUSE_PAUSE_SWAP "$out"
  kill -KILL "$pid"
  { wait "$pid"; } 2>/dev/null
  killed=$(new_folder "$out")
  [ -d "$killed" ] || fail "the killed run left nothing to start from"
  mkdir "$scratch/.out.new-1"
  echo "kept" >"$scratch/.out.new-1/.two_storey_house-files"
  rm "$out"/worksheets/*
  rc=$(run "$out")
  [ "$rc" = 0 ] || fail "exit $rc: $(cat "$scratch/stderr")"
  grep -qx "note: removed \"$killed\", the unfinished new folder of an earlier run that did not end" "$scratch/stderr" &&
    grep -qx "note: \"$scratch/.out.new-1\", left beside the folder by an earlier run that did not end, holds a result; it was left as it is" \
      "$scratch/stderr" && [ "$(grep -c . "$scratch/stderr")" = 2 ] || fail "notes: $(cat "$scratch/stderr")"
  [ "$(new_folder "$out")" = "$scratch/.out.new-1" ] || fail "beside the folder: $(new_folder "$out")"
  whole_result "$out"
  ;;
reused_pid)
  # A run whose process id is that of a killed run's kept folder (a new
  # process-id namespace starts at 1, as containers do) is not refused.
  [ "$(id -u)" = 0 ] || skip "needs root for a process-id namespace"
  unshare --pid --fork true 2>/dev/null || skip "cannot make a process-id namespace here"
  out=$scratch/out
  previous "$out"
  for n in 1 2 3; do
    mkdir "$scratch/.out.new-$n"
    echo "kept" >"$scratch/.out.new-$n/.two_storey_house-files"
  done
  unshare --pid --fork "$exe" "$out" >"$scratch/stdout" 2>"$scratch/stderr"
  rc=$?
  [ "$rc" = 0 ] || fail "exit $rc: $(cat "$scratch/stderr")"
  [ "$(new_folder "$out" | wc -l)" = 3 ] || fail "beside the folder: $(new_folder "$out")"
  ;;
owner_acl)
  # The folder keeps its access control list, and a chmod made during the
  # run is kept, not undone.
  command -v python3 >/dev/null || skip "python3 is needed to set an access control list"
  out=$scratch/out
  previous "$out"
  chmod 770 "$out"
  acl "$out" access set >/dev/null 2>&1 || skip "this file system keeps no access control lists"
  start_held TWO_STOREY_HOUSE_PAUSE "$out"
  chmod 750 "$out"
  expected=$(acl "$out" access)
  release_held
  [ "$rc" = 0 ] || fail "exit $rc: $(cat "$scratch/stderr")"
  [ "$(stat -c %a "$out")" = 750 ] || fail "the mode set during the run came back as $(stat -c %a "$out")"
  [ "$(acl "$out" access 2>/dev/null)" = "$expected" ] || fail "the access control list was lost"
  ;;
others_leftovers)
  # A run removes only what a run of its own runner made: a new folder of
  # another user's beside FOLDER (FOLDER's owner's included) is named and
  # kept whatever it holds, and in the runner's own one what another user
  # owns is neither entered nor removed.
  can_be_nobody || skip "needs root and a program nobody can reach, to act as another user"
  mkdir -p "$scratch/p"
  chmod 1777 "$scratch/p"
  out=$scratch/p/out
  previous "$out"
  chown -R 65534:65534 "$out"
  theirs=$scratch/p/.out.new-5
  "${nobody[@]}" mkdir -p "$theirs/scratch" "$theirs/work"
  "${nobody[@]}" sh -c "echo data >'$theirs/work/file'"
  mine=$scratch/p/.out.new-6
  mkdir -p "$mine/scratch/c/kept"
  echo data >"$mine/scratch/c/kept/file"
  chown -R 65534:65534 "$mine/scratch/c/kept"
  echo own >"$mine/scratch/c/own"
  rc=$(run "$out")
  [ "$rc" = 0 ] || fail "exit $rc: $(cat "$scratch/stderr")"
  [ -f "$theirs/work/file" ] || fail "another user's new folder was emptied"
  grep -qx "note: \"$theirs\" beside the folder belongs to nobody; it was left as it is" "$scratch/stderr" ||
    fail "another user's new folder is not named: $(cat "$scratch/stderr")"
  [ -f "$mine/scratch/c/kept/file" ] || fail "another user's folder inside the runner's was emptied"
  [ ! -e "$mine/scratch/c/own" ] || fail "the runner's own file in its leftover was kept"
  grep -q "^note: $mine (the unfinished new folder of an earlier run that did not end) was kept, with what the run left alone there: scratch/c/kept (belongs to nobody)$" \
    "$scratch/stderr" || fail "what was left in the runner's leftover is not named: $(cat "$scratch/stderr")"
  whole_result "$out"
  # FOLDER's owner lists a file in a third user's folder that FOLDER's
  # owner moved in: the previous result is cleared of what is the runner's
  # or its owner's alone.
  mkdir -p "$out/worksheets/third"
  echo data >"$out/worksheets/third/file"
  echo "worksheets/third/file" >>"$out/.two_storey_house-files"
  chown -R 65534:65534 "$out"
  chown -R 54322:54322 "$out/worksheets/third"
  rc=$(run "$out")
  [ "$rc" = 0 ] || fail "exit $rc: $(cat "$scratch/stderr")"
  # The path whole, whatever it holds (spaces included).
  aside=$(grep -F " (the previous result, moved aside at the swap) was kept" "$scratch/stderr")
  aside=${aside#note: }
  aside=${aside%% (the previous result, moved aside at the swap) was kept*}
  [[ $aside =~ ^"$scratch/p/.out.new-"[0-9]+$ ]] || fail "no note names the previous result: $(cat "$scratch/stderr")"
  [ -f "$aside/worksheets/third/file" ] || fail "a third user's listed file was removed"
  third=$(getent passwd 54322 | cut -d: -f1)
  grep -q "was kept, with what the run left alone there: worksheets/third (belongs to ${third:-user 54322})$" "$scratch/stderr" ||
    fail "the third user's folder is not named: $(cat "$scratch/stderr")"
  ;;
run_lock)
  # The lock that keeps runs into one place apart is a file of the
  # runner's: a lock on the place itself holds no run up, one a killed run
  # left is taken on, and none is left behind, whether the run succeeds or
  # is refused.
  mkdir -p "$scratch/p"
  out=$scratch/p/out
  lock=$scratch/p/.two_storey_house.lock
  (exec 7<"$scratch/p" && flock 7 && exec sleep 30) >/dev/null 2>&1 &
  holder=$!
  for _ in $(seq 1200); do flock -n "$scratch/p" true || break; sleep 0.05; done
  flock -n "$scratch/p" true && fail "the lock on the place was never taken"
  rc=$(timeout 600 "$exe" "$out" 2>"$scratch/stderr" >/dev/null; echo $?)
  kill "$holder"
  [ "$rc" = 0 ] || fail "a lock on the place held the run up or failed it ($rc): $(cat "$scratch/stderr")"
  grep -q "^waiting" "$scratch/stderr" && fail "the run waited for a lock on the place: $(cat "$scratch/stderr")"
  [ ! -e "$lock" ] || fail "the lock file was left after a run"
  : >"$lock" && chmod 600 "$lock"  # whatever a default access control list gives
  rc=$(run "$out")
  [ "$rc" = 0 ] && [ ! -s "$scratch/stderr" ] || fail "a killed run's lock file ($rc): $(cat "$scratch/stderr")"
  [ ! -e "$lock" ] || fail "a killed run's lock file was left"
  mkdir "$out/other"
  rc=$(run "$out")
  [ "$rc" = 1 ] && [ ! -e "$lock" ] || fail "a refused run ($rc) left the lock file: $(ls -A "$scratch/p")"
  rmdir "$out/other"
  # Another user's file of that name, or one others may open: waited for a
  # stated time, then refused with nothing written.
  can_be_nobody || skip "needs root and a program nobody can reach, to act as another user (the rest passed)"
  # Where the runner may not write, no lock file is made, and the place is
  # refused for what it is.
  "${nobody[@]}" "$exe" "$scratch/p/theirs" >"$scratch/stdout" 2>"$scratch/stderr"
  [ "$(cat "$scratch/stderr")" = "example failed: cannot make \"$scratch/p/theirs\": \"$scratch/p\" is not a writable folder; nothing was written" ] ||
    fail "a place the runner may not write in: $(cat "$scratch/stderr")"
  chmod 1777 "$scratch/p"
  "${nobody[@]}" sh -c ": >'$lock' && chmod 600 '$lock'"
  "${job[@]}" "$scratch/p/new" >"$scratch/stdout" 2>"$scratch/stderr" &
  pid=$!
  for _ in $(seq 600); do grep -q "^waiting" "$scratch/stderr" && break; sleep 0.1; done
  grep -qx "waiting for \"$lock\" to go (at most 20 s): it belongs to nobody, not to a run of yours, and runs into that folder keep their lock there" \
    "$scratch/stderr" || fail "the wait for another user's lock file: $(cat "$scratch/stderr")"
  rm "$lock"
  wait "$pid" || fail "the run did not go on once the file was gone: $(cat "$scratch/stderr")"
  "${nobody[@]}" sh -c ": >'$lock' && chmod 600 '$lock'"
  start=$SECONDS
  rc=$(run "$scratch/p/refused")
  [ "$rc" = 1 ] && [ $((SECONDS - start)) -le 40 ] || fail "another user's lock file that stays ($rc after $((SECONDS - start)) s)"
  [ "$(tail -1 "$scratch/stderr")" = "example failed: \"$lock\" is still there after 20 s: it belongs to nobody, not to a run of yours, and runs into that folder keep their lock there; nothing was written. Run again once it is gone, or have it removed." ] ||
    fail "another user's lock file that stays: $(cat "$scratch/stderr")"
  [ ! -e "$scratch/p/refused" ] && [ -f "$lock" ] || fail "a refused run changed $(ls -A "$scratch/p")"
  ;;
deep_list)
  # A list naming a file far deeper than a run writes, with the folders
  # there, is refused in one line: the check walks no deeper than a run
  # writes, whatever the list names (30,000 folders down crashed it).
  command -v python3 >/dev/null || skip "python3 is needed to make 30,000 folders quickly"
  out=$scratch/out
  previous "$out"
  python3 - "$out" <<'PY'
import os, sys
os.chdir(sys.argv[1])
with open(".two_storey_house-files", "a") as f:
    f.write("a/" * 30000 + "f\n")
for _ in range(30000):
    os.mkdir("a")
    os.chdir("a")
open("f", "w").write("x")
PY
  rc=$(run "$out")
  [ "$rc" = 1 ] && [ "$(wc -l <"$scratch/stderr")" = 1 ] &&
    grep -qx "example failed: \"$out\" holds files this example did not write (a); nothing was changed. Choose a new or empty folder, or move those files away." \
      "$scratch/stderr" || fail "a list 30,000 folders deep ($rc): $(head -c 600 "$scratch/stderr")"
  [ -d "$out/a/a/a/a/a/a/a/a" ] || fail "the deep folders are gone"
  ;;
output_full)
  # A standard output on a full device is named as the cause, not the
  # folder's device, which has room.
  [ -w /dev/full ] || skip "no /dev/full"
  out=$scratch/out
  previous "$out"
  before=$(state "$out")
  "$exe" "$out" >/dev/full 2>"$scratch/stderr"
  rc=$?
  [ "$rc" = 1 ] && [ "$(tail -1 "$scratch/stderr")" = "example failed: cannot write to the standard output: No space left on device; the previous result in $out is left as it was" ] ||
    fail "a full standard output ($rc): $(cat "$scratch/stderr")"
  [ "$before" = "$(state "$out")" ] || fail "the previous result changed"
  no_leftovers "$out"
  ;;
new_folder_acl)
  # A new folder under a default access control list gets what mkdir gives
  # it there: the list, and the mode it implies without the umask.
  command -v python3 >/dev/null || skip "python3 is needed to set an access control list"
  mkdir -p "$scratch/p"
  acl "$scratch/p" default set >/dev/null 2>&1 || skip "this file system keeps no access control lists"
  mkdir "$scratch/p/bymkdir"
  rc=$( (umask 022 && run "$scratch/p/out") )
  [ "$rc" = 0 ] || fail "exit $rc: $(cat "$scratch/stderr")"
  [ "$(stat -c %a "$scratch/p/out")" = "$(stat -c %a "$scratch/p/bymkdir")" ] && [ "$(stat -c %a "$scratch/p/out")" = 770 ] ||
    fail "mode $(stat -c %a "$scratch/p/out"), where mkdir gives $(stat -c %a "$scratch/p/bymkdir")"
  for kind in access default; do
    [ "$(acl "$scratch/p/out" $kind)" = "$(acl "$scratch/p/bymkdir" $kind)" ] ||
      fail "the $kind list $(acl "$scratch/p/out" $kind), where mkdir gives $(acl "$scratch/p/bymkdir" $kind)"
  done
  ;;
waited_for)
  # A run that waited for another takes up the work as if it had started
  # alone: the folders the other made on the way, and removed when it was
  # interrupted, are made again (beside FOLDER or for FOLDER itself).
  for second in out2 out; do
    rm -rf "$scratch/j"
    start_held TWO_STOREY_HOUSE_PAUSE "$scratch/j/a/b/out"
    "${job[@]}" "$scratch/j/a/b/$second" >"$scratch/stdout2" 2>"$scratch/stderr2" &
    for _ in $(seq 600); do grep -q "^waiting" "$scratch/stderr2" && break; sleep 0.1; done
    kill -INT "$pid"
    wait "$pid"
    [ $? = 130 ] && grep -q "^waiting" "$scratch/stderr2" || fail "into a/b/$second: $(cat "$scratch/stderr"*)"
    wait $! || fail "the waiting run into a/b/$second: $(cat "$scratch/stderr2")"
    whole_result "$scratch/j/a/b/$second"
    [ "$(ls -A "$scratch/j/a/b")" = "$second" ] || fail "into a/b/$second, left: $(ls -A "$scratch/j/a/b")"
  done
  ;;
acl_place)
  # A place whose access control list lets another user, or a group with
  # others in it, write is refused, before anything is made, as one its
  # mode lets them write; an entry whose write the mask takes lets no one.
  command -v python3 >/dev/null && [ "$(id -u)" != 65534 ] || skip "needs python3, and a runner other than nobody"
  for row in "2:7:65534 16:7:-1|by $(id -nu 65534) (its access control list lets them), who" \
             "8:7:65534 16:7:-1|by the group $(getent group 65534 | cut -d: -f1) (its access control list lets it), whose members" \
             "2:7:65534 16:5:-1|"; do
    rm -rf "$scratch/p"
    mkdir -m 755 "$scratch/p"
    # shellcheck disable=SC2086  # one entry a word
    acl "$scratch/p" access set ${row%%|*} >/dev/null 2>&1 || skip "this file system keeps no access control lists"
    rc=$(run "$scratch/p/out")
    [ -n "${row#*|}" ] || { [ "$rc" = 0 ] || fail "a mask without write: exit $rc: $(cat "$scratch/stderr")"; continue; }
    [ "$rc" = 1 ] && [ -z "$(ls -A "$scratch/p")" ] && [ "$(cat "$scratch/stderr")" = "example failed: \"$scratch/p\", which holds the folder, may be written ${row#*|} could put their own files in place of the run's while it works; nothing was written. Choose a folder in a place that only you (or root) may change." ] ||
      fail "${row%%|*} ($rc): $(cat "$scratch/stderr") $(ls -A "$scratch/p")"
  done
  ;;
read_only_device)
  # A read-only device is named as the cause, for a folder there or a new
  # one, whether a killed run left its lock file there or not.
  [ "$(id -u)" = 0 ] || skip "mounting needs root"
  mkdir -p "$scratch/mnt"
  mount -t tmpfs -o size=8m,mode=755 tmpfs "$scratch/mnt" 2>/dev/null || skip "cannot mount a tmpfs here"
  mounted=$scratch/mnt
  previous "$scratch/mnt/out"
  for row in "out|\"$scratch/mnt/out\" is on a read-only device; nothing was changed" \
             "new|cannot make \"$scratch/mnt/new\": \"$scratch/mnt\" is on a read-only device; nothing was written"; do
    for lock in none stale; do
      mount -o remount,rw "$scratch/mnt" && rm -f "$scratch/mnt/.two_storey_house.lock"
      [ $lock = none ] || (umask 077 && : >"$scratch/mnt/.two_storey_house.lock")
      mount -o remount,ro "$scratch/mnt"
      rc=$(run "$scratch/mnt/${row%%|*}")
      [ "$rc" = 1 ] && [ "$(cat "$scratch/stderr")" = "example failed: ${row#*|}" ] ||
        fail "${row%%|*}, lock file $lock ($rc): $(cat "$scratch/stderr")"
    done
  done
  umount "$scratch/mnt" && mounted=
  ;;
made_on_the_way)
  # A folder on the way that appears between the run's checks and its
  # mkdir is taken only as any place the run writes in would be: another
  # user's is refused and left as it is, the runner's own is used.
  can_be_nobody || skip "needs root and a program nobody can reach, to act as another user"
  mkdir -m 1777 "$scratch/s"
  for who in root nobody; do
    start_held TWO_STOREY_HOUSE_PAUSE_MAKE "$scratch/s/x/y/out"
    if [ $who = nobody ]; then "${nobody[@]}" mkdir "$scratch/s/x"; else mkdir "$scratch/s/x"; fi
    release_held
    [ $who = nobody ] || { [ "$rc" = 0 ] && whole_result "$scratch/s/x/y/out" && rm -rf "$scratch/s/x" && continue; }
    [ "$rc" = 1 ] && [ "$(tail -1 "$scratch/stderr")" = "example failed: \"$scratch/s/x\", which holds the folder, belongs to $(id -nu 65534), who could put their own files in place of the run's while it works; nothing was written. Choose a folder in a place that only you (or root) may change." ] ||
      fail "a folder on the way made by $who ($rc): $(cat "$scratch/stderr")"
    [ "$(stat -c %u "$scratch/s/x")" = 65534 ] && [ -z "$(ls -A "$scratch/s/x")" ] && [ "$(ls -A "$scratch/s")" = x ] ||
      fail "another user's folder on the way was changed: $(ls -AR "$scratch/s")"
  done
  ;;
*)
  fail "no such case"
  ;;
esac
rm -rf "$scratch"
echo "ok ($case_name)"
