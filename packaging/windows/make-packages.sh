#!/bin/sh
# Makes the Windows packages of one release from the built program: the
# portable zip, whose one folder Quillmar-VERSION holds quillmar.exe, the
# licence and a README, and the MSI that installs the same program. The same
# inputs give the same bytes: every file is stamped with EPOCH (seconds since
# 1970, the release's time) and given fixed permissions, and the archives hold
# them in a fixed order. With a certificate (see sign.sh) quillmar.exe is
# signed before it is packed, and then the MSI.
#
#   make-packages.sh OUT_DIR VERSION NUMERIC_VERSION EPOCH EXE ICON LICENSE README
#
# VERSION is the name ("4.6.9b"), NUMERIC_VERSION the four numbers Windows
# compares ("4.6.9.0"); LICENSE and README are text with Windows line ends.
set -eu
[ $# -eq 8 ] || { sed -n '2,14s/^# \{0,1\}//p' "$0" >&2; exit 2; }
mkdir -p "$1"
out=$(cd "$1" && pwd) version=$2 numeric_version=$3 epoch=$4 exe=$5 icon=$6 license=$7 readme=$8
here=$(cd "$(dirname "$0")" && pwd)
folder=Quillmar-$version
msi=quillmar-$version-x64.msi
zip=quillmar-$version-win64.zip

stage=$out/stage
rm -rf "$stage"
mkdir -p "$stage/$folder"
cp "$exe" "$stage/$folder/quillmar.exe"
"$here/sign.sh" "$stage/$folder/quillmar.exe" "Quillmar $version"
cp "$license" "$stage/$folder/LICENSE.txt"
cp "$readme" "$stage/$folder/README.txt"
cp "$icon" "$stage/quillmar.ico"
chmod 755 "$stage/$folder" "$stage/$folder/quillmar.exe"
chmod 644 "$stage/$folder/LICENSE.txt" "$stage/$folder/README.txt" "$stage/quillmar.ico"
find "$stage" -exec touch -h -d "@$epoch" {} +

# -X: no owner or extra time fields; zip writes local time, so UTC it is.
rm -f "$out/$zip" "$out/$zip.tmp"
(cd "$stage" && TZ=UTC zip -X -q -9 "$out/$zip.tmp" "$folder/" \
    "$folder/quillmar.exe" "$folder/LICENSE.txt" "$folder/README.txt")
mv "$out/$zip.tmp" "$out/$zip"

# The product code belongs to the version: the same for every build of it, so
# a rebuild never installs beside the installed one, and new for the next. It
# is the name-based UUID of the version in the upgrade code's namespace.
upgrade_code=$(sed -n 's/.*UpgradeCode="\([0-9A-F-]*\)".*/\1/p' "$here/quillmar.wxs")
product_code=$(perl -MDigest::SHA=sha1 -e '
    my ($ns, $name) = @ARGV; $ns =~ tr/-//d;
    my $h = sha1(pack("H*", $ns) . $name);
    substr($h, 6, 1) = chr((ord(substr($h, 6, 1)) & 0x0f) | 0x50);
    substr($h, 8, 1) = chr((ord(substr($h, 8, 1)) & 0x3f) | 0x80);
    my $u = uc unpack("H*", substr($h, 0, 16));
    $u =~ s/^(.{8})(.{4})(.{4})(.{4})(.{12})$/$1-$2-$3-$4-$5/; print $u' "$upgrade_code" "$version")
# Apps & features shows the size in KiB.
size=$(cat "$stage/$folder/quillmar.exe" "$stage/$folder/LICENSE.txt" | wc -c)
size_kib=$(( (size + 1023) / 1024 ))

# wixl finds the files it packs by paths relative to where it runs.
rm -f "$out/$msi"
(cd "$stage" && wixl --arch x64 -D Version="$numeric_version" -D VersionText="$version" \
    -D ProductCode="$product_code" -D SizeKiB="$size_kib" \
    -D ProgramFile="$folder/quillmar.exe" -D LicenseFile="$folder/LICENSE.txt" -D IconFile=quillmar.ico \
    -o "$out/$msi.tmp" "$here/quillmar.wxs")
perl "$here/fix-msi-summary.pl" "$out/$msi.tmp" "$epoch"
"$here/sign.sh" "$out/$msi.tmp" "Quillmar $version installer"
touch -d "@$epoch" "$out/$msi.tmp" "$out/$zip"
mv "$out/$msi.tmp" "$out/$msi"
