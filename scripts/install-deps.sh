#!/usr/bin/env bash
# Installs every Debian package Pressling needs to build, run and test.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  # libraries
  qt6-base-dev qt6-base-dev-tools libqt6svg6-dev
  libgsf-1-dev libpugixml-dev zlib1g-dev libgtest-dev libgmock-dev
  # the X display's windows, for the start-up check of open offices
  libxcb1-dev
  # the desktop's trash, MIME types and default applications
  libglib2.0-dev
  # office suite and its C++ UNO SDK
  libreoffice-writer libreoffice-calc libreoffice-impress libreoffice-dev
  # readers that check what we publish, and what the XPS writer is built on
  poppler-utils libgxps-utils mupdf-tools chromium
  # the structure and metadata of the PDFs (tags, language, PDF/A), and the parts of a package
  qpdf unzip
  # windows under a virtual display, for screenshots and X11 tests; the other programs of the
  # display that the list's clipboard and drag tests meet (the clipboard, the pointer and keys)
  xvfb xauth x11-utils xclip xdotool
  # fonts so that LibreOffice and Qt render text the same everywhere
  fonts-dejavu-core fonts-liberation2
  shared-mime-info
  # the icons of file types that the file list shows when no desktop names an icon theme
  adwaita-icon-theme
  # file systems of their own: another mount for the trash tests, and a FAT one (as on a USB
  # stick, names without regard to case) for the rename tests, through FUSE where the kernel
  # has no FAT of its own
  e2fsprogs dosfstools fusefat
  # a locale with a decimal comma, under which the tests write XPS and publish
  locales
  # the Debian package: cpack's dependency list (dpkg-shlibdeps) and the checks of the package,
  # its desktop entry and its AppStream metadata
  dpkg-dev lintian desktop-file-utils appstream
  # the manual pages, rendered and checked for warnings
  man-db groff-base
)

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi

export DEBIAN_FRONTEND=noninteractive
stamp=/var/lib/apt/periodic/pressling-update-stamp
if [ ! -e "$stamp" ] || [ -n "$(find "$stamp" -mmin +360 2>/dev/null)" ]; then
  $SUDO apt-get update -q
  $SUDO mkdir -p "$(dirname "$stamp")" && $SUDO touch "$stamp"
fi
$SUDO apt-get install -y -q --no-install-recommends "${packages[@]}"

# The XPS tests and a whole publish run under a German locale, whose decimal separator is a
# comma: numbers in the files Pressling writes must not follow it. Generated once; locale-gen
# rebuilds every locale enabled in /etc/locale.gen, so it runs only when this one is missing.
comma_locale=de_DE.UTF-8
# grep reads the whole list (no -q), so that locale never meets a closed pipe under pipefail.
has_comma_locale() { locale -a | grep -x 'de_DE\.utf8' >/dev/null; }
if ! has_comma_locale; then
  if grep -q "^# *${comma_locale} UTF-8" /etc/locale.gen; then
    $SUDO sed -i "s/^# *\(${comma_locale} UTF-8\)/\1/" /etc/locale.gen
  elif ! grep -q "^${comma_locale} UTF-8" /etc/locale.gen; then
    echo "${comma_locale} UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen
fi
if ! has_comma_locale; then
  echo "install-deps.sh: the locale ${comma_locale} could not be generated" >&2
  exit 1
fi
