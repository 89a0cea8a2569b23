#!/bin/sh
# Installs the Debian package into a fresh minimal Debian 12 and checks that it works and goes away
# cleanly. Needs root, debootstrap and network access to a Debian mirror; takes a few minutes.
#   scripts/check-package-install.sh DEB [BASE]
# BASE: an existing `debootstrap --variant=minbase bookworm` tree to copy instead of bootstrapping anew.
# Checks: apt pulls in runtime libraries only (no compiler, no -dev package); a user with no data of their
# own can list the rule lists, seed the defaults and have quellguard judge a message from any directory;
# quellbox --help runs without a display; `apt-get remove quell` leaves none of the package's files, while
# the user's own lists stay.
set -eu
deb=$(realpath "$1")
base=${2:-}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
[ "$(id -u)" -eq 0 ] || { echo "check-package-install: run as root" >&2; exit 2; }

root=$(mktemp -d /var/tmp/quell-chroot-XXXXXX)
chmod 755 "$root"  # it becomes /, which every user must be able to enter
cleanup() {
  for m in dev/pts dev sys proc; do umount "$root/$m" 2>/dev/null || true; done
  # --one-file-system: should a bind mount still be in place, the host's /dev or /proc is left alone.
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT
if [ -n "$base" ]; then
  cp -a "$base/." "$root/"
else
  debootstrap --variant=minbase bookworm "$root" "$mirror" >/dev/null
fi
mount --bind /proc "$root/proc"
mount --bind /sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
fail() { echo "FAIL: $*"; exit 1; }

echo "== apt-get install ./$(basename "$deb")"
in_root apt-get update -qq
in_root dpkg-query -W -f '${Package}\n' | sort >"$root/tmp/before"
in_root apt-get install -y -qq "/tmp/$(basename "$deb")" >/dev/null
in_root dpkg-query -W -f '${Package}\n' | sort >"$root/tmp/after"
added=$(comm -13 "$root/tmp/before" "$root/tmp/after")
echo "$(echo "$added" | wc -l) packages installed: $(echo "$added" | tr '\n' ' ')"
echo "$added" | grep -E -- '-dev$|^(gcc|g\+\+|cpp|clang|make|cmake)(-[0-9.]+)?$' && fail "build packages were pulled in"

echo "== as a new user with no data of their own, from three directories"
in_root useradd --create-home quelluser
as_user() { chroot "$root" /usr/sbin/runuser -u quelluser -- /usr/bin/env -i HOME=/home/quelluser \
  PATH=/usr/bin:/bin QUELL_LOG=stderr sh -c "$1"; }
as_user 'cd /tmp && quellrules list' || fail "quellrules list"
as_user 'quellrules reset' || fail "quellrules reset"
for dir in / /home/quelluser /tmp; do
  verdict=$(as_user "cd $dir && quellguard --sender 10690000 --body 回TD退订 2>/dev/null")
  echo "quellguard in $dir: $verdict"
  [ "$verdict" = junk ] || fail "quellguard answered '$verdict' in $dir"
done
as_user 'quellbox --help' >/dev/null || fail "quellbox --help"
echo "quellbox --help: exit 0"

echo "== apt-get remove quell"
in_root dpkg -L quell >"$root/tmp/files"
in_root apt-get remove -y -qq quell >/dev/null
left=""
while read -r path; do
  [ -d "$root$path" ] && continue  # directories shared with other packages (/usr/bin, ...)
  [ -e "$root$path" ] && left="$left $path"
done <"$root/tmp/files"
[ -z "$left" ] || fail "files left behind:$left"
for dir in /usr/share/quell /usr/share/doc/quell; do [ -e "$root$dir" ] && fail "$dir left behind"; done
echo "$(grep -c . "$root/tmp/files") paths of the package, none left"
[ -s "$root/home/quelluser/.local/share/quell/defaults/group.app.quell.shared.sqlite" ] ||
  fail "the user's lists went with the package"
echo "the user's lists stay in /home/quelluser/.local/share/quell"
echo "PASS"
