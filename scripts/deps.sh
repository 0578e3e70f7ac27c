# Sourced by the scripts: installs the Debian packages the build needs, once.
# qt6-translations-l10n holds Qt's own Japanese texts (はい/いいえ, キャンセル,
# the text boxes' menu); without it those stay in English. Qt's Gui package
# asks CMake for xkbcommon's headers, which qt6-base-dev does not bring.
NANAHOSHI_PACKAGES="cmake ninja-build g++ qt6-base-dev qt6-svg-dev libqt6svg6-dev \
libxkbcommon-dev qt6-translations-l10n fonts-noto-cjk xvfb xauth"

nanahoshi_install_deps() {
  local missing=()
  for p in $NANAHOSHI_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}
