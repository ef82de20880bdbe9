# Which of the tools a script needs are missing, and the Debian package of each; sourced, not run.

# The Debian package whose installation puts TOOL on PATH.
package_of() {
  case $1 in
    x86_64-w64-mingw32-*) echo g++-mingw-w64-x86-64-posix ;;
    clang++ | clang) echo clang ;;
    lld-link) echo lld ;;
    llvm-*) echo llvm ;;
    *) echo "$1" ;;
  esac
}

# Prints, when any TOOL is missing, which ones and the command that installs them:
# "wine is missing; apt-get install wine installs it", "unzip, lld-link are missing; apt-get
# install unzip lld installs them". Prints nothing when all are there.
missing_tools() {
  local tool missing=() packages=()
  for tool in "$@"; do
    command -v "$tool" >/dev/null && continue
    missing+=("$tool")
    [[ " ${packages[*]} " == *" $(package_of "$tool") "* ]] || packages+=("$(package_of "$tool")")
  done
  ((${#missing[@]})) || return 0
  local are=is it=it
  if ((${#missing[@]} > 1)); then are=are; fi
  if ((${#packages[@]} > 1)); then it=them; fi
  local names
  names=$(printf ', %s' "${missing[@]}")
  echo "${names:2} $are missing; apt-get install ${packages[*]} installs $it"
}
