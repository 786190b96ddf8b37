#!/bin/sh
# Makes the example presentation's videos and music with the ffmpeg command,
# from its test sources and synthesizers, so that every byte of the example
# is our own. Usage: make-media.sh OUTPUT_DIRECTORY
set -eu
out="$1"
mkdir -p "$out"
ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

# Four flat stripes, stored losslessly: the rendered colours are known exactly.
ff -f lavfi -i "color=c=0x1E3A8A:s=40x120:r=5,format=rgb24" \
   -f lavfi -i "color=c=0xE0A030:s=40x120:r=5,format=rgb24" \
   -f lavfi -i "color=c=0x20A060:s=40x120:r=5,format=rgb24" \
   -f lavfi -i "color=c=0xC02040:s=40x120:r=5,format=rgb24" \
   -filter_complex "[0][1][2][3]hstack=inputs=4" -frames:v 5 \
   -c:v png -pix_fmt rgb24 "$out/stripes.avi"

# A zoom into the fractal, ten seconds at 25 frames per second.
ff -f lavfi -i "mandelbrot=s=160x120:r=25:start_scale=3:end_scale=0.02:end_pts=250" \
   -frames:v 250 -c:v mpeg4 -vtag xvid -q:v 6 "$out/fractal.avi"

# Cellular life, whose frames the presentation picks itself.
ff -f lavfi -i "life=s=128x96:r=25:mold=8:ratio=0.12:seed=7:life_color=#60F0A0:death_color=#102040:mold_color=#203080" \
   -frames:v 200 -c:v msmpeg4 "$out/life.avi"

# Drifting colour gradients in H.264, the way phones and editors deliver
# video today.
ff -f lavfi -i "gradients=s=128x96:r=25:d=8:speed=0.05:seed=3" -c:v libx264 -pix_fmt yuv420p \
   -g 25 "$out/gradients.mp4"

# A ring of light on a clear ground, its colours turning: the video with
# transparency, stored losslessly with its alpha (PNG in QuickTime).
ff -f lavfi -i "color=c=black@0:s=128x128:r=25:d=2,format=rgba,geq=r='128+127*sin(2*PI*T)':g='128+127*sin(2*PI*T+2)':b=220:a='255*clip(12-abs(hypot(X-63.5,Y-63.5)-44),0,6)/6'" \
   -c:v png -pix_fmt rgba "$out/ring.mov"

# An emblem with a soft edge for the Image importable: a ring of stripes on
# a clear ground, stored as PNG with its alpha.
ff -f lavfi -i "color=c=black@0:s=96x96:d=1,format=rgba,geq=r='200+55*sin(X/4)':g='120+100*sin(Y/5)':b=240:a='255*clip(46-hypot(X-47.5,Y-47.5),0,4)/4'" \
   -frames:v 1 "$out/emblem.png"

# Thirty seconds at 120 beats per minute: a falling kick on every beat, an
# off-beat hat, and an arpeggio over a minor progression that moves every
# two bars.
kick="0.7*sin(2*PI*(45+90*exp(-25*mod(t,0.5)))*mod(t,0.5))*exp(-7*mod(t,0.5))"
hat="0.08*(2*random(0)-1)*exp(-45*mod(t+0.25,0.5))"
root="110*pow(2,(if(lt(mod(t,16),4),0,if(lt(mod(t,16),8),-4,if(lt(mod(t,16),12),3,-2))))/12)"
step="if(lt(mod(floor(t*8),4),1),0,if(lt(mod(floor(t*8),4),2),3,if(lt(mod(floor(t*8),4),3),7,12)))"
arp="0.18*sin(2*PI*$root*pow(2,$step/12)*t)*exp(-6*mod(t,0.125))"
bass="0.22*sin(2*PI*$root/2*t)"
ff -f lavfi -i "aevalsrc=exprs='$kick+$hat+$arp+$bass|$kick+$hat+0.8*$arp+$bass':s=44100:d=30,volume=0.6" \
   -c:a libvorbis -q:a 4 "$out/tune.ogg"
