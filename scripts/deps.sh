#!/usr/bin/env bash
# Installs Debian packages that are missing: by default what building and
# testing need (g++, CMake, GoogleTest, and strace, with which the fault
# tests delay and fail system calls), otherwise the packages named.
# Installing needs root: it runs apt-get as root, or through sudo, and
# otherwise says what to run.
#   scripts/deps.sh [package ...]
set -euo pipefail
wanted=("$@")
[ ${#wanted[@]} -gt 0 ] || wanted=(g++ cmake libgtest-dev strace)
find_missing() {
  missing=()
  for package in "${wanted[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
}
find_missing
[ ${#missing[@]} -eq 0 ] && exit 0
# One install at a time: CI runs scripts side by side, and apt-get fails
# rather than waits while another holds its lock.  What is still missing
# once this one holds the lock is installed.
exec 9> "${TMPDIR:-/tmp}/telk-deps.lock"
flock 9
find_missing
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "deps.sh: missing ${missing[*]}; as root, run: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  as_root=(sudo)
fi
echo "installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
if ! "${as_root[@]}" apt-get update -qq ||
   ! "${as_root[@]}" apt-get install -y -qq "${missing[@]}" </dev/null; then
  echo "deps.sh: could not install ${missing[*]}; as root, run: apt-get install ${missing[*]}" >&2
  exit 1
fi
