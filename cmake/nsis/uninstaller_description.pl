#!/usr/bin/perl
# Gives the uninstaller a FileDescription of its own: NSIS writes it from the setup's stub, with
# the setup's version resource.   uninstaller_description.pl <file> <old text> <new text>
# The new text is no longer than the old (the rest of the value stays NUL), so no length in the
# resource changes; four of those NULs are then chosen so that the file's CRC32, which the
# uninstaller checks when it starts, is what it was.
use strict;
use warnings;
use Compress::Zlib qw(crc32);

my ($file, $old, $new) = @ARGV;
die "usage: $0 file old new\n" unless defined $new;
sub utf16 { return join '', map { $_ . "\0" } split //, $_[0]; }
# The value, its terminating NUL and four bytes to spare.
die "'$new' must be at least three characters shorter than '$old'\n" if length($new) + 3 > length($old);
open(my $in, '<:raw', $file) or die "$file: $!\n";
my $data = do { local $/; <$in> };
close $in;
my $key = utf16("FileDescription");
$data =~ /\Q$key\E\0\0(?:\0\0)?(\Q@{[utf16($old)]}\E)/ or die "no FileDescription '$old' in $file\n";
my $at = $-[1];
# NSIS checks the CRC of everything up to its own last four bytes.
my $covered = length($data) - 4;
my $want = crc32(substr($data, 0, $covered));
substr($data, $at, length($1)) = utf16($new) . ("\0\0" x (length($old) - length($new)));
my $spare = $at + 2 * length($new) + 2;
my $base = crc32(substr($data, 0, $covered));
# The CRC is linear in the data: find the 32 bits at `spare` whose share undoes the change.
my @columns;
for my $bit (0 .. 31) {
    my $probe = $data;
    substr($probe, $spare, 4) = pack('V', 1 << $bit);
    push @columns, [crc32(substr($probe, 0, $covered)) ^ $base, 1 << $bit];
}
my $target = $want ^ $base;
my ($sum, $choice) = (0, 0);
# Gaussian elimination over GF(2), one pivot bit of the CRC at a time.
my @rows = @columns;
for my $pivot (0 .. 31) {
    my ($found) = grep { ($rows[$_][0] >> $pivot) & 1 } $pivot .. 31;
    die "no solution\n" unless defined $found;
    @rows[$pivot, $found] = @rows[$found, $pivot];
    for my $other (0 .. 31) {
        next if $other == $pivot || !(($rows[$other][0] >> $pivot) & 1);
        $rows[$other] = [$rows[$other][0] ^ $rows[$pivot][0], $rows[$other][1] ^ $rows[$pivot][1]];
    }
}
for my $pivot (0 .. 31) { $choice ^= $rows[$pivot][1] if ($target >> $pivot) & 1; }
substr($data, $spare, 4) = pack('V', $choice);
die "the CRC could not be kept\n" unless crc32(substr($data, 0, $covered)) == $want;
open(my $out, '>:raw', $file) or die "$file: $!\n";
print $out $data;
close $out;
