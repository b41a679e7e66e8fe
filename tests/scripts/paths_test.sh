#!/usr/bin/env bash
# Every path of the repository that the papers (README.md, DEVELOPERS.md, docs/) or the sources'
# comments name must exist, so that a moved or renamed file cannot leave a reader pointed at
# nothing. Checked: paths from a top folder of the repository (`src/...`, `tests/...`), the papers'
# relative Markdown links, and in comments a file named from inside `src/` or `tests/`
# (`core/trace.cpp`). Build outputs (`build/...`) and placeholders in capitals are not paths.
# Usage: paths_test.sh SOURCE_ROOT
set -euo pipefail
root=${1:?usage: paths_test.sh SOURCE_ROOT}
cd "$root"

tops='\.ci|bench|cmake|data|docs|packaging|scripts|src|tests'
status=0
missing() {
  echo "paths: $1 names $2, which does not exist" >&2
  status=1
}

# The files read: the papers and every source, script and template of the repository.
mapfile -t files < <(find . \( -path ./build -o -path ./node_modules -o -path ./.git \) -prune -o -type f \
  \( -name '*.md' -o -name '*.cpp' -o -name '*.h' -o -name '*.mjs' -o -name '*.js' -o -name '*.sh' \
  -o -name '*.cmake' -o -name CMakeLists.txt -o -name '*.in' -o -name '*.html' -o -name '*.txt' \
  -o -path './scripts/*' -o -path './.ci/*' \) -print | sed 's|^\./||' | sort)
papers=(); sources=()
for file in "${files[@]}"; do
  case $file in *.md) papers+=("$file") ;; *) sources+=("$file") ;; esac
done

# Paths from the root, after a character that cannot be part of a longer path or a variable; a
# token with a wildcard or a variable in it is a pattern, not a path.
while IFS=: read -r file path; do
  path=${path#?}
  path=${path%/}
  case $path in *[*\$\{]*) continue ;; esac
  [ -e "$path" ] || missing "$file" "$path"
done < <(grep -o -H -E "(^|[^A-Za-z0-9_./\$\{-])($tops)/[A-Za-z0-9_./*\$\{}-]*[A-Za-z0-9_/*}]" "${files[@]}" |
  sed -E 's/:([A-Za-z.])/: \1/' || true)

# The papers' relative links, from the paper's own folder.
while IFS=: read -r file link; do
  link=${link#](}
  link=${link%)}
  link=${link%%#*}
  [ -z "$link" ] || [ -e "$(dirname "$file")/$link" ] || missing "$file" "$link"
done < <(grep -o -H -E '\]\([^)#:]*(#[^)]*)?\)' "${papers[@]}" || true)

# Files named in comments from inside src/ or tests/, or beside the file.
while IFS=: read -r file path; do
  path=${path#?}
  for base in . src tests "$(dirname "$file")"; do
    [ -e "$base/$path" ] && continue 2
  done
  missing "$file" "$path"
done < <(grep -H -E '^\s*(//|#[^i]|#$|\*)' "${sources[@]}" |
  grep -o -E "^[^:]+:|(^|[ \`(\"'])[a-z_]+/[A-Za-z0-9_./-]+\.(cpp|h|mjs|js|sh|md|cmake|txt)([^A-Za-z0-9_]|$)" |
  awk '/:$/ { file = $0; next } { sub(/[^a-z]$/, ""); sub(/^[^a-z]/, " "); print file $0 }' |
  grep -v -E ":.($tops)/" || true)

# The check itself must see something: a repository whose papers name no path is not this one.
grep -q -E "(^|[^A-Za-z0-9_./-])src/core/" README.md DEVELOPERS.md docs/*.md ||
  missing "the papers" "no path at all (src/core/ expected)"
exit $status
