#!/usr/bin/env bash
# Shows pressling-cli at work in a scratch registry, so that nothing of the user's changes.
set -euo pipefail
build=${1:-build}
cli="$build/cli/pressling-cli"
export PRESSLING_REGISTRY_DIR
PRESSLING_REGISTRY_DIR=$(mktemp -d)
trap 'rm -rf "$PRESSLING_REGISTRY_DIR"' EXIT
key='HKCU\SOFTWARE\Tarnwick\Application\Pressling\Config'
"$cli" reg add "$key" /v MacroSecurityLevel /t REG_DWORD /d 2 /f
"$cli" reg query "$key"
echo "--- $PRESSLING_REGISTRY_DIR/user.reg"
cat "$PRESSLING_REGISTRY_DIR/user.reg"
