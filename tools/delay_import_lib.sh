#!/usr/bin/env bash
# Makes a delay-load import library for one system DLL from the toolchain's
# ordinary import library: the program then loads the DLL on the first call
# into it, not before its entry point runs.
# Usage: tools/delay_import_lib.sh NM DLLTOOL IMPORT_LIB DLL_NAME OUTPUT
set -euo pipefail
nm_tool="$1" dlltool="$2" import_lib="$3" dll_name="$4" output="$5"
def="${output%.a}.def"
{
  echo "LIBRARY $dll_name"
  echo "EXPORTS"
  # i686 import symbols carry a second underscore (__imp__Name@N), x86_64's
  # do not (__imp_Name).
  "$nm_tool" "$import_lib" | sed -n 's/^.* I __imp_\{1,2\}//p' | sort -u
} > "$def"
if [ "$(wc -l < "$def")" -le 2 ]; then
  echo "no exports found in $import_lib" >&2
  exit 1
fi
# -k: the DLL exports the names without their @N decoration.
"$dlltool" -k --input-def "$def" --output-delaylib "$output" --dllname "$dll_name"
