#!/usr/bin/env bash
# The extension and installer in a throwaway 32- or 64-bit Wine prefix, through larkspan_explorer of the same
# architecture (Explorer's, and as Larkspan.exe beside the built library its stand-in); then LarkspanSetup.exe /S
# (on 64-bit: the 64-bit program, the 64-bit library registered in the 64-bit view), the main job checked on disk,
# setup (the other installer, when given: an upgrade) and uninstall while a process holds the library, both keeping
# Larkspan.ini, a setup that cannot write failing.
#   shellext_test.sh win32|win64 <larkspan_explorer.exe> <LarkspanShell.dll> <LarkspanSetup.exe> <root> [<upgrade>]
set -uo pipefail
arch=$1 explorer=$2 library=$3 setup=$4 root=$5 upgrade=${6:-$4} limit=180 failed=0
work=$(mktemp -d /tmp/lkshell.XXXXXX)
export LARKSPAN_WINEPREFIX=$work/prefix LARKSPAN_WINEARCH=$arch
source "$root/tools/wine-env"
trap 'wineserver -k >/dev/null 2>&1; timeout 60 wineserver -w >/dev/null 2>&1; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; failed=1; }
step() { local what=$1; shift; timeout $limit "$@" </dev/null || { fail "$what (exit status $?)"; exit 1; }; }
win() { printf 'Z:%s' "${1//\//\\}"; }
sjis() { printf "$@" | iconv -f UTF-8 -t CP932; }
awaits() { for _ in $(seq 1 600); do "$@" && return; sleep 0.1; done; false; }  # until the command holds (60 s)
# try|verb PATH...: the library in $dir right-clicks PATH...; larkspan_explorer's output in $out.
click() { out=$(timeout 60 wine "$explorer" "$1" "$(win "$dir")\\LarkspanShell.dll" "${@:2}" </dev/null); echo "$out"; }
done='^CreateInstance 0* Initialize 0* QueryContextMenu 0*1 InvokeCommand 0* DllCanUnloadNow 0*$'
step "prefix" bash -c 'source "$0/tools/wine-env"; larkspan_wine_start' "$root"

# The built library beside the stand-in, in a folder with no Shift_JIS form, right-clicks a folder named in
# Shift_JIS (handed over exactly) and files without such a name, each handed over as its short (8.3) path that
# leads back to it (never Cafe.txt for Café.txt). Wine 8 hashes short names: 写真😀秋木.txt and
# 写真😀川朝.txt share ____~Y5T.TXT, which opens whichever is listed first; the other is refused by name, nothing
# written or started.
dir=$work/Łukasz names=$work/names n=$(win "$work/names") refused=0
mkdir -p "$dir" "$names/表 ソ" && cp "$library" "$dir/LarkspanShell.dll" && cp "$explorer" "$dir/Larkspan.exe"
touch "$names"/{Cafe,Café,写真😀秋木,写真😀川朝}.txt
for item in 写真😀秋木.txt 写真😀川朝.txt; do
  rm -f "$dir/standin.txt" && echo old >"$dir/lkpara.dat"
  click try "$n\\表 ソ" "$n\\Café.txt" "$n\\$item"
  grep -q "$done" <<<"$out" || fail "$item: a step failed"
  if [[ "$out" == *"box "* ]]; then
    refused=$((refused + 1))
    printf -v text 'box exclamation %s\n\n%s\n（ %s ）' \
      'このファイル・フォルダは、パスにLarkspanで扱えない文字を含むため、バックアップできません。　' \
      'ファイル名やフォルダ名を変更してから、もう一度選択してください。　' "$n\\$item"
    [[ "$out" == *"$text"* ]] || fail "expected $text"
    [ "$(cat "$dir/lkpara.dat")" = old ] && [ ! -e "$dir/standin.txt" ] || fail "$item refused, yet written or started"
    continue
  fi
  awaits test -e "$dir/standin.txt"
  printf -v started '"%s\\Larkspan.exe" LarkspanCall\n%s' "$(win "$dir")" "$(cat "$dir/lkpara.dat")"
  [ "$(cat "$dir/standin.txt")" = "$started" ] || fail "started as [$(cat "$dir/standin.txt")], not [$started]"
  mapfile -t got < <(LC_ALL=C grep -o '"[^"]*"' "$dir/lkpara.dat" | tr -d '"')
  [ ${#got[@]} = 3 ] && [ "${got[0]}" = "$(sjis '%s' "$n\\表 ソ")" ] &&
    [ "$(winepath -u "${got[1]}")" -ef "$names/Café.txt" ] && [ "$(winepath -u "${got[2]}")" -ef "$names/$item" ] ||
    fail "lkpara.dat names other items: $(cat "$dir/lkpara.dat")"
done
[ $refused = 1 ] || fail "$refused items refused, not the one whose short name opens the other"
rm -f "$dir/lkpara.dat" "$dir/standin.txt"  # a verb string given only wide: refused, nothing written or started
click verb "$n\\表 ソ"
grep -q ' InvokeCommand 80070057 ' <<<"$out" && [ ! -e "$dir/lkpara.dat" ] && [ ! -e "$dir/standin.txt" ] ||
  fail "the wide verb string was taken"
# Boxes without icon: a folder where the parameter file goes, then no program beside the library.
mkdir "$dir/lkpara.dat" && click try "$n\\表 ソ"
printf -v text 'box unknown %s\n\n%s\n（ %s ）' 'パラメータファイルの作成に失敗しました。　' \
  '書き込み権限等を確認してください。　' "$(win "$dir")\\lkpara.dat"
grep -q "$done" <<<"$out" && [[ "$out" == *"$text"* ]] && [ ! -e "$dir/standin.txt" ] || fail "expected $text"
rmdir "$dir/lkpara.dat" && rm "$dir/Larkspan.exe" && click try "$n\\表 ソ"
text='box unknown バックアップに失敗しました（バックアップ実行モジュール無し）　'
grep -q "$done" <<<"$out" && [[ "$out" == *"$text"* ]] || fail "expected $text"

step "setup" wine "$setup" /S
# Wine 8 keeps one key for both views here; Windows does not: read the view Explorer reads.
view=/reg:${arch#win} classes='HKCU\Software\Classes' class='CLSID\{D536B8B1-51E1-4287-ABB7-BA665DF631A3}'
for key in {'*',Directory,Drive}'\shellex\ContextMenuHandlers\Larkspan'; do
  step "registry key $key" wine reg query "$classes\\$key" $view >/dev/null
done
server=$(wine reg query "$classes\\$class\\InprocServer32" /ve $view </dev/null |
  LC_ALL=C sed -n 's/.*REG_SZ[[:space:]]*//p' | tr -d '\r')
install=$(dirname "$(winepath -u "$server" 2>/dev/null)")
[ "${server##*\\}" = LarkspanShell.dll ] && cmp -s "$library" "$install/LarkspanShell.dll" || fail "registered: $server"
program=$root/dist/Larkspan.exe
[ $arch = win32 ] || program=$root/dist/x64/Larkspan.exe
[ -f "$install/Larkspan.chm" ] && cmp -s "$program" "$install/Larkspan.exe" || fail "no Larkspan.chm, or not $program"
[ $arch = win32 ] || cmp -s "$root/dist/LarkspanShell.dll" "$install/LarkspanShell32.dll" || fail "no 32-bit library"

# The selection in System32, where 64-bit Explorer sees it; redirected, a 32-bit program would see SysWOW64,
# here a copy whose lkprobe.txt differs.
data=$WINEPREFIX/drive_c/windows/system32/lkdata wow=$WINEPREFIX/drive_c/windows/syswow64/lkdata
mkdir -p "$data/表/sub" "$work/backup" && printf 'alpha\r\n' >"$data/a.txt"
printf 'the 64-bit view' >"$data/lkprobe.txt" && head -c 5000 /dev/urandom >"$data/表/sub/b.bin"
[ $arch = win32 ] || { cp -r "$data" "$wow" && printf 'the 32-bit view' >"$wow/lkprobe.txt"; }
backup=$(win "$work/backup")
sjis '[Backup]\r\nBackupFolder=%s\r\n[BkFolderList]\r\nBkFolder000=%s\r\n' "$backup" "$backup" >"$install/Larkspan.ini"
step "Explorer's call" wine "$explorer" call 'C:\windows\system32\lkdata\'{a.txt,表,lkprobe.txt}
verdict=$(timeout $limit wine "$explorer" start </dev/null | iconv -f CP932 -t UTF-8)
grep -q 'バックアップが正常終了しました' <<<"$verdict" || fail "no success verdict: $verdict"
step "verdict answered" wine "$explorer" ok
made=("$work/backup"/*)
[ ${#made[@]} = 1 ] && diff -r "$data" "${made[0]}" || fail "the copy differs"

# Setup and uninstall while Explorer holds the installed library (which Windows and Wine will not let be
# overwritten or deleted): setup ends well with the new library in place, uninstall leaves only Larkspan.ini.
hold() {  # N: a holder of the installed library, until the file stopN exists
  wine "$explorer" hold "$(win "$install/LarkspanShell.dll")" "$(win "$work/stop$1")" >"$work/held$1" </dev/null &
  awaits grep -q held "$work/held$1" || fail "holder $1 did not load the library"
}
only_ini() { [ "$(ls "$install")" = Larkspan.ini ]; }
printf x >>"$install/LarkspanShell.dll"  # the old library, as a setup of another build left it
hold 1
settings=$(cat "$install/Larkspan.ini")
step "setup over a loaded library" wine "$upgrade" /S
cmp -s "$library" "$install/LarkspanShell.dll" && cmp -s "$program" "$install/Larkspan.exe" &&
  [ "$(cat "$install/Larkspan.ini")" = "$settings" ] || fail "setup over a loaded library: old files, or settings lost"
touch "$work/stop1" && wait
hold 2
uninstaller=$(ls "$install" | grep -iv 'larkspan\.\(exe\|ini\|chm\)\|\.dll$\|\.old$' | head -1)
step "uninstall" wine "$install/$uninstaller" /S
# The uninstaller hands over to a copy of itself and returns at once.
awaits only_ini || fail "left after the uninstall: $(ls "$install")"
for v in /reg:32 $view; do wine reg query "$classes\\$class" $v </dev/null &>/dev/null && fail "class left ($v)"; done
touch "$work/stop2" && wait
# A setup that cannot write its files (an install folder nobody may write to) never ends as a success.
# Wine's server opens the files: it starts anew without the privilege that writes anyway.
chmod 555 "$install" && wineserver -k && wineserver -w
setpriv --inh-caps=-dac_override --bounding-set=-dac_override wine "$setup" /S </dev/null &&
  fail "setup that wrote nothing exited 0"
only_ini || fail "left by the failed setup: $(ls "$install")"
exit $failed
