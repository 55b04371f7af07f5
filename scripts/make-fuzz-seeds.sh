#!/usr/bin/env bash
# Writes the fuzz targets' seed corpora and dictionaries: data files made by lmdgen, and small
# command scripts, help files and settings files written here.
# Usage: scripts/make-fuzz-seeds.sh BUILD_DIR OUT_DIR   (OUT_DIR/<target>/ and OUT_DIR/<target>.dict)
set -euo pipefail
build=$1
out=$2
lmdgen="$build/lmdgen"
rm -rf "$out"
mkdir -p "$out"/{fuzz_loader,fuzz_commands,fuzz_help,fuzz_settings,fuzz_archive_index,fuzz_download_body}

# --- the loader: small files of every shape the loader has to tell apart
gen() { local name=$1; shift; "$lmdgen" "$@" "$out/fuzz_loader/$name.lmd"; }
gen one --rows 40
gen eight --channels 8 --rows 20 --notes 'Clear\nwind 3' --name 0:Horn --offset 2:+0.5 --ut
gen no-section --channels 2 --rows 20 --no-section
gen raw-notes --rows 10 --raw-notes 'free text \x00\xff'
gen backwards --channels 3 --rows 30 --set-time 10:45372.5 --set-value 5:1:nan --set-value 6:2:-inf
gen truncated --rows 30 --truncate 300
gen partial --channels 2 --rows 20 --partial-bytes 7
gen channels-field --channels 2 --rows 20 --num-channels-field 9
gen notes-field --rows 20 --notes-length-field 99999
gen odd-header --rows 5 --latitude 40.99999 --longitude -0.999999 --timezone -11 --ymax -1 --ymin 1e300

# --- the archive index: the demo archive's own index, and lines the reader has to refuse or mend
archive=$(mktemp -d)
"$build/archivegen" "$archive" > /dev/null
cp "$archive/varecords_sort.txt" "$out/fuzz_archive_index/demo"
rm -rf "$archive"
sed 's/$/\r/' "$out/fuzz_archive_index/demo" > "$out/fuzz_archive_index/crlf"
tr '\n' '\r' < "$out/fuzz_archive_index/demo" > "$out/fuzz_archive_index/cr-only"
printf '<!DOCTYPE html>\n<html><body><h1>Not Found</h1></body></html>\n' > "$out/fuzz_archive_index/html"
sed 's#12/23/2003#2/30/99999#; s#|1700|#|2561|#; s#ursids.lmd#../ursids.lmd#' \
  "$out/fuzz_archive_index/demo" > "$out/fuzz_archive_index/bad-fields"

# --- download bodies: encoding, cap and piece size in the first three bytes, then the body
body() { local name=$1 head=$2; { printf "$head"; cat; } > "$out/fuzz_download_body/$name"; }
printf 'Lumora body text\n%.0s' 1 2 3 4 5 6 7 8 | body plain '\000\001\005'
printf 'Lumora body text\n%.0s' 1 2 3 4 5 6 7 8 | gzip -c | body gzip '\001\000\007'
printf 'Lumora body text\n%.0s' 1 2 3 4 5 6 7 8 | gzip -c | head -c 20 | body gzip-cut '\001\002\003'
printf 'Lumora body text\n%.0s' 1 2 3 4 5 6 7 8 | body over-cap '\003\001\037'

# --- the command line: the first character picks the file loaded first (0 = none)
script() { local name=$1; shift; printf '%s\n' "$@" > "$out/fuzz_commands/$name"; }
script reports 1 ID INFO STATS NOTES LIMITS CHANNELS WIDTH 2 MAX 3 MIN -1 FULL SCALE
script channels 2 CHANNELS 8 CHANNELS 0 CHANNEL 3 ':shift+right' ':left' ':right' ':up' ':down'
script scan-nested 1 SPEED 0 SCAN ':space' SCAN SCAN ':esc'
script scan-paused 2 SCAN ':space' SOUND ':space' ':esc' SONIFY ':esc'
script sound 1 SOUND AMP FREQ TONE 440 SQUARE SINE NOISE VOL 7 VOL 0 SPEED 10000 SPEED 0.0001 SCAN
script window 3 START '21:00:02' STOP '21:00:04' WIDTH 0.05 ':key S' ':shift+left' FULL START 'x' STOP ''
script load 0 LOAD one.lmd LOAD eight.lmd LOAD one.lmd LASTFILE 'LOAD D' ':answer odd.lmd' ':click MnuLoadDataFile'
script load-bad 0 LOAD cut.txt LOAD nothing.lmd LOAD '' INFO CHANNELS 9
script export 4 EXPORT '' EXP 'mine.txt' EXPORT mine.txt ':click mnuExportToTabDelimitedFile'
script save 2 ':answer saved.lmd' ':click mnuSave' ':answer' ':click cmdSaveView' LOAD saved.lmd
script clip 3 CLIP 2 50 ':click mnuClipSpikes' ':esc'
script folders 1 CURDIR FOLDERS LIST 'FILES LMD' 'FILES' CD . CD nowhere CD ''
script help 0 '?' ':type scan' ':f1' ':click mnuHelp' ':esc'
script quit 1 VA 2024-03-21 QUIT STATS

# --- the help file reader: the first line is the word asked for, the rest the file
help=data/LMSonifyHelp.txt
{ echo scan; cat "$help"; } > "$out/fuzz_help/shipped"
printf '%s\n' '' '\\ a comment' 'ab' 'SCAN plays the chart' 'scan' '' > "$out/fuzz_help/short"
printf 'Load\r\nLOAD a file\r\n\\\\ note\r\nx\r\n' > "$out/fuzz_help/crlf"

# --- the settings file
ini() { local name=$1; shift; printf '%s\n' "$@" > "$out/fuzz_settings/$name"; }
ini defaults '[Settings]' 'ScanSpeed=100' 'SndAM=False' 'SndFM=True' 'SndSine=True' 'AutoTitle=False'
ini odd-values '[Settings]' 'ScanSpeed=nan' 'TZ=1e300' 'UserLat=-91.5x' 'UserLng=inf' 'SndNoise=true' 'SourceADC=True' \
  'Author=a very long author name that goes on' 'LocalName=..\x00' 'QTH=' 'OrganizeByMonth=False' 'OrganizeByDay=yes'
ini recent '[Recent]' 'RecentLoaded1=one.lmd' 'RecentLoaded2=' 'RecentSaved5=x' '[Settings]' 'DataDirectory=data' 'LastLoadDir=..'
ini sources '[Settings]' 'SourceLine=True' 'SourceStereo=True' 'SourceTestRamp=TRUE' 'ScanSpeed=0' 'AutoTitle=True' 'PromptBeforeSaving=False'

# --- dictionaries: the words each reader looks for
words() { local name=$1; shift; for w in "$@"; do printf '"%s"\n' "$w"; done > "$out/$name.dict"; }
words fuzz_commands LOAD 'LOAD D' SCALE QUIT VA ID EXPORT LASTFILE WIDTH CURDIR CD FOLDERS CHANNELS CLIP SCAN SOUND \
  AMP FREQ TONE SQUARE SINE NOISE STATS INFO NOTES LIMITS MAX MIN START STOP '?' FULL LIST 'FILES ' VOL SPEED \
  ':esc' ':enter' ':space' ':tab' ':f1' ':left' ':right' ':up' ':down' ':shift+' ':ctrl+' ':key ' ':type ' \
  ':answer ' ':click ' mnuSave cmdSaveView mnuScan mnuClipSpikes MnuLoadDataFile mnuExportToTabDelimitedFile mnuHelp MnuExit
words fuzz_settings '[Settings]' '[Recent]' ScanSpeed SndAM SndFM SndNoise SndSine SndSquare TZ UserLat UserLng Author \
  LocalName QTH SourceLine SourceStereo SourceADC SourceADC2 SourceTestRamp DataDirectory LastLoadDir AutoTitle \
  OrganizeByMonth OrganizeByDay PromptBeforeSaving RecentLoaded1 RecentSaved1 True False
