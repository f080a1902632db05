#!/usr/bin/perl
# The rule engine benchmark's comparison: the same three edits as
# batch_edits.dslr, written the way a cataloguer would with MARC::Record.
#   perl batch_edits.pl IN.mrc OUT.mrc
# Every record read is written, changed or not.
use strict;
use warnings;
use MARC::File::USMARC;
use MARC::Field;

@ARGV == 2 or die "usage: $0 IN.mrc OUT.mrc\n";
my ($in, $out) = @ARGV;

open(my $infh, '<:raw', $in) or die "$in: $!\n";
open(my $outfh, '>:raw', $out) or die "$out: $!\n";
local $/ = "\x1D";    # one record at a time, as MARC::File::USMARC reads them
while (my $raw = <$infh>) {
    $raw =~ s/^[ \x00\x0a\x0d\x1a]+//;
    next if $raw eq '';
    my $record = eval { MARC::File::USMARC->decode($raw) };
    if (!$record) {
        # A record that says UTF-8 but is not dies in decoding; edit its
        # bytes as they are instead of losing it.
        substr($raw, 9, 1) = ' ';
        $record = MARC::File::USMARC->decode($raw);
        my $leader = $record->leader();
        substr($leader, 9, 1) = 'a';
        $record->leader($leader);
    }

    $record->delete_fields(grep { $_->tag() =~ /^9/ } $record->fields());
    my @titles = $record->field('245');
    if (@titles) {
        $_->update(ind2 => '0') for @titles;
        $record->insert_fields_ordered(
            MARC::Field->new('590', ' ', ' ', a => 'Batch reviewed'));
    }

    # UTF-8 records are read as characters; write them back as bytes.
    my $bytes = $record->as_usmarc();
    utf8::encode($bytes) if utf8::is_utf8($bytes);
    print {$outfh} $bytes or die "$out: $!\n";
}
close($outfh) or die "$out: $!\n";
