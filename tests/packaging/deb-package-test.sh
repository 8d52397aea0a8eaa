#!/bin/sh
# The Debian package made from this build tree: built with CPack, its declared dependencies checked
# against this machine's packages, installed with dpkg into a throw-away root (unpacked with dpkg-deb
# when not run as root), the installed torvi-backup run, then the package purged again.
# Usage: deb-package-test.sh BUILD_DIR CPACK
set -eu
build=$1
cpack=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/torvi-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
PATH="$PATH:/usr/sbin:/sbin"  # dpkg looks for ldconfig and friends there

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
contains() { # TEXT PIECE
  case "$1" in *"$2"*) return 0 ;; *) return 1 ;; esac
}

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/out/*.deb)
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
contents=$(dpkg-deb -c "$deb")
echo "package: $(basename "$deb")"
echo "depends: $depends"

# What it holds and what it needs.
for path in ./usr/bin/torvi-backup ./usr/share/man/man1/torvi-backup.1.gz; do
  contains "$contents" "$path" || fail "no $path in the package"
done
contains "$depends" "libfbclient2" || fail "libfbclient2 not declared"
if contains "$contents" ./usr/bin/VAzeduz; then
  for path in ./usr/share/applications/vazeduz.desktop ./usr/share/icons/hicolor/scalable/apps/vazeduz.svg \
    ./etc/xdg/autostart/vazeduz.desktop; do
    contains "$contents" "$path" || fail "no $path in the package"
  done
  for library in libqt6core6 libqt6gui6 libqt6widgets6; do
    contains "$depends" "$library" || fail "$library not declared"
  done
fi

# Every declared dependency is a package this machine has, at the version asked for.
echo "$depends" | tr ',' '\n' | while read -r name constraint; do
  [ -n "$name" ] || continue
  installed=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null) || fail "dependency $name is not installed"
  [ -n "$installed" ] || fail "dependency $name is not installed"
  if [ -n "$constraint" ]; then
    wanted=$(echo "$constraint" | sed 's/^(>= *\(.*\))$/\1/')
    dpkg --compare-versions "$installed" ge "$wanted" || fail "$name $installed is older than $wanted"
  fi
done

# Installed into a root of its own.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
if [ "$(id -u)" -eq 0 ]; then
  dpkg --root="$root" --log=/dev/null --force-depends -i "$deb" >/dev/null
  [ "$(dpkg --root="$root" -s torvi-backup | sed -n 's/^Status: //p')" = "install ok installed" ] ||
    fail "dpkg does not list the package as installed"
else
  dpkg-deb -x "$deb" "$root"
fi

program="$root/usr/bin/torvi-backup"
[ "$("$program" --version)" = "torvi-backup $version" ] || fail "--version: $("$program" --version)"
conf="$work/conf"
mkdir "$conf"
"$program" --config "$conf" config init </dev/null >/dev/null
"$program" --config "$conf" config set FTP.Porta 2121
echo segredo | "$program" --config "$conf" config set Servidor.Senha -
shown=$("$program" --config "$conf" config show)
for line in "Servidor.Nome = localhost" "Servidor.Senha = ********" "FTP.Porta = 2121"; do
  contains "$shown" "$line" || fail "config show lacks \"$line\": $shown"
done
contains "$shown" "segredo" && fail "config show reveals the password"
if [ -x "$root/usr/bin/VAzeduz" ]; then
  missing=$(ldd "$root/usr/bin/VAzeduz" | grep "not found" || true)
  [ -z "$missing" ] || fail "VAzeduz misses libraries: $missing"
fi
zcat "$root/usr/share/man/man1/torvi-backup.1.gz" | grep -q '^\.TH TORVI-BACKUP 1' || fail "man page"
if command -v man >/dev/null; then
  warnings=$(man --warnings -l "$root/usr/share/man/man1/torvi-backup.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page warnings: $warnings"
fi

# And gone again, the file under /etc included.
if [ "$(id -u)" -eq 0 ]; then
  dpkg --root="$root" --log=/dev/null --purge torvi-backup >/dev/null
  [ ! -e "$program" ] || fail "torvi-backup left after removal"
  [ ! -e "$root/etc/xdg/autostart/vazeduz.desktop" ] || fail "autostart entry left after purge"
fi
echo "ok"
