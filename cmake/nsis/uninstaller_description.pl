#!/usr/bin/perl
# Rewrites the FileDescription of a version resource in place:
#   uninstaller_description.pl <file> <old text> <new text>
# The new text may be shorter (the rest of the value becomes NULs), never longer, so that no
# length in the resource changes.
use strict;
use warnings;

my ($file, $old, $new) = @ARGV;
die "usage: $0 file old new\n" unless defined $new;
die "'$new' is longer than '$old'\n" if length($new) > length($old);
sub utf16 { return join '', map { $_ . "\0" } split //, $_[0]; }
my ($key, $from, $to) = (utf16("FileDescription"), utf16($old), utf16($new) . ("\0\0" x (length($old) - length($new))));
open(my $in, '<:raw', $file) or die "$file: $!\n";
my $data = do { local $/; <$in> };
close $in;
# The key, its terminating NUL and the padding to a 32-bit boundary, then the value.
$data =~ s/(\Q$key\E\0\0(?:\0\0)?)\Q$from\E/$1$to/ or die "no FileDescription '$old' in $file\n";
open(my $out, '>:raw', $file) or die "$file: $!\n";
print $out $data;
close $out;
