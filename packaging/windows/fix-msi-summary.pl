#!/usr/bin/perl
# Makes an MSI from wixl the same bytes for the same contents: wixl stamps the
# summary information with the time of the build and a random package code.
# The times become the release's (SOURCE_DATE_EPOCH), and the package code a
# name-based UUID of the MSI's bytes with the code left out, so that it still
# differs whenever the contents do, as Windows Installer requires.
#
#   fix-msi-summary.pl MSI EPOCH
use strict;
use warnings;
use Digest::SHA qw(sha1);

my ($msi, $epoch) = @ARGV;
die "usage: $0 MSI EPOCH\n" unless defined $epoch && $epoch =~ /^\d+$/;
open(my $in, '<:raw', $msi) or die "$msi: $!\n";
my $bytes = do { local $/; <$in> };
close $in;

# The summary information property set, found by its format id; wixl writes
# it as one small stream, whole, after this id.
my $fmtid = pack('H*', 'e0859ff2f94f6810ab9108002b27b3d9');
my $start = index($bytes, $fmtid);
die "$msi: no summary information\n" if $start < 0;
my $end = $start + 512;

# FILETIME: 100-ns steps since 1601-01-01.
my $filetime = pack('Q<', ($epoch + 11644473600) * 10000000);
my $times = 0;
for (my $at = index($bytes, "\x40\x00\x00\x00", $start); $at >= 0 && $at + 12 <= $end;
     $at = index($bytes, "\x40\x00\x00\x00", $at + 12)) {
    substr($bytes, $at + 4, 8) = $filetime;
    $times++;
}
die "$msi: found $times times in the summary, wanted 2 or 3\n" unless $times == 2 || $times == 3;

# The package code: a string property, 39 bytes with its NUL, "{GUID}".
my $code_at;
while ($bytes =~ /\x1e\x00\x00\x00\x27\x00\x00\x00(?=\{[0-9A-F-]{36}\}\x00)/g) {
    next if $-[0] < $start || $-[0] > $end;
    die "$msi: two package codes\n" if defined $code_at;
    $code_at = pos($bytes) + 1;
}
die "$msi: no package code\n" unless defined $code_at;
substr($bytes, $code_at, 36) = '0' x 36;
my $hash = sha1($bytes);
# Version 5 and the RFC 4122 variant, as a name-based UUID is marked.
substr($hash, 6, 1) = chr((ord(substr($hash, 6, 1)) & 0x0f) | 0x50);
substr($hash, 8, 1) = chr((ord(substr($hash, 8, 1)) & 0x3f) | 0x80);
my $uuid = uc unpack('H*', substr($hash, 0, 16));
$uuid =~ s/^(.{8})(.{4})(.{4})(.{4})(.{12})$/$1-$2-$3-$4-$5/;
substr($bytes, $code_at, 36) = $uuid;

open(my $out, '>:raw', "$msi.tmp") or die "$msi.tmp: $!\n";
print $out $bytes or die "$msi.tmp: $!\n";
close $out or die "$msi.tmp: $!\n";
rename("$msi.tmp", $msi) or die "$msi: $!\n";
