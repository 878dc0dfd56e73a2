# shellcheck shell=bash
# The end-to-end scenarios (sourced by scripts/e2e). Each runs in the
# prefix of its language; message ids are the German base ids, read from
# res/resource.h.

for _id in IDS_SCRIPT_MISSING IDS_SOURCE_MISSING IDS_KEEP_NEWER IDS_HOST_MISSING IDS_INSTALL_FAILED \
  IDS_INSTALL_OK IDS_COPY_FAILED IDS_INTRO IDS_QUIT IDS_OK IDS_INSTALL IDM_ABOUTBOX \
  IDS_UNDO_MENU IDS_UNDO_CONFIRM IDS_UNDO_CONFIRM_RUNS IDS_UNDO_RUN_LINE IDS_UNDO_OK \
  IDS_UNDO_NOTHING IDS_PACKAGE_DAMAGED; do
  _value="$(res_id "$_id")" || exit 1
  printf -v "$_id" '%d' "$_value"
done
# Windows' own ids of the standard buttons, and the system menu's Close.
IDOK=1 IDCANCEL=2 IDYES=6 IDNO=7 SC_CLOSE=61536

# The scenarios of a language, one name a line.
scenarios_of() {
  echo "install-$1"
  case "$1" in
    de) printf '%s\n' no-host no-script newer-file texture-fails failing-entry about uninstall \
      sealed sealed-cut sealed-edited unicode same-name twice app-path ;;
    pl) echo uninstall ;;
    fr) printf '%s\n' failing-entry unicode ;;
    # The English copy failure names both paths.
    en) printf '%s\n' read-only sealed sealed-cut sealed-edited same-name twice app-path long ;;
    # A user's locale apart from the system's: the texts keep the system's
    # letters in the dialog and in two kinds of message box.
    *+*) echo newer-file ;;
  esac
}

run_scenarios() {
  local lang="$1" name
  shift
  for name in "$@"; do
    E2E_SCENARIO="$name"
    echo "e2e: $name"
    layout "$lang" "$name"
    "scenario_${name%-"$lang"}" "$lang"
  done
}

# layout LANG NAME: a fresh Kestrova tree ($HOST, with a blank in its name
# as under Program Files) with its catalogue, and a package folder ($PKG)
# with the program, two model files and an installation script.
layout() {
  DIR="$E2E_WORK/$1/$2"
  HOST="$DIR/Kestrova Sim"
  PKG="$DIR/Paket"
  LOG="$DIR/driver.log"
  CATALOGUE="$HOST/Resourcen/Parallels/Texturen.txt"
  rm -rf "$DIR"
  mkdir -p "$HOST/Resourcen/Parallels" "$PKG/Dateien"
  printf 'MZ' >"$HOST/Kestrova.exe"
  printf 'Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n}' >"$CATALOGUE"
  cp "$E2E_PROGRAM" "$PKG/Packwright.exe"
  printf 'Signalmast, Modell 1\r\n' >"$PKG/Dateien/Signal.dat"
  printf 'BM-Mast\r\n' >"$PKG/Dateien/Mast.bmp"
  cat >"$PKG/InstSkript.txt" <<'EOF'
{Demo-Paket: Signalmasten, Version 2}
Dateinstallation
{
    {Dateien\Signal.dat >> Modelle\Signale\Signal.dat}
    {Dateien\Mast.bmp >> Texturen\Mast.bmp}
}
Texturskript
{
    {a >> Textur{ name(Mast) id(4711) }}
    {b >> Textur{ name(Schotter) id(12) }}
}
EOF
  sed -i 's/$/\r/' "$PKG/InstSkript.txt"
  set_host_key "$(winpath "$HOST")\\Kestrova.exe" 0 || fail "could not write the registry key"
}

# drive STEP...: runs the driver and checks that it carried out every step.
drive() {
  if ! run_driver "$LOG" "$@"; then
    fail "driver stopped at: $(log_value "$LOG" error) (log $LOG)"
    return 1
  fi
  pass
}

# expect_box N LANG ID ICON BUTTONS [ARG...]: the Nth message box showed
# the localized text of ID, captioned Packwright, over a disabled dialog.
expect_box() {
  local n="$1" lang="$2" id="$3" icon="$4" buttons="$5"
  shift 5
  expect_eq "box $n caption" "$(box_value "$LOG" "$n" caption)" "Packwright"
  expect_eq "box $n text" "$(box_value "$LOG" "$n" text)" "$(msg_for "$lang" "$id" "$@")"
  expect_eq "box $n icon" "$(box_value "$LOG" "$n" icon)" "$icon"
  expect_eq "box $n buttons" "$(box_value "$LOG" "$n" buttons)" "$buttons"
  expect_eq "box $n: main dialog disabled" "$(box_value "$LOG" "$n" main_enabled)" 0
}

expect_installed() {
  local file
  for file in Modelle/Signale/Signal.dat Texturen/Mast.bmp; do
    if cmp -s "$PKG/Dateien/${file##*/}" "$HOST/$file"; then pass; else fail "$file was not installed"; fi
  done
}

scenario_install() {
  local lang="$1" shots="$E2E_ARTIFACTS/shots"
  mkdir -p "$shots"
  drive start main "shot:main:$(winpath "$DIR/main.bmp")" "syscommand:$IDM_ABOUTBOX" about \
    "shot:about:$(winpath "$DIR/about.bmp")" close-about "click:$IDOK" box \
    "shot:box:$(winpath "$DIR/done.bmp")" "answer:$IDOK" exit
  keep_shot "$DIR/main.bmp" "$shots/main-$lang.png"
  keep_shot "$DIR/about.bmp" "$shots/about-$lang.png"
  keep_shot "$DIR/done.bmp" "$shots/install-ok-$lang.png"
  expect_eq caption "$(log_value "$LOG" main.caption)" "Packwright v1.0"
  expect_eq "Install button" "$(log_value "$LOG" main.ctrl.1)" "$(msg_for "$lang" $IDS_INSTALL)"
  expect_eq "Quit button" "$(log_value "$LOG" main.ctrl.2)" "$(msg_for "$lang" $IDS_QUIT)"
  expect_eq "intro" "$(log_value "$LOG" main.ctrl.1001)" "$(msg_for "$lang" $IDS_INTRO)"
  expect_eq "About OK" "$(log_value "$LOG" about.ctrl.1)" "$(msg_for "$lang" $IDS_OK)"
  expect_eq "box count" "$(box_count "$LOG")" 1
  expect_box 1 "$lang" $IDS_INSTALL_OK information "$IDOK"
  expect_eq "progress" "$(box_value "$LOG" 1 progress)" 4
  expect_eq "exit code" "$(log_value "$LOG" exit)" 0
  expect_installed
  expect_file_bytes "$CATALOGUE" \
    'Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n\tTextur{\tname(Mast)\tid(4711)\t}\r\n}'
  expect_eq Scan "$(read_scan)" 2
}

# No Kestrova key: pressing Install, then Enter, reports it each time and
# leaves the dialog open; Quit ends the program.
scenario_no-host() {
  local lang="$1"
  set_host_key ""
  drive start "click:$IDOK" box "answer:$IDOK" nobox:500 main key:13 box "answer:$IDOK" \
    "click:$IDCANCEL" exit
  expect_eq "box count" "$(box_count "$LOG")" 2
  expect_box 1 "$lang" $IDS_HOST_MISSING exclamation "$IDOK"
  expect_box 2 "$lang" $IDS_HOST_MISSING exclamation "$IDOK"
  expect_eq "dialog open after the first box" "$(log_value "$LOG" main.caption)" "Packwright v1.0"
  expect_eq "exit code" "$(log_value "$LOG" exit)" 0
  expect_missing "$HOST/Modelle"
}

scenario_no-script() {
  local lang="$1"
  rm "$PKG/InstSkript.txt"
  drive start "click:$IDOK" box "answer:$IDOK" box "answer:$IDOK" exit
  expect_eq "box count" "$(box_count "$LOG")" 2
  expect_box 1 "$lang" $IDS_SCRIPT_MISSING exclamation "$IDOK"
  expect_eq "progress at the first box" "$(box_value "$LOG" 1 progress)" 1
  expect_box 2 "$lang" $IDS_INSTALL_FAILED exclamation "$IDOK"
  expect_eq "progress at the result" "$(box_value "$LOG" 2 progress)" 1
  expect_eq "exit code" "$(log_value "$LOG" exit)" 0
  expect_eq Scan "$(read_scan)" 0
  expect_file_bytes "$CATALOGUE" 'Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n}'
}

# Four installed files newer than the package's: Yes keeps the first, No
# replaces the second, Cancel keeps the third and every later one silently.
scenario_newer-file() {
  local lang="$1" i
  {
    printf 'Dateinstallation\r\n{\r\n'
    for i in 1 2 3 4; do printf '  {Dateien\\N%d.dat >> Modelle\\N%d.dat}\r\n' $i $i; done
    printf '}\r\nTexturskript\r\n{\r\n}\r\n'
  } >"$PKG/InstSkript.txt"
  mkdir -p "$HOST/Modelle"
  for i in 1 2 3 4; do
    printf 'neu %d' $i >"$PKG/Dateien/N$i.dat"
    printf 'installiert %d' $i >"$HOST/Modelle/N$i.dat"
    touch -d '+1 day' "$HOST/Modelle/N$i.dat"
  done
  drive start "click:$IDOK" box "shot:box:$(winpath "$DIR/question.bmp")" "answer:$IDYES" \
    box "answer:$IDNO" box "answer:$IDCANCEL" box "answer:$IDOK" exit
  mkdir -p "$E2E_ARTIFACTS/shots"
  keep_shot "$DIR/question.bmp" "$E2E_ARTIFACTS/shots/keep-newer-$lang.png"
  expect_eq "box count" "$(box_count "$LOG")" 4
  for i in 1 2 3; do
    expect_box $i "$lang" $IDS_KEEP_NEWER exclamation "$IDYES,$IDNO,$IDCANCEL" \
      "$(winpath "$HOST")\\Modelle\\N$i.dat" "$(winpath "$PKG")\\Dateien\\N$i.dat"
  done
  expect_box 4 "$lang" $IDS_INSTALL_OK information "$IDOK"
  expect_eq "N1 (Yes)" "$(cat "$HOST/Modelle/N1.dat")" "installiert 1"
  expect_eq "N2 (No)" "$(cat "$HOST/Modelle/N2.dat")" "neu 2"
  expect_eq "N3 (Cancel)" "$(cat "$HOST/Modelle/N3.dat")" "installiert 3"
  expect_eq "N4 (after Cancel)" "$(cat "$HOST/Modelle/N4.dat")" "installiert 4"
}

# Kestrova without a catalogue: the texture step fails, the files are
# installed and Scan is set all the same.
scenario_texture-fails() {
  local lang="$1"
  rm "$CATALOGUE"
  drive start "click:$IDOK" box "answer:$IDOK" exit
  expect_eq "box count" "$(box_count "$LOG")" 1
  expect_box 1 "$lang" $IDS_INSTALL_FAILED exclamation "$IDOK"
  expect_eq "progress" "$(box_value "$LOG" 1 progress)" 4
  expect_installed
  expect_missing "$CATALOGUE"
  expect_eq Scan "$(read_scan)" 2
}

# An older installed file that is read-only: the copy fails and says so,
# the run fails, and the attributes are reset so that a second run
# replaces the file.
scenario_read-only() {
  local lang="$1" target="$HOST/Texturen/Mast.bmp"
  mkdir -p "$HOST/Texturen"
  printf 'alt' >"$target"
  touch -d '-1 day' "$target"
  chmod 444 "$target"
  drive start "click:$IDOK" box "answer:$IDOK" box "answer:$IDOK" exit
  expect_eq "box count" "$(box_count "$LOG")" 2
  expect_box 1 "$lang" $IDS_COPY_FAILED exclamation "$IDOK" \
    "$(winpath "$PKG")\\Dateien\\Mast.bmp" "$(winpath "$HOST")\\Texturen\\Mast.bmp"
  expect_box 2 "$lang" $IDS_INSTALL_FAILED exclamation "$IDOK"
  expect_eq "read-only file kept" "$(cat "$target")" alt
  # (Checked on the mode bits: as root, test -w is always true.)
  expect_eq "owner may write after the run" "$(stat -c %A "$target" | cut -c3)" w
  LOG="$DIR/second-run.log"
  drive start "click:$IDOK" box "answer:$IDOK" exit
  expect_box 1 "$lang" $IDS_INSTALL_OK information "$IDOK"
  expect_installed
}

# A package folder named in letters that the system's code page lacks
# (Polish on a German system, Cyrillic on a French one), in a Kestrova
# folder with umlauts: the script is found, the files install, and the
# message box names the package's path with every letter.
scenario_unicode() {
  local lang="$1" shots="$E2E_ARTIFACTS/shots" name
  case "$lang" in
    de) name='Paket-Łódź' ;;
    *) name='Пакет' ;;
  esac
  mv "$PKG" "$DIR/$name" && PKG="$DIR/$name"
  mv "$HOST" "$DIR/Kestrova Süd" && HOST="$DIR/Kestrova Süd"
  CATALOGUE="$HOST/Resourcen/Parallels/Texturen.txt"
  set_host_key "$(winpath "$HOST")\\Kestrova.exe" 0 || fail "could not write the registry key"
  printf '%s\r\n' Dateinstallation '{' '    {Dateien\Signal.dat >> Modelle\Signale\Signal.dat}' \
    '    {Dateien\Fehlt.dat >> Modelle\Fehlt.dat}' '    {Dateien\Mast.bmp >> Texturen\Mast.bmp}' \
    '}' Texturskript '{' '    {a >> Textur{ name(Mast) id(4711) }}' '}' >"$PKG/InstSkript.txt"
  mkdir -p "$shots"
  drive start main "shot:main:$(winpath "$DIR/main.bmp")" "click:$IDOK" box \
    "shot:box:$(winpath "$DIR/missing.bmp")" "answer:$IDOK" box \
    "shot:box:$(winpath "$DIR/done.bmp")" "answer:$IDOK" exit
  keep_shot "$DIR/main.bmp" "$shots/unicode-main-$lang.png"
  keep_shot "$DIR/missing.bmp" "$shots/unicode-missing-$lang.png"
  keep_shot "$DIR/done.bmp" "$shots/unicode-done-$lang.png"
  expect_eq "intro" "$(log_value "$LOG" main.ctrl.1001)" "$(msg_for "$lang" $IDS_INTRO)"
  expect_eq "box count" "$(box_count "$LOG")" 2
  expect_box 1 "$lang" $IDS_SOURCE_MISSING exclamation "$IDOK" \
    "$(winpath "$PKG")\\Dateien\\Fehlt.dat"
  expect_box 2 "$lang" $IDS_INSTALL_OK information "$IDOK"
  expect_installed
  expect_file_bytes "$CATALOGUE" \
    'Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n\tTextur{\tname(Mast)\tid(4711)\t}\r\n}'
  expect_eq Scan "$(read_scan)" 2
}

# An entry in the middle of the script whose destination is a folder: its
# copy fails and says so, the entries after it and the textures are still
# installed, Scan is set, and the run ends with the failure message.
scenario_failing-entry() {
  local lang="$1"
  sed -i 's/^\( *{Dateien\\Mast.bmp >> Texturen\\Mast.bmp}\)/    {Dateien\\Mast.bmp >> Modelle\\Signale}\r\n\1/' \
    "$PKG/InstSkript.txt"
  drive start "click:$IDOK" box "shot:box:$(winpath "$DIR/failed.bmp")" "answer:$IDOK" box \
    "answer:$IDOK" exit
  mkdir -p "$E2E_ARTIFACTS/shots"
  keep_shot "$DIR/failed.bmp" "$E2E_ARTIFACTS/shots/failing-entry-$lang.png"
  expect_eq "box count" "$(box_count "$LOG")" 2
  expect_box 1 "$lang" $IDS_COPY_FAILED exclamation "$IDOK" \
    "$(winpath "$PKG")\\Dateien\\Mast.bmp" "$(winpath "$HOST")\\Modelle\\Signale"
  expect_box 2 "$lang" $IDS_INSTALL_FAILED exclamation "$IDOK"
  expect_eq "progress" "$(box_value "$LOG" 2 progress)" 4
  expect_installed
  expect_file_bytes "$CATALOGUE" \
    'Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n\tTextur{\tname(Mast)\tid(4711)\t}\r\n}'
  expect_eq Scan "$(read_scan)" 2
}

# The About box through the system menu, by its own command and by one
# with low bits set; the main dialog stays open behind it.
scenario_about() {
  local lang="$1"
  drive start "syscommand:$IDM_ABOUTBOX" about close-about "syscommand:$((IDM_ABOUTBOX + 1))" \
    about close-about main "click:$IDCANCEL" exit
  local n
  for n in 1 2; do
    expect_eq "About $n caption" "$(log_value "$LOG" about.caption $n)" "Packwright v1.0"
    expect_eq "About $n version" "$(log_value "$LOG" about.static.2 $n)" "Packwright Version 1.0"
    expect_eq "About $n OK" "$(log_value "$LOG" about.ctrl.1 $n)" "$(msg_for "$lang" $IDS_OK)"
  done
  if [ -n "$(log_value "$LOG" about.static.3)" ]; then pass; else fail "no publisher's line"; fi
  expect_eq "dialog open after About" "$(log_value "$LOG" main.caption)" "Packwright v1.0"
  expect_eq "exit code" "$(log_value "$LOG" exit)" 0
  expect_eq Scan "$(read_scan)" 0
}

# An install, then a second start from the same folder that opens the
# system menu, pictures it, and chooses Uninstall by its underlined letter:
# the files and the catalogue are as before the install, Scan asks for a
# rescan, and the dialog stays open. The package is named after its folder.
# With the stand-in undo engine (E2E_UNDO_STUB) there is nothing on record:
# it says so without asking, and everything stays.
scenario_uninstall() {
  local lang="$1" shots="$E2E_ARTIFACTS/shots" letter
  mv "$PKG" "$DIR/Signalmasten" && PKG="$DIR/Signalmasten"
  letter="$(msg_for "$lang" "$IDS_UNDO_MENU" | sed -n 's/^[^&]*&\(.\).*/\1/p')"
  drive start "click:$IDOK" box "answer:$IDOK" exit
  expect_installed
  LOG="$DIR/uninstall.log"
  mkdir -p "$shots"
  if [ -n "${E2E_UNDO_STUB:-}" ]; then
    # Nothing on record: it says so without asking.
    drive start sysmenu "menu-key:$letter" box "answer:$IDOK" main "click:$IDCANCEL" exit
    expect_eq "box count" "$(box_count "$LOG")" 1
    expect_box 1 "$lang" "$IDS_UNDO_NOTHING" information "$IDOK" Signalmasten
    expect_installed
    return
  fi
  # The picture of the menu is for people, not for the checks: Wine with
  # unmanaged windows at times stacks the dialog above the open menu on the
  # X screen, so that only the menu's part below the dialog shows.
  drive start sysmenu wait:1000 "shot:menu:$(winpath "$DIR/menu.bmp")" "menu-key:$letter" \
    box "shot:box:$(winpath "$DIR/confirm.bmp")" "answer:$IDYES" \
    box "shot:box:$(winpath "$DIR/outcome.bmp")" "answer:$IDOK" main "click:$IDCANCEL" exit
  keep_shot "$DIR/menu.bmp" "$shots/uninstall-menu-$lang.png"
  keep_shot "$DIR/confirm.bmp" "$shots/uninstall-confirm-$lang.png"
  keep_shot "$DIR/outcome.bmp" "$shots/uninstall-outcome-$lang.png"
  expect_eq "box count" "$(box_count "$LOG")" 2
  expect_box 1 "$lang" "$IDS_UNDO_CONFIRM_RUNS" exclamation "$IDYES,$IDNO" Signalmasten \
    "$(run_line "$lang" 1 2)"
  expect_eq "dialog open after the uninstall" "$(log_value "$LOG" main.caption)" "Packwright v1.0"
  expect_eq "exit code" "$(log_value "$LOG" exit)" 0
  expect_box 2 "$lang" "$IDS_UNDO_OK" information "$IDOK" Signalmasten
  expect_missing "$HOST/Modelle"
  expect_missing "$HOST/Texturen"
  expect_file_bytes "$CATALOGUE" 'Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n}'
  expect_eq Scan "$(read_scan)" 2
}

# seal_package: packs $PKG with packwright-tool and unpacks the zip beside
# it; $PKG is then the unpacked, sealed package.
seal_package() {
  wine "$E2E_TOOL" pack "$(winpath "$PKG")" -o "$(winpath "$DIR/Paket.zip")" \
    </dev/null >"$DIR/pack.out" 2>&1 9>&-
  mkdir -p "$DIR/unpacked"
  if ! (cd "$DIR/unpacked" && cmake -E tar xf ../Paket.zip) || [ ! -f "$DIR/unpacked/Paket/Packwright.sum" ]; then
    fail "pack made no sealed package: $(cat "$DIR/pack.out")"
    return 1
  fi
  PKG="$DIR/unpacked/Paket"
}

# host_state: every name, and every file's bytes, in Kestrova's tree apart
# from its Packwright folder (records and lock), and the key as exported.
host_state() {
  (cd "$HOST" && find . -path ./Packwright -prune -o -print | LC_ALL=C sort)
  (cd "$HOST" && find . -path ./Packwright -prune -o -type f -print0 | LC_ALL=C sort -z |
    xargs -0 sha256sum)
  wine_quiet reg export "$E2E_KEY" "$(winpath "$DIR/key.reg")" /y "$E2E_VIEW"
  sha256sum <"$DIR/key.reg"
}

scenario_sealed() {
  local lang="$1"
  seal_package || return
  drive start "click:$IDOK" box "answer:$IDOK" exit
  expect_eq "box count" "$(box_count "$LOG")" 1
  expect_box 1 "$lang" $IDS_INSTALL_OK information "$IDOK"
  expect_installed
  expect_eq Scan "$(read_scan)" 2
}

# refused_unchanged NAME FILE: a damaged sealed package is refused at
# progress 1 with the message naming FILE, and nothing in Kestrova changes.
refused_unchanged() {
  local lang="$1" file="$2" before
  before="$(host_state)"
  drive start "click:$IDOK" box "shot:box:$(winpath "$DIR/damaged.bmp")" "answer:$IDOK" \
    box "answer:$IDOK" exit
  mkdir -p "$E2E_ARTIFACTS/shots"
  keep_shot "$DIR/damaged.bmp" "$E2E_ARTIFACTS/shots/${E2E_SCENARIO%-"$lang"}-$lang.png"
  expect_eq "box count" "$(box_count "$LOG")" 2
  expect_box 1 "$lang" $IDS_PACKAGE_DAMAGED exclamation "$IDOK" "$file"
  expect_eq "progress at the first box" "$(box_value "$LOG" 1 progress)" 1
  expect_box 2 "$lang" $IDS_INSTALL_FAILED exclamation "$IDOK"
  expect_eq "Kestrova's tree and key" "$(host_state)" "$before"
}

scenario_sealed-cut() {
  seal_package || return
  truncate -s 5 "$PKG/Dateien/Signal.dat"
  refused_unchanged "$1" 'Dateien\Signal.dat'
}

scenario_sealed-edited() {
  seal_package || return
  sed -i 's/id(4711)/id(4712)/' "$PKG/InstSkript.txt"
  refused_unchanged "$1" InstSkript.txt
}

# run_line LANG RECORD FILES: the question's line for the install of that
# record number.
run_line() {
  local time
  time="$(sed -n 's/^time\t//p' "$HOST/Packwright/$(printf '%04d' "$((10#$2))")/Record.txt")"
  msg_for "$1" "$IDS_UNDO_RUN_LINE" "$time" "$3"
}

# Kestrova's tree apart from the records: every file's checksum and every
# folder.
host_state() {
  (cd "$HOST" && find . -path ./Packwright -prune -o -type f -print0 | sort -z | xargs -0 sha1sum &&
    find . -path ./Packwright -prune -o -type d -print | sort)
}

# press_install LOG: a run of the program in $PKG that installs and ends.
press_install() {
  LOG="$1"
  drive start "click:$IDOK" box "answer:$IDOK" exit
  expect_box 1 "$lang" $IDS_INSTALL_OK information "$IDOK"
}

# press_uninstall LOG NAME RUN_LINE...: uninstalls the package in $PKG
# through the system menu, checking the question and the outcome.
press_uninstall() {
  LOG="$1"
  local name="$2" letter lines
  shift 2
  letter="$(msg_for "$lang" "$IDS_UNDO_MENU" | sed -n 's/^[^&]*&\(.\).*/\1/p')"
  # The log writes a line break as \n.
  lines="$(printf '%s\\n' "$@")"
  lines="${lines%\\n}"
  drive start sysmenu "menu-key:$letter" box "answer:$IDYES" box "answer:$IDOK" main \
    "click:$IDCANCEL" exit
  expect_box 1 "$lang" "$IDS_UNDO_CONFIRM_RUNS" exclamation "$IDYES,$IDNO" "$name" "$lines"
  expect_box 2 "$lang" "$IDS_UNDO_OK" information "$IDOK" "$name"
}

# Two packages unpacked into folders of the same name, a signal mast and a
# wagon, uninstalled in both orders: each takes back exactly its own files
# and textures, and the last leaves Kestrova as it was.
scenario_same-name() {
  local lang="$1" first mast wagon before
  mast="$DIR/A/Paket" wagon="$DIR/B/Paket"
  mkdir -p "$DIR/A" && mv "$PKG" "$mast"
  mkdir -p "$wagon/Dateien" && cp "$E2E_PROGRAM" "$wagon/Packwright.exe"
  printf 'Gueterwagen\r\n' >"$wagon/Dateien/Wagen.dat"
  printf 'Dateinstallation\r\n{\r\n  {Dateien\\Wagen.dat >> Modelle\\Wagen\\Wagen.dat}\r\n}\r\n'\
'Texturskript\r\n{\r\n  {w >> Textur{ name(Wagen) id(4712) }}\r\n}\r\n' >"$wagon/InstSkript.txt"
  before="$(host_state)"
  for first in mast wagon; do
    PKG="$mast" press_install "$DIR/install-mast-$first.log"
    PKG="$wagon" press_install "$DIR/install-wagon-$first.log"
    local mast_line wagon_line
    mast_line="$(run_line "$lang" "$(ls "$HOST/Packwright" | grep -E "^[0-9]+$" | sort | tail -2 | head -1)" 2)"
    wagon_line="$(run_line "$lang" "$(ls "$HOST/Packwright" | grep -E "^[0-9]+$" | sort | tail -1)" 1)"
    if [ "$first" = mast ]; then
      PKG="$mast" press_uninstall "$DIR/uninstall-mast-first.log" Paket "$mast_line"
      expect_missing "$HOST/Modelle/Signale"
      expect_missing "$HOST/Texturen"
      expect_eq "wagon kept" "$(cat "$HOST/Modelle/Wagen/Wagen.dat")" "$(cat "$wagon/Dateien/Wagen.dat")"
      expect_file_bytes "$CATALOGUE" \
        'Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n\tTextur{\tname(Wagen)\tid(4712)\t}\r\n}'
      PKG="$wagon" press_uninstall "$DIR/uninstall-wagon-second.log" Paket "$wagon_line"
    else
      PKG="$wagon" press_uninstall "$DIR/uninstall-wagon-first.log" Paket "$wagon_line"
      expect_missing "$HOST/Modelle/Wagen"
      PKG="$mast" expect_installed
      expect_file_bytes "$CATALOGUE" \
        'Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n\tTextur{\tname(Mast)\tid(4711)\t}\r\n}'
      PKG="$mast" press_uninstall "$DIR/uninstall-mast-second.log" Paket "$mast_line"
    fi
    expect_eq "Kestrova as before ($first first)" "$(host_state)" "$before"
    expect_file_bytes "$CATALOGUE" 'Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n}'
  done
}

# One package installed twice and uninstalled once: Kestrova is as before
# the first install.
scenario_twice() {
  local lang="$1" before
  before="$(host_state)"
  press_install "$DIR/first.log"
  press_install "$DIR/second.log"
  press_uninstall "$DIR/uninstall.log" Paket "$(run_line "$lang" 2 2)" "$(run_line "$lang" 1 2)"
  expect_eq "Kestrova as before" "$(host_state)" "$before"
  expect_file_bytes "$CATALOGUE" 'Basis{\r\n\tTextur{\tname(Kies)\tid(12)\t}\r\n}'
}

# AppPath naming a Kestrova.exe at the drive's root that is not there, or
# Kestrova's folder without its backslash: Kestrova counts as not
# installed, and nothing is written anywhere.
scenario_app-path() {
  local lang="$1" drive_c="$WINEPREFIX/drive_c" value
  for value in 'C:\Kestrova.exe' "$(winpath "$HOST")"; do
    set_host_key "$value" 0 || fail "could not write the registry key"
    LOG="$DIR/app-path-$(echo "$value" | tr -c 'A-Za-z0-9' _).log"
    drive start "click:$IDOK" box "answer:$IDOK" main "click:$IDCANCEL" exit
    expect_eq "box count ($value)" "$(box_count "$LOG")" 1
    expect_box 1 "$lang" $IDS_HOST_MISSING exclamation "$IDOK"
    local place
    for place in "$drive_c" "$DIR" "$HOST"; do
      expect_missing "$place/Modelle"
      expect_missing "$place/Texturen"
      expect_missing "$place/Packwright"
    done
    expect_eq Scan "$(read_scan)" 0
  done
}

# A long install: the dialog answers while it runs, shows the file step's
# position, has Install and Quit disabled, and waits for the run before it
# closes.
scenario_long() {
  local lang="$1" i shots="$E2E_ARTIFACTS/shots"
  head -c $((2500 * 32768)) /dev/urandom | split -b 32768 -a 4 -d - "$PKG/Dateien/L"
  {
    printf 'Dateinstallation\r\n{\r\n'
    for i in $(seq -w 0 2499); do printf '  {Dateien\\L%04d >> Modelle\\Lang\\L%04d.dat}\r\n' "$((10#$i))" "$((10#$i))"; done
    printf '}\r\nTexturskript\r\n{\r\n}\r\n'
  } >"$PKG/InstSkript.txt"
  mkdir -p "$shots"
  drive start "click:$IDOK" wait:2000 "answers:1000" progress "enabled:$IDOK" "enabled:$IDCANCEL" \
    "shot:main:$(winpath "$DIR/running.bmp")" "syscommand:$SC_CLOSE" "click:$IDCANCEL" \
    box:300000 "answer:$IDOK" exit
  keep_shot "$DIR/running.bmp" "$shots/long-install-$lang.png"
  expect_eq "answered mid-run" "$(log_value "$LOG" answers)" 1
  echo "e2e: answered after $(log_value "$LOG" answers.ms) ms"
  expect_eq "progress mid-run" "$(log_value "$LOG" progress)" 2
  expect_eq "Install mid-run" "$(log_value "$LOG" enabled.$IDOK)" 0
  expect_eq "Quit mid-run" "$(log_value "$LOG" enabled.$IDCANCEL)" 0
  expect_eq "box count" "$(box_count "$LOG")" 1
  expect_box 1 "$lang" $IDS_INSTALL_OK information "$IDOK"
  expect_eq "progress at the end" "$(box_value "$LOG" 1 progress)" 4
  expect_eq "files installed" "$(ls "$HOST/Modelle/Lang" | wc -l)" 2500
}

# run_gui_unit_tests EXE: the unit tests of the dialogs and the progress
# bar, with a display this time; none may be skipped.
run_gui_unit_tests() {
  E2E_SCENARIO=gui-unit
  echo "e2e: gui-unit"
  local out="$E2E_WORK/gui-unit.log"
  # GTEST_OUTPUT belongs to the lane's own unit run, whose report this
  # partial run must not overwrite.
  env -u GTEST_OUTPUT wine "$1" --gtest_filter='InstallProgressCtrlTest.*:PackwrightDlgTest.*' \
    </dev/null >"$out" 2>&1 9>&-
  local rc=$?
  if [ $rc -ne 0 ] || grep -q 'SKIPPED' "$out" || ! grep -Eq '^\[  PASSED  \] [1-9][0-9]* tests?' "$out"; then
    fail "the GUI unit tests did not all pass (exit $rc):"
    grep -E '^\[  (FAILED|SKIPPED) ' "$out" | head -20
  else
    pass
    grep '^\[  PASSED  \]' "$out" | tr -d '\r'
  fi
}
