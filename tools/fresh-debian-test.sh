#!/bin/sh
# Runs the README's two commands, tools/test.sh and then tools/play.sh, as a
# new user would: in a brand-new minimal Debian 12 root (debootstrap's
# minbase), on a copy of this checkout's files, with nothing installed beyond
# the base system. A package or a step that only this machine has makes it
# fail. Needs root (or sudo) for debootstrap, chroot and mount.
#
#   tools/fresh-debian-test.sh [--keep]
#
# The base root is cached as a tarball in $TIRAVO_ROOT_CACHE (default
# /var/cache/tiravo); it holds the base system only, so every package the
# project needs is installed inside by tools/test.sh itself. --keep leaves
# the root in place afterwards (its folder is printed) to look inside.
set -eu
cd "$(dirname "$0")/.."
checkout=$(pwd)

keep=0
for argument in "$@"; do
    case $argument in
        --keep) keep=1 ;;
        -h|--help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "fresh-debian-test.sh: unknown option $argument" >&2; exit 2 ;;
    esac
done

if [ "$(id -u)" -ne 0 ]; then
    exec sudo "$0" "$@"
fi

suite=bookworm
cache=${TIRAVO_ROOT_CACHE:-/var/cache/tiravo}
base_tarball=$cache/debian-$suite-minbase.tar

started=$(date +%s)
step_started=$started
# Ends a step: its name and how long it took, and the time so far.
step_done() {
    now=$(date +%s)
    echo "== $1: $((now - step_started)) s (total $((now - started)) s)"
    step_started=$now
}

# The first URI of the machine's own apt sources that serves the suite, in
# either the one-line or the deb822 format.
debian_mirror() {
    for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$list" ] || continue
        awk -v suite="$suite" '$1 == "deb" {
            i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
            if ($(i + 1) == suite) { print $i; exit } }' "$list"
    done
    for sources in /etc/apt/sources.list.d/*.sources; do
        [ -f "$sources" ] || continue
        awk -v suite="$suite" '
            function finish() {
                if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ") && uri != "") { print uri; exit }
                types = ""; suites = ""; uri = "" }
            /^[ \t]*$/ { finish(); next }
            /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0 }
            /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0 }
            /^URIs:/ { uri = $2 }
            END { finish() }' "$sources"
    done
}

mirror=$(debian_mirror | head -n 1)
if [ -z "$mirror" ]; then
    echo "fresh-debian-test.sh: no apt source of this machine serves $suite" >&2
    exit 1
fi

if ! command -v debootstrap >/dev/null; then
    echo "Installing debootstrap"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap
fi

root=$(mktemp -d /var/tmp/tiravo-fresh-root.XXXXXX)
mounted=""
# Programs still running inside the root (the script was interrupted) would
# keep its mounts busy and go on using the machine: they are stopped first.
stop_programs_in_root() {
    for link in /proc/[0-9]*/root; do
        case "$(readlink "$link" 2>/dev/null)" in
            "$root" | "$root"/*)
                pid=${link#/proc/}
                kill -KILL "${pid%/root}" 2>/dev/null || true
                ;;
        esac
    done
}
cleanup() {
    status=$?
    stop_programs_in_root
    for point in $mounted; do
        umount "$point" 2>/dev/null || umount -l "$point" || true
    done
    if [ "$keep" -eq 1 ]; then
        echo "The root is kept in $root"
    else
        rm -rf --one-file-system "$root"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -f "$base_tarball" ]; then
    tar -C "$root" -xf "$base_tarball"
    step_done "base root from the cache $base_tarball"
else
    echo "Making a minimal Debian $suite root from $mirror"
    debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 || {
        tail -n 30 "$root.debootstrap.log" >&2
        rm -f "$root.debootstrap.log"
        exit 1
    }
    rm -f "$root.debootstrap.log"
    mkdir -p "$cache"
    tar -C "$root" -cf "$base_tarball.partial" . && mv "$base_tarball.partial" "$base_tarball"
    step_done "base root made by debootstrap from $mirror"
fi

# The checkout's files as a clean clone would have them, with any change not
# yet committed: tracked files that still exist and untracked ones git does
# not ignore.
mkdir -p "$root/src/tiravo"
git -C "$checkout" ls-files -z --cached --others --exclude-standard --deduplicate |
    (cd "$checkout" && xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh) |
    tar -C "$checkout" --null -T - -cf - | tar -C "$root/src/tiravo" -xf -
cp /etc/resolv.conf "$root/etc/resolv.conf"
step_done "checkout copied into the root"

mount_into() {
    mount "$@"
    shift $(($# - 1))
    mounted="$1 $mounted"
}
mount_into -t proc proc "$root/proc"
mount_into -t sysfs sysfs "$root/sys"
mount_into --bind /dev "$root/dev"
# Private, so that what is mounted below it stays out of the machine's /dev.
mount --make-private "$root/dev"
mount_into -t tmpfs tmpfs "$root/dev/shm"

# Waited for in the background: a shell runs its traps only once the
# command in the foreground ends, and an interrupt must clean up at once.
in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        TERM=dumb /bin/sh -c "cd /src/tiravo && $1" &
    wait $!
}

in_root ./tools/test.sh
step_done "tools/test.sh in the fresh root"
in_root ./tools/play.sh
step_done "tools/play.sh in the fresh root"
echo "The README's two commands passed in a fresh Debian $suite root."
