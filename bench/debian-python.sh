#!/usr/bin/env bash
# Prints the path of Debian's Python after making sure it can import MODULE, installing
# Debian's PACKAGE when it cannot. Debian's packages belong to Debian's Python, which
# another python3 first on the PATH (pyenv, say) would hide.
#   py=$(bench/debian-python.sh MODULE PACKAGE)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
py=/usr/bin/python3
[ -x "$py" ] || py=python3
"$py" -c "import $1" 2>/dev/null || "$here/../tools/setup.sh" packages "$2" >&2
echo "$py"
