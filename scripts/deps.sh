#!/usr/bin/env bash
# Installs Debian packages that are missing: by default what building and
# testing need (g++, CMake, GoogleTest), otherwise the packages named.
#   scripts/deps.sh [package ...]
set -euo pipefail
wanted=("$@")
[ ${#wanted[@]} -gt 0 ] || wanted=(g++ cmake libgtest-dev)
missing=()
for package in "${wanted[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" </dev/null
