#!/usr/bin/env bash
# Ruby's own tests as the judge: runs core test files of Ruby's source
# (test/ruby/test_NAME.rb, listed in tests/conformance/files.txt) with the
# standalone interpreter (ruby3.1 --disable=all) and inside kestrel-host
# through rb.RunString, both with the same seed, and compares them test by
# test. Every test that passes standalone must pass inside kestrel, unless
# tests/conformance/differences.txt names it with its reason. Ruby's
# basictest/test.rb runs through rb.RunFile and must end as it does standalone.
#
# Usage: tools/conformance.sh [NAME...]      (default: every file listed)
#   KESTREL_BUILD   the build holding kestrel-host (default: build/)
#   KESTREL_CACHE   where Ruby's tests are kept (default: ~/.cache/kestrel)
#
# One file by hand, inside kestrel, from the top of the tree:
#   tools/conformance.sh array
# and its logs stay in build/conformance/ (NAME.kestrel.log, NAME.console).
#
# The tests come from Debian's ruby3.1 source package, fetched once with
# tools/private-apt.sh. The installed runtime (libruby3.1
# 3.1.7+really3.1.2-0+deb12u1) is Ruby 3.1.2 underneath; when the archive
# cannot serve that source, 3.1.2-7+deb12u1 is taken, whose tests are the same
# release's.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTREL_BUILD:-$top/build}
cache=${KESTREL_CACHE:-$HOME/.cache/kestrel}
here=$top/tests/conformance
seed=12345
limit=600  # seconds for one side of one file
ruby=ruby3.1

die() { echo "conformance: $*" >&2; exit 1; }

[[ -x $build/kestrel-host ]] || die "no $build/kestrel-host; build it first (tools/test.sh main)"
command -v "$ruby" >/dev/null || die "$ruby is not installed"

# Ruby's test/, tool/ and basictest/ folders, without the rest of the source.
tests=$cache/ruby3.1-tests
if [[ ! -d $tests/tool/lib ]]; then
  fetched=$(mktemp -d "$cache/fetching-source.XXXXXX")
  "$top/tools/private-apt.sh" source "$fetched" ruby3.1
  unpacked=$(find "$fetched" -mindepth 1 -maxdepth 1 -type d -name 'ruby3.1-*' | head -1)
  [[ -n $unpacked ]] || die "the ruby3.1 source package did not unpack"
  rm -rf "$tests.new"
  mkdir -p "$tests.new"
  mv "$unpacked/test" "$unpacked/tool" "$unpacked/basictest" "$tests.new/"
  rm -rf "$fetched" "$tests"
  mv "$tests.new" "$tests"
fi

# A list file's lines without their comments: "#" at the start of a line or
# after blanks starts one (a test's name has "#" inside it).
uncommented() {  # FILE
  sed -e 's/^#.*//' -e 's/\s\+#.*//' -e 's/\s*$//' -e '/^$/d' "$1"
}

names=("$@")
if ((${#names[@]} == 0)); then
  mapfile -t names < <(uncommented "$here/files.txt" | awk '{print $1}')
fi

out=$build/conformance
mkdir -p "$out"
export LC_ALL=C.UTF-8
load_path=$("$ruby" --disable=all -e 'print $LOAD_PATH.join(":")')
listed=$(uncommented "$here/differences.txt")

# The words after a file's name on its line of files.txt.
file_words() {  # NAME
  uncommented "$here/files.txt" | awk -v name="$1" '$1 == name { $1 = ""; print }'
}

# The runner's options for a file, one a line: the seed, and a filter that
# leaves out, on both sides, the tests its line names after "skip=".
runner_options() {  # NAME
  local word
  echo "--seed=$seed"
  for word in $(file_words "$1"); do
    [[ $word == skip=* ]] && echo "--name=!/#(?:$(tr , '|' <<<"${word#skip=}"))\\z/"
  done
  return 0
}

run_standalone() {  # NAME
  local work=$out/$1.standalone.work options
  mapfile -t options < <(runner_options "$1")
  rm -rf "$work" && mkdir -p "$work"
  (cd "$work" && timeout -s KILL "$limit" "$ruby" --disable=all "$here/driver.rb" "$tests" \
    "$out/$1.standalone" "$tests/test/ruby/test_$1.rb" "$load_path" "${options[@]}" \
    >"$out/$1.standalone.log" 2>&1) || true
}

run_kestrel() {  # NAME
  local work=$out/$1.kestrel.work initialize=true option options= list
  mapfile -t list < <(runner_options "$1")
  for option in "${list[@]}"; do
    options+="[[$option]], "
  done
  rm -rf "$work" && mkdir -p "$work"
  [[ " $(file_words "$1") " == *" no-initialize "* ]] && initialize=false
  (cd "$work" && timeout -s KILL "$limit" "$build/kestrel-host" --console "$out/$1.console" \
    -e "DRIVER = [[$here/driver.rb]] SOURCE = [[$tests]] RESULTS = [[$out/$1.kestrel]]
        TEST_FILE = [[$tests/test/ruby/test_$1.rb]] LOAD_PATH = [[$load_path]]
        OPTIONS = {$options} INITIALIZE = $initialize" \
    "$here/run.lua" >"$out/$1.kestrel.log" 2>&1) || true
}

counts() {  # RESULTS-FILE
  awk '{n[$1]++} END {printf "%4d pass %3d skip %3d fail %3d error", n["pass"], n["skip"], n["fail"], n["error"]}' \
    "$1" 2>/dev/null || printf '%-36s' "(no results)"
}

failed=0
printf '%-12s %-47s %-47s %s\n' file standalone kestrel time
for name in "${names[@]}"; do
  [[ -f $tests/test/ruby/test_$name.rb ]] || die "no test file test/ruby/test_$name.rb"
  rm -f "$out/$name.standalone" "$out/$name.kestrel"
  start=$SECONDS
  run_standalone "$name" &
  run_kestrel "$name"
  wait
  printf '%-12s %-47s %-47s %3d s\n' "$name" "$(counts "$out/$name.standalone")" \
    "$(counts "$out/$name.kestrel")" $((SECONDS - start))
  [[ -s $out/$name.standalone ]] || { echo "  the standalone run gave no results: $out/$name.standalone.log"; failed=1; continue; }
  # Every test that passed standalone, with its outcome inside kestrel.
  while read -r test outcome; do
    if grep -qxF "$test" <<<"$listed"; then
      [[ $outcome == pass ]] && echo "  listed as a difference but passes inside kestrel: $test"
      continue
    fi
    if [[ $outcome != pass ]]; then
      echo "  passes standalone, inside kestrel $outcome: $test (see $out/$name.kestrel.log)"
      failed=1
    fi
  done < <(awk 'FNR == NR {if ($1 == "pass") pass[$2] = 1; next}
                {kestrel[$2] = $1}
                END {for (t in pass) print t, (t in kestrel ? kestrel[t] : "not-run")}' \
             "$out/$name.standalone" "$out/$name.kestrel" 2>/dev/null | sort)
done

# basictest: the same last line on both sides. It runs the interpreter as
# ./miniruby, as in Ruby's build tree.
basictest() {  # SIDE COMMAND...
  local work=$out/basictest.$1.work side=$1
  shift
  rm -rf "$work" && mkdir -p "$work" && ln -s "$(command -v "$ruby")" "$work/miniruby"
  (cd "$work" && timeout -s KILL "$limit" "$@" >"$out/basictest.$side.log" 2>&1) || true
}
basictest standalone "$ruby" --disable=all "$tests/basictest/test.rb"
basictest kestrel "$build/kestrel-host" --console "$out/basictest.console" \
  -e "BASICTEST = [[$tests/basictest/test.rb]]" "$here/run.lua"
standalone=$(grep -E '^(end of test|not ok)' "$out/basictest.standalone.log" || echo "(no result)")
kestrel=$(grep -E '^(end of test|not ok)' "$out/basictest.kestrel.log" || echo "(no result)")
printf '%-12s %-47s %-47s\n' basictest "$standalone" "$kestrel"
if [[ $standalone != "$kestrel" || $standalone != "end of test"* ]] ||
   ! grep -qx 'kestrel: the evaluation gave 1' "$out/basictest.kestrel.log"; then
  echo "  basictest differs: $out/basictest.kestrel.log"
  failed=1
fi

((failed == 0)) || die "tests that pass standalone do not pass inside kestrel (logs in $out)"
echo "conformance: every test that passes standalone passes inside kestrel"
