#!/bin/sh
# Makes the movie test matrix with the ffmpeg command: small clips of every
# container and codec the Movie importable is for, each with the ffmpeg
# command's own decode of it (NAME.raw: 32-bit RGBA, opaque clips with an
# alpha of 255, rows top first, unpadded) and the timestamps and frame
# rates ffprobe reads (NAME.times: "r_frame_rate avg_frame_rate time_base",
# then "pts duration" a line in display order, from the packets). Clips whose encoder this ffmpeg lacks are left out
# and listed in missing.txt. Sound files and a text file are made too, for
# refusals. The file "complete" is written last.
# Usage: make-movie-matrix.sh OUTPUT_DIRECTORY
set -eu
out="$1"
mkdir -p "$out"
rm -f "$out/complete"
: > "$out/missing.txt"
encoders=$(ffmpeg -hide_banner -encoders 2>/dev/null)
ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }
# The AV1 encoder's own log, errors only.
export SVT_LOG=1

# 24 frames of a moving test picture; the alpha one fades across and over time.
opaque="testsrc2=s=64x64:r=25"
alpha="testsrc2=s=64x64:r=25,format=rgba,geq=r='r(X,Y)':g='g(X,Y)':b='b(X,Y)':a='mod(X*4+N*9,256)'"

# clip NAME FILE_EXTENSION SOURCE DECODER ENCODER OPTIONS...
# DECODER "-" for the default one; the reference is decoded through
# $view_filter.
view_filter=null
clip() {
  name=$1 extension=$2 source=$3 decoder=$4 encoder=$5
  shift 5
  if ! printf '%s\n' "$encoders" | grep -q " $encoder "; then
    echo "$name $encoder" >> "$out/missing.txt"
    return
  fi
  file="$out/$name.$extension"
  ff -f lavfi -i "$source" -frames:v 24 -c:v "$encoder" "$@" "$file"
  reference "$name" "$file" "$decoder" "$view_filter"
}

# reference NAME FILE DECODER [FILTER]: the ffmpeg command's decode (which
# turns pictures upright as their display matrix says) and timestamps.
reference() {
  name=$1 file=$2 decoder=$3 filter=${4:-null}
  if [ "$decoder" = - ]; then set --; else set -- -c:v "$decoder"; fi
  ff -threads 1 "$@" -i "$file" -fps_mode passthrough -vf "$filter" -f rawvideo -pix_fmt rgba "$out/$name.raw"
  ffprobe -v error -select_streams v:0 -show_entries stream=r_frame_rate,avg_frame_rate,time_base -of csv=p=0 \
    "$file" | tr ',' ' ' > "$out/$name.times"
  ffprobe -v error -select_streams v:0 -show_entries packet=pts,duration -of csv=p=0 "$file" | grep -E "^-?[0-9]+" \
    | sed 's/N\/A/0/' | tr ',' ' ' | sort -n >> "$out/$name.times"
}

clip mp4_h264 mp4 "$opaque" - libx264 -bf 0 -g 8
clip mp4_h264_bframes mp4 "$opaque" - libx264 -bf 3 -g 8
clip mp4_hevc mp4 "$opaque" - libx265 -tag:v hvc1 -x265-params log-level=error:keyint=8:bframes=3
clip mov_prores4444 mov "$alpha" - prores_ks -profile:v 4444 -pix_fmt yuva444p10le
clip mov_png mov "$alpha" - png -pix_fmt rgba
clip mov_qtrle mov "$alpha" - qtrle -pix_fmt argb
clip mkv_vp9 mkv "$opaque" - libvpx-vp9 -g 8 -deadline realtime -cpu-used 8
clip mkv_ffv1 mkv "$opaque" - ffv1
clip webm_vp8 webm "$opaque" - libvpx -g 8 -deadline realtime -cpu-used 8
clip webm_vp9 webm "$opaque" - libvpx-vp9 -g 8 -deadline realtime -cpu-used 8
clip webm_vp9_alpha webm "$alpha" libvpx-vp9 libvpx-vp9 -pix_fmt yuva420p -g 8 -deadline realtime \
     -cpu-used 8
clip mkv_av1 mkv "$opaque" - libsvtav1 -g 8 -preset 12
clip ogv_theora ogv "$opaque" - libtheora -g 8 -q:v 7
# MPEG-4 Part 2 and H.263 as phones and cameras wrote them: the mov demuxer
# leaves their picture size to the first picture. H.263 knows only a few
# sizes; 128 × 96 is its smallest.
clip mp4_mpeg4 mp4 "$opaque" - mpeg4 -bf 2 -g 8 -q:v 2
clip 3gp_h263 3gp "testsrc2=s=128x96:r=25" - h263 -g 8 -q:v 2
clip 3g2_mpeg4 3g2 "$opaque" - mpeg4 -g 8 -q:v 2
# Phone clips: a display matrix turns them, written by exiftool into a
# copy of a landscape clip.
clip mp4_landscape mp4 "testsrc2=s=64x48:r=25" - libx264 -bf 2 -g 8
clip mov_landscape mov "testsrc2=s=64x48:r=25" - libx264 -bf 0 -g 8
turned() {
  name=$1 extension=$2 degrees=$3 from=$4
  if ! command -v exiftool > /dev/null || [ ! -f "$out/$from.$extension" ]; then
    echo "$name exiftool" >> "$out/missing.txt"
    return
  fi
  cp "$out/$from.$extension" "$out/$name.$extension"
  exiftool -q -overwrite_original -rotation="$degrees" "$out/$name.$extension"
  reference "$name" "$out/$name.$extension" -
}
turned mp4_rot90 mp4 90 mp4_landscape
turned mp4_rot180 mp4 180 mp4_landscape
turned mov_rot270 mov 270 mov_landscape
# Anamorphic clips: samples twice as wide (shown 64 wide) and half as wide
# (shown 64 high), the ffmpeg command's decode stretched the same way.
sar_clip() {
  name=$1 size=$2 sar=$3
  file="$out/$name.mkv"
  ff -f lavfi -i "testsrc2=s=$size:r=25,setsar=$sar" -frames:v 24 -c:v libx264 -bf 0 -g 8 "$file"
  reference "$name" "$file" - scale=64:64
}
sar_clip mkv_sar_wide 32x64 2
sar_clip mkv_sar_narrow 64x32 1/2
# Samples eight times as wide as high: damaged numbers, shown square.
sar_clip mkv_sar_extreme 64x64 8
# A screen recording that claims 60 frames a second but dropped every other
# picture: pictures 1/30 s apart.
clip mkv_dropped mkv "testsrc2=s=64x64:r=60,select='not(mod(n\\,2))'" - libx264 -bf 0 -g 8 -fps_mode passthrough
# Variable frame rate: pictures held for one to three frame times.
clip mp4_vfr mp4 "$opaque,setpts='(N+floor(N/3)+floor(N/5))/25/TB'" - libx264 -bf 0 -g 8 -fps_mode vfr
# A constant-rate MP4 whose last sample is a quarter of the others, as
# editors cut them: its duration set by the setts bitstream filter.
if [ -f "$out/mp4_h264.mp4" ]; then
  ff -i "$out/mp4_h264.mp4" -c copy -bsf:v "setts=duration='if(eq(N\,23)\,DURATION/4\,DURATION)'" \
    "$out/mp4_short_last.mp4"
  reference mp4_short_last "$out/mp4_short_last.mp4" -
fi

# Colours as players show them. Untagged HD (1280 wide here, kept 16 high to
# stay small) is BT.709; HDR (PQ and HLG, as phones record) is tone-mapped
# to SDR BT.709 by the chain below; interlaced MPEG-2 is deinterlaced by
# bwdif, one picture for each.
hdr_tags="colorprim=bt2020:colormatrix=bt2020nc"
tone_map="zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,tonemap=tonemap=hable:desat=0,\
zscale=t=bt709:m=bt709:r=tv,format=yuv420p"
# filtered NAME FILE_EXTENSION SOURCE FILTER ENCODER OPTIONS...
filtered() {
  view_filter=$4
  name=$1 extension=$2 source=$3 encoder=$5
  shift 5
  clip "$name" "$extension" "$source" - "$encoder" "$@"
  view_filter=null
}
filtered mkv_hd_untagged mkv "testsrc2=s=1280x16:r=25" scale=in_color_matrix=bt709 libx264 -bf 0 -g 8
filtered mkv_hdr_pq mkv "$opaque" "$tone_map" libx265 -pix_fmt yuv420p10le \
  -x265-params "log-level=error:keyint=8:$hdr_tags:transfer=smpte2084"
filtered mp4_hdr_hlg mp4 "$opaque" "$tone_map" libx265 -tag:v hvc1 -pix_fmt yuv420p10le \
  -x265-params "log-level=error:keyint=8:$hdr_tags:transfer=arib-std-b67"
filtered mkv_interlaced mkv "testsrc2=s=64x64:r=50,interlace" bwdif=mode=send_frame:parity=auto:deint=all \
  mpeg2video -flags +ildct+ilme -top 1 -g 8 -q:v 2
# One grey PQ picture above 4096 x 2304, shown without tone mapping.
if printf '%s\n' "$encoders" | grep -q " libx265 "; then
  ff -f lavfi -i color=c=gray:s=4352x2176:r=25 -frames:v 1 -c:v libx265 -preset ultrafast -pix_fmt yuv420p10le \
    -x265-params "log-level=error:$hdr_tags:transfer=smpte2084" "$out/hdr_large.mkv"
fi

ff -f lavfi -i "sine=frequency=440:duration=0.5" "$out/tone.wav"
ff -f lavfi -i "sine=frequency=440:duration=0.5" -c:a aac "$out/tone.m4a"
printf 'Not a movie at all,\njust a few lines of text.\n' > "$out/notes.txt"
touch "$out/complete"
