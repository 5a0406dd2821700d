#!/usr/bin/env bash
# scripts/example as a user runs it, one case per call:
#   script_test.sh SCRIPT EXECUTABLE CASE SCRATCH_FOLDER EARLIER_RESULT
# The script runs from a copy of the repository's scripts, in a checkout
# whose path holds spaces and Japanese, in which the package check and the
# build are stand-ins: they record that they ran, can be held (to be
# interrupted) and "build" the example program of this test build. Exit
# 77: the case cannot run here. Folders are compared as the program names
# them, links resolved, so the scratch folder may be reached through one.
set -uo pipefail

script=$1
exe=$2
case_name=$3
scratch=$4
earlier=$5

fail() { echo "FAIL ($case_name): $*" >&2; exit 1; }
skip() { echo "SKIP ($case_name): $*"; exit 77; }

state() { (cd "$1" && find . -printf '%p %m\n' | sort && find . -type f -exec sha256sum {} + | sort); }

rm -rf "$scratch"
mkdir -p "$scratch"
scratch=$(realpath -- "$scratch")
repo="$scratch/re po/作業"
mkdir -p "$repo/scripts" "$scratch/bin" "$scratch/here"
cp "$script" "$(dirname "$script")/run-lock" "$repo/scripts/"
export STUB_LOG=$scratch/steps STUB_PID=$scratch/held-pid EXAMPLE_EXE=$exe STUB_HOLD= STUB_GO= XDG_CACHE_HOME=$scratch/cache
export SCCACHE_DIR=$scratch/sccache SCCACHE_SERVER_PORT=$((4300 + $$ % 1000))

# A held step records its process and sleeps until it is stopped (or
# half a minute has passed).
cat >"$repo/scripts/install-packages" <<'EOF'
echo packages >>"$STUB_LOG"
if [ "$STUB_HOLD" = packages ]; then bash -c 'echo $$ >"$STUB_PID"; exec sleep 30'; fi
EOF
# (STUB_SPAN records when builds start and end, to show them one at a time;
# STUB_GO, when set, is the file whose making ends a held build; STUB_LINGER
# where the build writes the process it leaves running.)
cat >"$scratch/bin/cmake" <<'EOF'
#!/usr/bin/env bash
for arg; do [[ $arg != *\;* ]] || { echo "stub: CMake cannot take $arg" >&2; exit 1; }; done
if [ "$1" = -S ]; then  # as CMake, which remembers the checkout's path it was given
  # (Run in another spelling of that folder, it would write the paths in it so.)
  [ -z "${STUB_SOURCES:-}" ] || echo "$2${PWD:+ run in $PWD}" >>"$STUB_SOURCES"
  { mkdir -p "$4" && printf 'CMAKE_HOME_DIRECTORY:INTERNAL=%s\n' "$2" >"$4/CMakeCache.txt"; } 2>/dev/null
fi
if [ "$1" = --build ]; then
  echo build >>"$STUB_LOG"
  [ -z "${STUB_SPAN:-}" ] || { echo start >>"$STUB_SPAN"; sleep 2; echo end >>"$STUB_SPAN"; }
  if [ -n "${STUB_FAIL:-}" ]; then echo "stub: the compiler failed" >&2; exit 1; fi
  if [ -n "${STUB_CHATTY:-}" ]; then  # as a build's progress lines, failing once no one reads them
    for i in $(seq 200); do echo "[$i/200] compiling" || exit 1; done
  fi
  mkdir -p "$2/examples/two_storey_house"
  ln -sf "$EXAMPLE_EXE" "$2/examples/two_storey_house/two_storey_house"
  if [ -n "${STUB_LINGER:-}" ]; then
    if command -v sccache >/dev/null; then sccache --start-server >/dev/null 2>&1; else sleep 60 >/dev/null 2>&1 & fi
    echo $! >"$STUB_LINGER"
  fi
  if [ "$STUB_HOLD" = build ]; then
    echo $$ >"$STUB_PID"
    [ -n "$STUB_GO" ] || exec sleep 30
    # As ninja, which takes SIGINT even when it was ignored or held.
    exec python3 -c 'import os, signal, sys, time
signal.signal(signal.SIGINT, lambda *_: sys.exit("ninja: build stopped: interrupted by user."))
signal.pthread_sigmask(signal.SIG_UNBLOCK, [signal.SIGINT])
for _ in range(300):
    if os.path.exists(sys.argv[1]):
        sys.exit(0)
    time.sleep(0.1)' "$STUB_GO"
  fi
fi
EOF
chmod +x "$scratch/bin/cmake"
export PATH=$scratch/bin:$PATH

# What a build left running.
stop_lingering() {
  ! command -v sccache >/dev/null || sccache --stop-server >/dev/null 2>&1
  [ ! -s "$scratch/lingering" ] || kill "$(cat "$scratch/lingering")" 2>/dev/null
  rm -f "$scratch/lingering"
}

# Whatever happens, no process of a run outlives the test, and a failed
# test removes what it made.
running= holder=
cleanup() {
  [ -z "$running" ] || kill -KILL -- "-$running" 2>/dev/null
  [ -z "$holder" ] || kill "$holder" 2>/dev/null
  [ ! -s "$STUB_PID" ] || kill -KILL "$(cat "$STUB_PID")" 2>/dev/null
  stop_lingering
}
trap 'cleanup; rm -rf "$scratch"' EXIT

# A field of the process's status line after its name: 1 its state, 3 its
# process group.
field() {
  local line
  read -r line 2>/dev/null <"/proc/$1/stat" || return
  line=${line##*) }
  cut -d' ' -f"$2" <<<"$line"
}

alive() { [ -e "/proc/$1" ] && ! grep -q '^[0-9]* ([^)]*) Z' "/proc/$1/stat" 2>/dev/null; }

# Waits for a lock on FOLDER to be held (by another process), at most a
# minute: a test of waiting waits on what it waits for, never on a time.
lock_held() {
  for _ in $(seq 1200); do flock -n "$1" true || return 0; sleep 0.05; done
  fail "the lock on $1 was never taken"
}

# hold_build FOLDER [as...]: the build lock held, by the user given, until
# $scratch/go appears; returns once it is held.
hold_build() {
  local folder=$1
  shift
  rm -f "$scratch/go"
  "$@" flock -F "$folder" sh -c 'n=0; while [ ! -e "$0" ] && [ $n -lt 1200 ]; do sleep 0.05; n=$((n + 1)); done' \
    "$scratch/go" &
  holder=$!
  lock_held "$folder"
}

# Once the run says it waits (at most a minute), the holder lets go.
waits_then_go() {
  for _ in $(seq 1200); do grep -qs "^waiting for" "$scratch/stderr" && break; sleep 0.05; done
  touch "$scratch/go"
}

# The paths in PLACE outside FOLDER, each with its kind, mode and owner.
outside() { (cd "$1" && find . -path "./${2#"$1"/}" -prune -o -printf '%p %y %m %u\n' | sort); }

# acl FOLDER KIND TAG:PERMISSIONS:ID...: gives FOLDER an access control list
# of KIND (access or default): the owner's rwx, the owning group's and
# others' r-x, and the entries given (tags: 2 a user, 8 a group, 16 the
# mask).
acl() {
  python3 - "$@" <<'PY' 2>/dev/null
import os, struct, sys
given = [tuple(int(v) for v in e.split(":")) for e in sys.argv[3:]]
entries = sorted([(1, 7, -1), (4, 5, -1), (0x20, 5, -1)] + given, key=lambda e: (e[0], e[2]))
os.setxattr(sys.argv[1], "system.posix_acl_" + sys.argv[2],
            struct.pack("<I", 2) + b"".join(struct.pack("<HHi", *e) for e in entries))
PY
}

# The script in a process group of its own, as a terminal starts a command:
# job control keeps SIGINT as it is (a background command of a script would
# ignore it).
start() {
  set -m
  "$repo/scripts/example" "$@" >"$scratch/stdout" 2>"$scratch/stderr" &
  running=$!
  set +m
}

# The script started on FOLDER, interrupted once the stub holds it where
# STUB_HOLD says, and waited for.
interrupt_held() {
  rm -f "$STUB_PID"
  start "$1"
  for _ in $(seq 1200); do [ -s "$STUB_PID" ] && break; sleep 0.05; done
  kill -INT -- "-$running"
  for _ in $(seq 1200); do alive "$running" || break; sleep 0.05; done
  wait "$running"
  running=
}

run() {  # run args: stdout and stderr into files, exit code echoed
  "$repo/scripts/example" "$@" >"$scratch/stdout" 2>"$scratch/stderr"
  echo $?
}

case $case_name in
arguments)
  # Answered at once, before the packages are checked or anything is built.
  cd "$scratch/here" || fail "no scratch"
  rc=$(run --help)
  [ "$rc" = 0 ] || fail "--help exits $rc"
  grep -qxF "usage: $repo/scripts/example [FOLDER]" "$scratch/stdout" ||
    fail "--help does not name the command: $(head -1 "$scratch/stdout")"
  grep -q "default out/example in the repository" "$scratch/stdout" || fail "--help gives no default folder"
  wrong() {  # wrong WHAT ARGS...: refused with WHAT first, then the usage
    local what=$1 rc
    shift
    rc=$(run "$@")
    [ "$rc" = 2 ] || fail "$* exits $rc"
    [ "$(head -1 "$scratch/stderr")" = "$repo/scripts/example: $what" ] ||
      fail "$* does not say what is wrong: $(head -1 "$scratch/stderr")"
    grep -q "^usage: " "$scratch/stderr" || fail "$* prints no usage"
  }
  wrong "unknown option -x" -x
  wrong "the folder name is empty" ""
  wrong "one FOLDER at most" a b
  [ ! -e "$STUB_LOG" ] || fail "a wrong argument ran steps: $(cat "$STUB_LOG")"
  [ -z "$(ls -A "$scratch/here")" ] && [ ! -e "$repo/out" ] || fail "a wrong argument made a folder"
  # The folder is the caller's, and the run goes through to the result.
  rc=$(run myout)
  [ "$rc" = 0 ] || fail "a run exits $rc: $(cat "$scratch/stderr")"
  grep -qx "The example's files are in $scratch/here/myout" "$scratch/stdout" || fail "the folder is not the caller's"
  [ "$(cat "$STUB_LOG")" = "packages"$'\n'"build" ] || fail "steps run: $(cat "$STUB_LOG")"
  # A failed build ends with a line of the command's own after the
  # compiler's output.
  rc=$(STUB_FAIL=1 run failed)
  [ "$rc" = 1 ] || fail "a failed build exits $rc"
  [ "$(tail -1 "$scratch/stderr")" = "example failed: the build of the example failed; nothing was written to $scratch/here/failed" ] ||
    fail "a failed build says: $(cat "$scratch/stderr")"
  # A link to nothing is refused, as the program alone refuses it, and the
  # place it points to is not made.
  ln -s "$scratch/nowhere" "$scratch/here/dangling"
  rc=$(run dangling)
  [ "$rc" = 1 ] || fail "a link to nothing exits $rc"
  grep -q "is a symbolic link to $scratch/nowhere, which does not exist" "$scratch/stderr" ||
    fail "a link to nothing says: $(cat "$scratch/stderr")"
  [ ! -e "$scratch/nowhere" ] || fail "the target of a link to nothing was made"
  ;;
interrupted)
  # SIGINT, SIGTERM, SIGHUP or SIGQUIT while a step is held, sent to the script alone
  # or (as a terminal's Ctrl-C) to its process group: the run stops at once,
  # says so, and leaves the folder as it was; the step's process is gone.
  out=$scratch/out
  cp -a "$earlier" "$out" || fail "no earlier result in $earlier"
  before=$(state "$out")
  for hold in packages build; do
    for how in script group; do
      for signal in INT TERM HUP QUIT; do
        export STUB_HOLD=$hold
        rm -f "$STUB_PID" "$STUB_LOG"
        start "$out"
        for _ in $(seq 1200); do [ -s "$STUB_PID" ] && break; sleep 0.05; done
        [ -s "$STUB_PID" ] || fail "the $hold step was never reached: $(cat "$scratch/stderr")"
        held=$(cat "$STUB_PID")
        if [ $how = script ]; then kill -"$signal" "$running"; else kill -"$signal" -- "-$running"; fi
        for _ in $(seq 1200); do alive "$running" || break; sleep 0.05; done
        alive "$running" && fail "$signal to the $how during the $hold step: the run did not stop within 60 s"
        wait "$running"
        rc=$?
        running=
        number=$(kill -l "$signal")
        [ "$rc" = $((128 + number)) ] || fail "$signal to the $how during the $hold step: exit $rc"
        grep -qx "example interrupted by signal $number; the previous result in $out is left as it was" \
          "$scratch/stderr" || fail "$signal to the $how during the $hold step: message: $(cat "$scratch/stderr")"
        for _ in $(seq 600); do alive "$held" || break; sleep 0.05; done
        alive "$held" && fail "$signal to the $how during the $hold step: the step's process was left running"
        [ "$before" = "$(state "$out")" ] || fail "$signal to the $how during the $hold step: the folder changed"
      done
    done
  done
  # Where there was no folder, none is made. An interrupt before the steps,
  # while the folder's path is resolved, names the folder too.
  cat >"$scratch/bin/realpath" <<'EOF'
#!/usr/bin/env bash
[ "$1 $2" != "-m --" ] || [ -z "${STUB_RESOLVE:-}" ] || { echo $$ >"$STUB_PID"; exec sleep 30; }
exec /usr/bin/realpath "$@"
EOF
  chmod +x "$scratch/bin/realpath"
  for hold in packages resolve; do
    export STUB_HOLD=$hold STUB_RESOLVE=
    [ $hold = packages ] || STUB_RESOLVE=1
    interrupt_held "$scratch/new"
    [ "$(cat "$scratch/stderr")" = "example interrupted by signal 2; nothing was written to $scratch/new" ] ||
      fail "message for a new folder, held at $hold: $(cat "$scratch/stderr")"
    [ ! -e "$scratch/new" ] || fail "a folder was made"
  done
  export STUB_RESOLVE=
  ;;
refusals)
  # What the program would refuse without writing is refused before the
  # packages are checked or anything is built, in one line.
  # Each in the program's words, which the program says too.
  # Files in FOLDER that no run listed are named in byte order, others'
  # names escaped.
  mkdir -p "$scratch/open" "$scratch/out" "$scratch/acl" "$scratch/many/worksheets" "$scratch/raw"
  chmod 777 "$scratch/open"
  mkfifo "$scratch/out/.two_storey_house-files"
  cp -a "$earlier" "$scratch/mine" && touch "$scratch/mine/worksheets/notes.txt" || fail "no earlier result in $earlier"
  touch "$scratch/many/"{b,a,.c,Z,worksheets/x} "$scratch/raw/"$'evil\nexample failed: x'
  wrongs=("open/out:may be written by every user" 'a\b:holds a backslash' "out:is a named pipe instead of a file"
          $'bad\xff:is not UTF-8' "$(printf 'n%.0s' {1..250}):bytes long: the system allows"
          $'p\xffq/out:in the name of a folder above it' $'open/a\nb:may be written by every user'
          "mine:did not write (worksheets/notes.txt)" "many:did not write (.c, Z, a and 2 more)"
          "raw:did not write (\$'evil\\nexample failed: x')")
  if command -v getfacl >/dev/null && [ "$(id -u)" != 65534 ] && setfacl -m u:65534:rwx "$scratch/acl" 2>/dev/null; then
    wrongs+=("acl/out:may be written by $(id -nu 65534) (its access control list lets them)")
  else
    echo "a place an access control list lets others write in not tried: needs getfacl, setfacl and a runner other than 65534"
  fi
  for wrong in "${wrongs[@]}"; do
    rm -f "$STUB_LOG"
    rc=$(cd "$scratch" && timeout 20 "$repo/scripts/example" "${wrong%%:*}" 2>&1 >/dev/null)
    [ "$(echo "$rc" | wc -l)" = 1 ] && echo "$rc" | grep -qF "${wrong#*:}" && [[ $rc == "example failed: "* ]] ||
      fail "${wrong%%:*}: $rc"
    [ ! -e "$STUB_LOG" ] || fail "${wrong%%:*}: steps ran: $(cat "$STUB_LOG")"
    [ "$rc" = "$(cd "$scratch" && timeout 20 "$exe" "${wrong%%:*}" 2>&1 >/dev/null)" ] ||
      fail "${wrong%%:*}: the program says otherwise: $(cd "$scratch" && timeout 20 "$exe" "${wrong%%:*}" 2>&1)"
  done
  [ -z "$(ls -A "$scratch/open")" ] || fail "a refused run made $(ls -A "$scratch/open")"
  # Without getfacl (package acl), a place with an access control list is
  # left to the program, not judged by its group bits (the list's mask): a
  # writer the list names is named, one it lets in is no refusal.
  if [ "$(id -u)" = 0 ] && command -v python3 >/dev/null; then
    mkdir -p "$scratch/no-getfacl"
    ln -s /usr/bin/* "$scratch/no-getfacl/" 2>/dev/null
    rm -f "$scratch/no-getfacl/getfacl"
    for row in "0|The example's files are in $scratch/byacl/out" \
               "65534|example failed: \"$scratch/byacl\", which holds the folder, may be written by $(id -nu 65534) (its access control list lets them), who could put their own files in place of the run's while it works; nothing was written. Choose a folder in a place that only you (or root) may change."; do
      rm -rf "$scratch/byacl" "$STUB_LOG"
      mkdir "$scratch/byacl"
      chgrp 65534 "$scratch/byacl"
      acl "$scratch/byacl" access "2:7:${row%%|*}" 16:7:-1 || break
      (cd "$scratch" && PATH=$scratch/bin:$scratch/no-getfacl "$repo/scripts/example" byacl/out >"$scratch/stdout" 2>"$scratch/stderr")
      [ "$(tail -n 1 "$scratch/stderr"; tail -n 1 "$scratch/stdout")" = "${row#*|}" ] ||
        fail "without getfacl, a list writer ${row%%|*}: $(cat "$scratch/stderr")"
    done
  else
    echo "a place with an access control list not tried without getfacl: needs root and python3"
  fi
  # From a working folder that was removed, a relative FOLDER cannot be
  # found, and the command says so in the program's words.
  said='example failed: cannot find the folder this command was run in, from which the relative FOLDER "out" is taken; nothing was written. Run the command from a folder that exists, or give an absolute path.'
  for command in "$repo/scripts/example" "$exe"; do
    mkdir "$scratch/gone"
    rc=$(cd "$scratch/gone" && rmdir "$scratch/gone" && "$command" out 2>&1 >/dev/null; echo "exit $?")
    [ "$(tail -n 2 <<<"$rc")" = "$said"$'\n''exit 1' ] || fail "from a removed working folder, $command: $rc"
  done
  # A place owned by a user the system has no name for is named by number.
  if [ "$(id -u)" = 0 ] && ! getent passwd 54321 >/dev/null; then
    mkdir -p "$scratch/unnamed"
    chown 54321 "$scratch/unnamed"
    rc=$(cd "$scratch" && timeout 20 "$repo/scripts/example" unnamed/out 2>&1 >/dev/null)
    echo "$rc" | grep -q "which holds the folder, belongs to user 54321, who could" || fail "an unnamed owner: $rc"
  else
    echo "an owner without a name not tried: needs root and a free user id 54321"
  fi
  # A name ending in a newline is not the folder without it.
  export STUB_HOLD=packages
  interrupt_held "$scratch/out"$'\n'
  [ "$(cat "$scratch/stderr")" = "example interrupted by signal 2; nothing was written to \$'$scratch/out\\n'" ] ||
    fail "a name ending in a newline: $(cat "$scratch/stderr")"
  # A reader that stops after two lines: the build's lines are not on the
  # standard output, and the failure is the closed output's.
  export STUB_HOLD='' STUB_CHATTY=1
  (cd "$scratch" && "$repo/scripts/example" new 2>"$scratch/stderr" | head -n 2 >"$scratch/stdout")
  [ "$(tail -1 "$scratch/stderr")" = "example failed: cannot write to the standard output: Broken pipe; nothing was written to $scratch/new" ] ||
    fail "a reader that stops: $(cat "$scratch/stderr")"
  grep -q "^1\. " "$scratch/stdout" || fail "the first lines are not the program's: $(cat "$scratch/stdout")"
  ;;
process_group)
  # The build runs in the command's process group: Ctrl-Z stops it with the
  # command, and a SIGKILL to the group (a job runner's, timeout -s KILL)
  # ends it and frees the build lock.
  export STUB_HOLD=build
  start "$scratch/out"
  for _ in $(seq 1200); do [ -s "$STUB_PID" ] && break; sleep 0.05; done
  held=$(cat "$STUB_PID")
  [ "$(field "$held" 3)" = "$running" ] || fail "the build is not in the command's process group"
  flock -n "$repo/build/example" true && fail "the build lock is not held during the build"
  kill -TSTP -- "-$running"
  for _ in $(seq 600); do [ "$(field "$held" 1)" = T ] && break; sleep 0.05; done
  [ "$(field "$held" 1)" = T ] || fail "Ctrl-Z did not stop the build"
  kill -KILL -- "-$running"
  for _ in $(seq 600); do alive "$held" || break; sleep 0.05; done
  alive "$held" && fail "the build outlived a SIGKILL to the command's group"
  wait "$running" 2>/dev/null
  running=
  flock -n "$repo/build/example" true || fail "the build lock is still held"
  ;;
build_lock)
  # The build lock is on the build folder itself, and no lock file is
  # made: a run of the runner's that holds it makes a second one wait,
  # saying so, which then builds; two first runs at once, under a default
  # access control list that gives everyone everything, build one after
  # the other and neither refuses. (Another user's lock: the places case.)
  # The program is stood in for too: what is tried is the build's lock.
  export EXAMPLE_EXE=/bin/true
  mkdir -p "$repo/build/example"
  hold_build "$repo/build/example"
  (cd "$scratch/here" && run out >"$scratch/rc") &
  waits_then_go
  wait $!
  rc=$(cat "$scratch/rc")
  wait
  [ "$rc" = 0 ] && grep -qx "waiting for another run's build of the example to end (at most 20 s)" "$scratch/stderr" ||
    fail "a second run ($rc): $(cat "$scratch/stderr")"
  rm -rf "$repo/build"
  mkdir -p "$repo/build"
  python3 -c 'import os, sys; os.setxattr(sys.argv[1], "system.posix_acl_default", bytes.fromhex(sys.argv[2]))' \
    "$repo/build" 0200000001000700ffffffff04000700ffffffff20000700ffffffff 2>/dev/null ||
    skip "needs python3 and a file system that keeps access control lists (the rest passed)"
  export STUB_SPAN=$scratch/span
  for k in 1 2; do (cd "$scratch/here" && "$repo/scripts/example" "out$k" >/dev/null 2>"$scratch/stderr$k"; echo $? >"$scratch/rc$k") & done
  wait
  [ "$(tr '\n' ' ' <"$STUB_SPAN")" = "start end start end " ] || fail "two builds at once: $(cat "$STUB_SPAN")"
  for k in 1 2; do
    [ "$(cat "$scratch/rc$k")" = 0 ] || fail "a first run of two: $(cat "$scratch/stderr$k")"
  done
  [ -z "$(find "$repo/build" -maxdepth 2 -name '.lock*')" ] || fail "a lock file was made"
  ;;
places)
  # The places and signals a run can meet, each place met twice by the same
  # command: the exit code, the last line said, the steps that ran (a
  # refusal the README lists before the install or the build comes before
  # it), and that nothing outside FOLDER changed but the folders a first run
  # makes on the way, which only their maker may write in. Root plays a
  # team's first user, nobody the second, nogroup (nobody's group) the team.
  # How the run is started, or what meets it:
  #   plain      as from a terminal
  #   held       nobody holds the build lock, for longer than a run waits
  #   held3      root holds it until the run says it waits
  #   removed    as held3, and the build folder is removed while the run waits
  #   interrupt  as held, and Ctrl-C while the run waits
  #   wrapper    a script's background job (SIGINT ignored), Ctrl-C during the build
  #   nohup      under nohup (SIGHUP ignored), a hangup while the program runs
  #   lingering  the build leaves a process running, as a compiler cache's server
  #   link       through a symbolic link to the command, on PATH
  #   no-home    without HOME or XDG_CACHE_HOME
  [ "$(id -u)" = 0 ] || skip "needs root, to mount, to set access control lists and to act as another user"
  nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  command -v python3 >/dev/null && "${nobody[@]}" test -x "$exe" || skip "needs python3 and a program nobody can reach"
  mkdir -p "$scratch/ro" "$scratch/aclw" "$scratch/teamplace" "$scratch/sticky" "$scratch/held" "$scratch/home" \
    "$scratch/home2" "$scratch/rootgroup" "$scratch/nobody-cache" "$scratch/rolock" "$scratch/robase/theirs" \
    "$scratch/rocheckout" "$scratch/link" "$scratch/semi" "$scratch/signals" "$scratch/btrfs" "$scratch/command"
  acl "$scratch/aclw" access 2:7:65534 16:7:-1 || skip "this file system keeps no access control lists"
  acl "$scratch/teamplace" default 8:7:65534 16:7:-1
  chmod 1777 "$scratch/sticky"
  "${nobody[@]}" sh -c ": >'$scratch/sticky/.two_storey_house.lock' && chmod 600 '$scratch/sticky/.two_storey_house.lock'"
  install -m 600 -o 65534 /dev/null "$scratch/robase/theirs/.two_storey_house.lock"
  chown 65534 "$scratch/home" "$scratch/home2" "$scratch/nobody-cache"
  chown 65534:0 "$scratch/rootgroup"
  chmod 775 "$scratch/rootgroup"
  acl "$scratch/rootgroup" access 8:7:0 16:7:-1
  # The team's checkout: its group may write everywhere in it, by default
  # access control lists; the other checkout is root's alone. A checkout
  # whose path holds a ";", and a link without one to it.
  team=$scratch/team
  cp -a "$repo" "$team"
  for folder in "$team" "$team/scripts"; do acl "$folder" access 8:7:65534 16:7:-1 && acl "$folder" default 8:7:65534 16:7:-1; done
  cp -a "$repo" "$scratch/a;b"
  ln -s "$scratch/a;b" "$scratch/ab"
  ln -s "$repo/scripts/example" "$scratch/command/example"
  chmod -R a+rX "$scratch"
  : >"$STUB_LOG" && chmod 666 "$STUB_LOG"
  for checkout in "$repo" "$team"; do "$checkout/scripts/example" "$scratch/first" >/dev/null 2>&1 || fail "a first run in $checkout"; done
  holder=
  mounts=("$scratch/ro" "$scratch/rolock" "$scratch/rocheckout" "$scratch/btrfs")
  trap 'cleanup; [ -z "$holder" ] || kill "$holder" 2>/dev/null; for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done; rm -rf "$scratch"' EXIT
  mount -t tmpfs -o size=1m,mode=755,ro tmpfs "$scratch/ro" 2>/dev/null || skip "cannot mount a tmpfs here"
  mount --bind "$scratch/robase" "$scratch/rolock" && mount -o remount,bind,ro "$scratch/rolock" &&
    mount --bind "$repo" "$scratch/rocheckout" && mount -o remount,bind,ro "$scratch/rocheckout" ||
    fail "cannot make a read-only bind mount"
  fails="example failed:"
  places="may be written by nobody (its access control list lets them), who could put their own files in place of the run's while it works; nothing was written. Choose a folder in a place that only you (or root) may change."
  locked="the build folder build/example is still locked after 20 s, by another run's build of the example or another process, and one build at a time works in it"
  files="The example's files are in $scratch"
  # Without getfacl the script cannot read the list, so only the program
  # refuses such a place, once the packages are checked and it is built.
  aclsteps=
  command -v getfacl >/dev/null || aclsteps="packages build"
  rows=(
    "read-only device|root|$repo|plain|ro/out|1|packages build|$fails cannot make \"$scratch/ro/out\": \"$scratch/ro\" is on a read-only device; nothing was written"
    "writable by its access control list|root|$repo|plain|aclw/out|1|$aclsteps|$fails \"$scratch/aclw\", which holds the folder, $places"
    "made under a team's default access control list|root|$repo|plain|teamplace/a/b/out|0|packages build|$files/teamplace/a/b/out"
    "another user's lock in the place|root|$repo|plain|sticky/out|1|packages build|$fails \"$scratch/sticky/.two_storey_house.lock\" is still there after 20 s: it belongs to nobody, not to a run of yours, and runs into that folder keep their lock there; nothing was written. Run again once it is gone, or have it removed."
    "another user's lock file on a read-only device|root|$repo|plain|rolock/theirs/out|1|packages build|$fails cannot make \"$scratch/rolock/theirs/out\": \"$scratch/rolock/theirs\" is on a read-only device; nothing was written"
    "another user's build lock, in a folder they may only read|root|$repo|held|held/out|1|packages|$fails $locked; nothing was written to $scratch/held/out. Run again once it has ended."
    "a run of root's own that builds|root|$repo|held3|held/out|0|packages build|$files/held/out"
    "the build folder removed while a run waits|root|$repo|removed|held/out|0|packages build|$files/held/out"
    "Ctrl-C while a run waits for the build lock|root|$repo|interrupt|held/out|130|packages|example interrupted by signal 2; nothing was written to $scratch/held/out"
    "Ctrl-C to a script's background job during the build|root|$repo|wrapper|signals/out|0|packages build|$files/signals/out"
    "a hangup to a run under nohup|root|$repo|nohup|signals/out|0|packages build|$files/signals/out"
    "a process the build leaves running|root|$repo|lingering|signals/out|0|packages build|$files/signals/out"
    "the checkout on a read-only mount|root|$scratch/rocheckout|plain|rocheckout-out/out|1|packages|$fails the build folder build/example is on a read-only device; nothing was written to $scratch/rocheckout-out/out. Build in a checkout on a device you may write on."
    "the command through a link to it|root|$scratch/command|link|link/out|0|packages build|$files/link/out"
    "a checkout whose path holds a \";\"|root|$scratch/a;b|no-home|semi/out|1||$fails the checkout's path $scratch/a;b holds a \";\", which CMake cannot take in a path; nothing was written to $scratch/semi/out. Move the checkout to a path without one, or run the command through a link without one to it."
    "that checkout through a link without one|root|$scratch/ab|plain|semi/out|0|packages build|$files/semi/out"
    "a second user of a team's checkout|nobody|$team|plain|home/out|0|packages build|$files/home/out"
    "a second user of another's checkout|nobody|$repo|plain|home2/out|1|packages|$fails the build folder build/example belongs to root and you may not write in it; nothing was written to $scratch/home2/out. Build as root, or in a checkout of your own."
    "a group of root's alone|nobody|$team|plain|rootgroup/out|0|packages build|$files/rootgroup/out"
  )
  # On btrfs (whose device numbers differ between stat and the list of
  # locks), where the package and loop devices are there.
  mkdir -p "$scratch/rocheckout-out"
  if command -v mkfs.btrfs >/dev/null && truncate -s 200M "$scratch/btrfs.img" && mkfs.btrfs -q "$scratch/btrfs.img" >/dev/null 2>&1 &&
    mount -o loop "$scratch/btrfs.img" "$scratch/btrfs" 2>/dev/null; then
    cp -a "$repo" "$scratch/btrfs/checkout" && "$scratch/btrfs/checkout/scripts/example" "$scratch/first" >/dev/null 2>&1 ||
      fail "a first run on btrfs"
    rows+=("a run of root's own that builds, on btrfs|root|$scratch/btrfs/checkout|held3|held/out|0|packages build|$files/held/out")
  else
    echo "a checkout on btrfs not tried: needs btrfs-progs and a loop device"
  fi
  lingering="a detached process"
  ! command -v sccache >/dev/null || lingering="the server of sccache, the compiler cache"
  echo "a process the build leaves running: $lingering"
  for row in "${rows[@]}"; do
    IFS='|' read -r name who checkout how folder code steps said <<<"$row"
    place=$scratch/${folder%%/*}
    as=()
    [ "$who" = root ] || as=("${nobody[@]}" env XDG_CACHE_HOME="$scratch/nobody-cache")
    command=$checkout/scripts/example
    case $how in
      link) as+=(env PATH="$checkout:$PATH") command=example ;;
      no-home) as+=(env -u HOME -u XDG_CACHE_HOME) ;;
      wrapper) as+=(bash -c 'trap "" INT; "$@" & wait $!' wrapper) ;;  # (a wrapper that outlives Ctrl-C)
      nohup) as+=(env TWO_STOREY_HOUSE_PAUSE="$scratch/go" nohup) ;;
      lingering) as+=(env STUB_LINGER="$scratch/lingering") ;;
    esac
    rm -rf "${scratch:?}/$folder"
    before=$(outside "$place" "$scratch/$folder")
    for run in first second; do
      # (What meets a run while it runs, once.)
      [ $run = first ] || [ $how = plain ] || continue
      : >"$STUB_LOG"
      rm -f "$scratch/go" "$STUB_PID" "$scratch/stdout" "$scratch/stderr"
      case $how in
        held | interrupt) "${nobody[@]}" flock -F "$checkout/build/example" sleep 300 & holder=$! && lock_held "$checkout/build/example" ;;
        held3 | removed) hold_build "$checkout/build/example" ;;
      esac
      [ "$how" != wrapper ] || export STUB_HOLD=build STUB_GO=$scratch/go
      set -m  # in a process group of its own, as from a terminal
      (cd "$scratch" && exec "${as[@]}" "$command" "$folder" >"$scratch/stdout" 2>"$scratch/stderr") &
      running=$!
      set +m
      case $how in
        held3) waits_then_go ;;
        removed | interrupt)
          for _ in $(seq 1200); do grep -qs "^waiting for" "$scratch/stderr" && break; sleep 0.05; done
          if [ $how = removed ]; then rm -rf "$checkout/build/example" && touch "$scratch/go"; else kill -INT -- "-$running"; fi
          ;;
        wrapper | nohup)
          for _ in $(seq 1200); do [ -s "$STUB_PID" ] || grep -qs "^paused" "$scratch/stdout" && break; sleep 0.05; done
          if [ $how = wrapper ]; then kill -INT -- "-$running"; else kill -HUP -- "-$running"; fi
          sleep 0.3
          touch "$scratch/go"
          ;;
      esac
      wait "$running"
      rc=$?
      running=
      export STUB_HOLD= STUB_GO=
      last=$(tail -n 1 "$scratch/stderr")
      [ "$code" != 0 ] || last=$(tail -n 1 "$scratch/stdout")$(grep -v "^waiting for\|^nohup: " "$scratch/stderr")
      [ "$rc" = "$code" ] && [ "$last" = "$said" ] || fail "$name, $run run ($rc): $(cat "$scratch/stderr")"
      [ "$(echo $(cat "$STUB_LOG"))" = "$steps" ] || fail "$name, $run run: the steps run: $(cat "$STUB_LOG")"
      [ $how != removed ] || [ -d "$checkout/build/example" ] || fail "$name, $run run: build/example is no folder now"
      if [ $how = lingering ]; then
        flock -n "$checkout/build/example" true || fail "$name, $run run: the lock outlived the command"
        stop_lingering
      fi
      after=$(outside "$place" "$scratch/$folder")
      [ "$run/$name" != "first/made under a team's default access control list" ] ||
        before+=$'\n'"./a d 755 root"$'\n'"./a/b d 755 root"
      [ "$after" = "$(sort <<<"$before")" ] || fail "$name, $run run: outside FOLDER $(diff <(sort <<<"$before") - <<<"$after")"
      [ -z "$holder" ] || kill "$holder" 2>/dev/null
      holder=
    done
  done
  for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done
  ;;
checkout_paths)
  # A checkout whose path holds what CMake or the build cannot take is
  # refused in one line that names it, before anything is installed or
  # built, FOLDER given or not.
  for row in 'w"dq|a double quote (")' 'w\bs|a backslash (\)' $'w\nnl|a newline' "w'q|a \"'\"" 'w${x}|"${"' \
             $'w\tt|a tab' 'w#h|a "#"'; do
    checkout=$scratch/${row%%|*}
    mkdir -p "$checkout"
    cp -a "$repo/scripts" "$checkout/"
    for folder in "$scratch/here/out" ""; do
      rm -f "$STUB_LOG"
      said=$(cd "$scratch/here" && "$checkout/scripts/example" ${folder:+"$folder"} 2>&1 >/dev/null; echo "exit $?")
      [ "$(wc -l <<<"$said")" = 2 ] && [ "${said##*$'\n'}" = "exit 1" ] &&
        [[ $said == "example failed: the checkout's path "*" holds ${row#*|}, which "* ]] &&
        [[ $said == *"; nothing was written to "*". Move the checkout to a path without one, or run the command through a link without one to it."$'\n'* ]] ||
        fail "$(printf %q "$checkout")${folder:+ into $folder}: $said"
      [ ! -e "$STUB_LOG" ] || fail "$(printf %q "$checkout"): steps ran: $(cat "$STUB_LOG")"
    done
  done
  # The build is given one path for the checkout, whatever path reached
  # it: the one the build folder was made with while that still leads to
  # the checkout, else its real path. (The program stood in for too.)
  export STUB_SOURCES=$scratch/sources EXAMPLE_EXE=/bin/true
  ln -s "$scratch/re po" "$scratch/link"
  given() {  # given CHECKOUT EXPECTED: a run from CHECKOUT gives CMake EXPECTED
    rm -f "$STUB_SOURCES"
    rc=$(cd "$scratch/here" && run out)
    [ "$rc" = 0 ] || fail "a run through $1 ($rc): $(cat "$scratch/stderr")"
    [ "$(cat "$STUB_SOURCES")" = "$2 run in $2" ] || fail "a run through $1 gave CMake $(cat "$STUB_SOURCES"), not $2"
  }
  run() { "$checkout/scripts/example" "$@" >"$scratch/stdout" 2>"$scratch/stderr"; echo $?; }
  checkout=$scratch/link/作業 given "$scratch/link/作業" "$repo"
  checkout=$repo given "$repo" "$repo"
  # A build made through the link (by an earlier version of the command).
  printf 'CMAKE_HOME_DIRECTORY:INTERNAL=%s\n' "$scratch/link/作業" >"$repo/build/example/CMakeCache.txt"
  checkout=$repo given "$repo" "$scratch/link/作業"
  rm "$scratch/link" && ln -s "$scratch/here" "$scratch/link"
  checkout=$repo given "$repo" "$repo"
  if [ "$(id -u)" = 0 ] && mkdir "$scratch/bound" && mount --bind "$scratch/re po" "$scratch/bound" 2>/dev/null; then
    trap 'cleanup; umount "$scratch/bound"; rm -rf "$scratch"' EXIT
    rm -rf "$repo/build"
    checkout=$scratch/bound/作業 given "$scratch/bound/作業" "$scratch/bound/作業"
    checkout=$repo given "$repo" "$scratch/bound/作業"
    umount "$scratch/bound"
    checkout=$repo given "$repo" "$repo"
  else
    echo "a checkout reached through a bind mount not tried: needs root"
  fi
  ;;
missing_package)
  # A user who is not root is told in one line which package is missing
  # and the command that installs it, exit 1, and nothing is built.
  cp "$(dirname "$script")/install-packages" "$repo/scripts/install-packages"
  printf '#!/bin/sh\n[ "$2" != librsvg2-bin ]\n' >"$scratch/bin/dpkg"
  chmod +x "$scratch/bin/dpkg"
  as=()
  if [ "$(id -u)" = 0 ]; then
    as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod -R a+rX "$scratch"
    "${as[@]}" test -x "$repo/scripts/example" || skip "nobody cannot reach the scratch folder"
  fi
  : >"$STUB_LOG"
  chmod 666 "$STUB_LOG"
  rc=$(cd "$scratch/here" && "${as[@]}" env PATH="$PATH" "$repo/scripts/example" out >"$scratch/stdout" 2>"$scratch/stderr"; echo $?)
  [ "$rc" = 1 ] && [ "$(cat "$scratch/stderr")" = "missing package librsvg2-bin, which only root may install: run sudo apt-get update && sudo apt-get install librsvg2-bin, then this command again" ] ||
    fail "a missing package ($rc): $(cat "$scratch/stderr")"
  [ ! -s "$STUB_LOG" ] || fail "steps ran: $(cat "$STUB_LOG")"
  ;;
*)
  fail "no such case"
  ;;
esac
cleanup
trap - EXIT
rm -rf "$scratch"
echo "ok ($case_name)"
