#!/usr/bin/env bash
# Linters for the languages beside C++ (scripts/tidy.sh checks that), each
# finding an error: eslint with eslint.config.mjs over every JavaScript and
# CSS file, shellcheck over the shell scripts, pyflakes over the Python
# files. eslint is the page's pinned npm package: installed with
# npm ci in web/ unless web/node_modules already holds what the lock names.
#
#   scripts/lint.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
source "$root/scripts/deps.sh"
need_packages shellcheck pyflakes3
command -v npm >/dev/null 2>&1 || need_packages npm

# npm ci leaves a copy of the lock in node_modules; a newer lock means the
# packages changed since.
installed_lock=web/node_modules/.package-lock.json
if [ ! -x web/node_modules/.bin/eslint ] || [ web/package-lock.json -nt "$installed_lock" ]; then
    (cd web && npm ci --no-audit --no-fund --loglevel=error)
fi

status=0
echo "eslint: every .js, .mjs and .css file (eslint.config.mjs)"
web/node_modules/.bin/eslint --max-warnings 0 . || status=1

shell_scripts=(scripts/*.sh .ci/run)
echo "shellcheck: ${#shell_scripts[@]} files"
# Run from the root, shellcheck follows each script into the files it sources.
shellcheck --external-sources "${shell_scripts[@]}" || status=1

mapfile -t python_files < <(find . \( -name 'build*' -o -name node_modules -o -name .git \) -prune \
    -o -name '*.py' -print | sort)
echo "pyflakes: ${python_files[*]}"
pyflakes3 "${python_files[@]}" || status=1

if [ $status -ne 0 ]; then
    echo "lint.sh: findings above" >&2
else
    echo "lint.sh: clean"
fi
exit $status
