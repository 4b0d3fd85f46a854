#!/bin/sh
# Installs, starts, upgrades and uninstalls the MSI under wine, as a user
# would, and checks each step: the program and its Start-menu shortcut, the
# Apps & features entry (name, version, publisher, folder, size, icon), the
# window on screen, the settings left in the registry after uninstalling,
# another build of the same version never installing beside it, and a newer
# version replacing the older. Wants a private wine prefix and a display:
#
#   packaging/with-wine-prefix.sh xvfb-run -a packaging/check-msi-wine.sh [PACKAGE_DIR]
#
# PACKAGE_DIR (build-package) holds the MSI; its windows/ build holds what a
# second, newer MSI is made of.
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
package_dir=$(cd "${1:-build-package}" && pwd)
wine=/usr/lib/wine/wine64
msi=$(ls "$package_dir"/quillmar-*-x64.msi)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

: "${WINEPREFIX:?run under packaging/with-wine-prefix.sh}"
: "${DISPLAY:?run on a display, e.g. under xvfb-run -a}"

fail() { echo "check-msi-wine: FAILED: $*" >&2; exit 1; }
pass() { printf 'check-msi-wine: ok: %s\n' "$*"; }

# The version as people write it (4.6.9b), in the product's name, and as the
# installer writes it, four numbers (4.6.9.0).
version_text=$(basename "$msi" | sed -E 's/^quillmar-(.*)-x64\.msi$/\1/')
version=$(echo "$version_text" | sed -E 's/^([0-9]+\.[0-9]+\.[0-9]+).*/\1.0/')

unix_path() { "$wine" winepath -u "$1" 2>/dev/null; }
local_app_data=$(unix_path "$("$wine" cmd /c echo %LOCALAPPDATA% | tr -d '\r')")
app_data=$(unix_path "$("$wine" cmd /c echo %APPDATA% | tr -d '\r')")
install_dir="$local_app_data/Programs/Quillmar"
program="$install_dir/quillmar.exe"
shortcut="$app_data/Microsoft/Windows/Start Menu/Programs/Quillmar.lnk"
settings='HKCU\Software\Quillmar\Settings'

# The Apps & features entries named Quillmar and a version, one
# "DisplayVersion" line each.
uninstall_entries() {
    for root in HKLM HKCU; do
        "$wine" reg query "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s 2>/dev/null |
            tr -d '\r' | awk '/^HKEY/ { key = $0 } /DisplayName.*REG_SZ +Quillmar [0-9]/ { names[key] = 1 }
                              /DisplayVersion/ { versions[key] = $NF }
                              END { for (k in names) print "DisplayVersion", versions[k] }'
    done
}

"$wine" msiexec /i "$msi" /qn || fail "msiexec /i exited with $?"
[ -f "$program" ] || fail "no program at $program"
[ -f "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"
pass "installed $program and $shortcut"

entries=$(uninstall_entries)
[ "$entries" = "DisplayVersion $version" ] || fail "Apps & features entry: '$entries', wanted version $version"
"$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' |
    awk '/^HKEY/ { if (mine) exit; n = 0 } { entry[n++] = $0 }
         /DisplayName.*REG_SZ +Quillmar / { mine = 1 } END { if (mine) for (i = 0; i < n; i++) print entry[i] }' \
    >"$work/entry"
grep -q "DisplayName.*REG_SZ *Quillmar $version_text\$" "$work/entry" || fail "Apps & features entry is not named Quillmar $version_text"
grep -q 'Publisher.*The Quillmar developers' "$work/entry" || fail "Apps & features entry has no publisher"
grep -q 'UninstallString.*MsiExec.exe /X' "$work/entry" || fail "Apps & features entry has no uninstall command"
location=$(awk '/InstallLocation/ { sub(/.*REG_SZ +/, ""); print }' "$work/entry")
[ "$(unix_path "$location" | sed 's|/*$||')" = "$install_dir" ] ||
    fail "Apps & features entry's folder is '$location', not the install folder"
# Windows shows ARPSIZE as the size; wine writes no size, so the MSI's own
# property is read (msitools).
mkdir -p "$work/tables" && msidump -t -d "$work/tables" "$msi" >/dev/null || fail "msidump could not read the MSI"
size=$(awk -F'\t' '$1 == "ARPSIZE" { print $2 }' "$work/tables/Property.idt")
program_kib=$(( $(stat -c %s "$program") / 1024 ))
[ -n "$size" ] && [ "$size" -ge "$program_kib" ] && [ "$size" -le $((program_kib + 16)) ] ||
    fail "the MSI's ARPSIZE is '$size' KiB, the program alone $program_kib KiB"
pass "Apps & features: Quillmar $version_text, version $version, publisher, $location, $size KiB, icon, uninstall command"

# Another build of the installed version (another time, so other bytes) is
# the same product: Windows Installer refuses it or reinstalls, never puts a
# second entry beside the first.
windows_build="$package_dir/windows"
make_msi() { # VERSION NUMERIC_VERSION EPOCH: an MSI in $work of the built program
    "$source_dir/packaging/windows/make-packages.sh" "$work/$1-$3" "$1" "$2" "$3" \
        "$windows_build/bin/quillmar.exe" "$windows_build/resources/quillmar.ico" \
        "$windows_build/text/LICENSE.txt" "$windows_build/text/README.txt" >&2 ||
        fail "could not make an MSI of $1"
    echo "$work/$1-$3/quillmar-$1-x64.msi"
}
rebuilt=$(make_msi "$version_text" "$version" 86400)
! cmp -s "$msi" "$rebuilt" || fail "the rebuild at another time is the same bytes: nothing is tested"
"$wine" msiexec /i "$rebuilt" /qn && rebuilt_answer="installed over it" || rebuilt_answer="refused ($?)"
entries=$(uninstall_entries)
[ "$entries" = "DisplayVersion $version" ] || fail "after another build of $version_text: '$entries'"
pass "another build of $version_text: $rebuilt_answer, one entry"

# The installed program shows its window; closed as a user closes it (Alt+F4),
# it writes its settings.
"$wine" "$program" >"$work/program.log" 2>&1 &
pid=$!
window=
for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name '^Disk Usage' 2>/dev/null | head -1) && [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$work/program.log" >&2; fail "the installed program ended without a window"; }
    sleep 0.1
done
[ -n "$window" ] || { kill "$pid"; fail "no window within 30 s"; }
pass "the installed program shows its window: $(xdotool getwindowname "$window")"
xdotool windowfocus --sync "$window" key alt+F4
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then kill "$pid"; fail "the window did not close on Alt+F4"; fi
"$wine" reg query "$settings" /v Drive >/dev/null 2>&1 || fail "the program wrote no settings at close"
"$wine" reg query "$settings" | tr -d '\r' >"$work/settings-before"

"$wine" msiexec /x "$msi" /qn || fail "msiexec /x exited with $?"
[ ! -e "$program" ] || fail "the program is still there after uninstalling"
[ ! -e "$shortcut" ] || fail "the shortcut is still there after uninstalling"
[ ! -e "$install_dir" ] || fail "the folder $install_dir is still there after uninstalling"
[ -z "$(uninstall_entries)" ] || fail "the Apps & features entry is still there after uninstalling"
"$wine" reg query "$settings" | tr -d '\r' >"$work/settings-after" || fail "uninstalling removed $settings"
cmp -s "$work/settings-before" "$work/settings-after" || fail "uninstalling changed $settings"
pass "uninstalled: program, shortcut and entry gone, $settings kept"

# A newer version, the same program in an installer one revision higher,
# replaces the installed one.
newer=$(echo "$version" | awk -F. '{ printf "%d.%d.%d.0", $1, $2, $3 + 1 }')
newer_msi=$(make_msi "${newer%.0}" "$newer" 0)
"$wine" msiexec /i "$msi" /qn || fail "installing $version again exited with $?"
"$wine" msiexec /i "$newer_msi" /qn || fail "installing $newer over $version exited with $?"
entries=$(uninstall_entries)
[ "$entries" = "DisplayVersion $newer" ] || fail "after the upgrade, Apps & features: '$entries', wanted only $newer"
[ -f "$program" ] && [ -f "$shortcut" ] || fail "the upgrade left no program or no shortcut"
"$wine" reg query "$settings" | tr -d '\r' >"$work/settings-after" || fail "the upgrade removed $settings"
cmp -s "$work/settings-before" "$work/settings-after" || fail "the upgrade changed $settings"
pass "$newer replaced $version; program, shortcut and settings in place"
"$wine" msiexec /x "$newer_msi" /qn || fail "uninstalling $newer exited with $?"
[ ! -e "$program" ] || fail "the program is still there after uninstalling $newer"
pass "all MSI checks"
