#!/usr/bin/perl
# Reads dBase files with Perl's XBase module and prints them in the plain
# form that the engine's interoperability tests print from their own reading.
#
#   xbase_read.pl rows FILE.DBF   a "fields" line (NAME:T:length:decimals),
#                                 then one line per live row: its record
#                                 number, then NAME=value for every field
#   xbase_read.pl tags FILE.MDX   one line per tag: its name, a tab, then the
#                                 record numbers in the order the tag's
#                                 B-tree walks them (deleted rows included)
#
# Values: "null" for a blank field; numbers with the field's decimals; dates
# yyyymmdd; logicals T or F; texts and memos without trailing blanks, bytes
# below 0x20 and the backslash written as \xHH. Texts stay Latin-1 bytes.
use strict;
use warnings;
use XBase;
use XBase::Index;

binmode STDOUT;

sub text {
  my ($v) = @_;
  return 'null' unless defined $v;
  $v =~ s/ +$//;
  return 'null' if $v eq '';
  $v =~ s/([\x00-\x1f\\])/sprintf('\\x%02x', ord $1)/ge;
  return $v;
}

sub rows {
  my ($file) = @_;
  my $t = XBase->new(name => $file, ignorememo => 0) or die XBase->errstr;
  my @names = $t->field_names;
  my @types = $t->field_types;
  my @lengths = $t->field_lengths;
  my @decimals = $t->field_decimals;
  print join("\t", 'fields', map { "$names[$_]:$types[$_]:$lengths[$_]:$decimals[$_]" } 0 .. $#names), "\n";
  for my $i (0 .. $t->last_record) {
    my ($deleted, @values) = $t->get_record($i);
    die $t->errstr unless defined $deleted;
    next if $deleted;
    my @out = ($i + 1);
    for my $f (0 .. $#names) {
      my ($type, $v) = ($types[$f], $values[$f]);
      my $s;
      if (!defined $v) { $s = 'null'; }
      elsif ($type eq 'N' || $type eq 'F') { $s = $v =~ /\S/ ? sprintf('%.*f', $decimals[$f], $v) : 'null'; }
      elsif ($type eq 'L') { $s = $v ? 'T' : 'F'; }
      elsif ($type eq 'D') { $s = $v =~ /^\d{8}$/ ? $v : 'null'; }
      else { $s = text($v); }
      push @out, "$names[$f]=$s";
    }
    print join("\t", @out), "\n";
  }
  $t->close;
}

sub tags {
  my ($file) = @_;
  my $index = XBase::Index->new($file) or die XBase::Index->errstr;
  for my $tag ($index->tags) {
    my $walk = XBase::Index->new($file, tag => $tag) or die XBase::Index->errstr;
    $walk->prepare_select;
    my @recs;
    while (my ($key, $rec) = $walk->fetch) { push @recs, $rec; }
    print "$tag\t@recs\n";
  }
}

my ($what, $file) = @ARGV;
die "usage: xbase_read.pl rows FILE.DBF | tags FILE.MDX\n" unless defined $file;
if ($what eq 'rows') { rows($file); }
elsif ($what eq 'tags') { tags($file); }
else { die "unknown command $what\n"; }
