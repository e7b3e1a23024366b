#!/usr/bin/env bash
# Checks of the built 32-bit program that need no Windows to run it: what the
# loader, the shell and the host suite read from the file, as binutils'
# objdump reads its headers, imports and resource tree. The file checked is
# $ZTD_ARTIFACT, else $1, else the 32-bit build's program.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
exe="${ZTD_ARTIFACT:-${1:-$root/build/windows/bin/ZTDScreenCapture.exe}}"
objdump="$(command -v x86_64-w64-mingw32-objdump || command -v i686-w64-mingw32-objdump)"
failed=0
fail() { echo "FAILED: $*" >&2; failed=1; }
headers="$("$objdump" -p "$exe")" || { echo "FAILED: $exe is no Windows executable" >&2; exit 1; }

# An i386 PE32 image for the GUI subsystem, large-address-aware.
grep -q 'file format pei-i386$' <<<"$headers" || fail "not an i386 image"
grep -Eq '^Magic[[:space:]]+010b' <<<"$headers" || fail "not PE32"
sed -n '/^Characteristics/,/^$/p' <<<"$headers" | grep -q 'large address aware' || fail "not large-address-aware"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not the GUI subsystem"

# Statically linked: nothing of the toolchain's runtime, only what every
# Windows has. A new import must be added here on purpose.
system=" kernel32 user32 gdi32 gdiplus msimg32 advapi32 shell32 shlwapi version ole32 oleaut32 msvcrt comdlg32
  comctl32 dwmapi shcore wtsapi32 uxtheme imm32 ws2_32 userenv bcrypt ntdll usp10 "
dlls="$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')"
[ -n "$dlls" ] || fail "no imports"
for dll in $dlls; do
  [[ "$dll" == api-ms-win-* || "$system" == *[[:space:]]"${dll%.dll}"[[:space:]]* ]] || fail "$dll is not a system library"
done
# These (and the COM and shell libraries they pull in) load on first use:
# bound at load time they cost every start before its entry point runs.
for late in gdiplus.dll shell32.dll shlwapi.dll msimg32.dll; do
  grep -qx "$late" <<<"$dlls" && fail "$late is loaded before the entry point"
done

# Resources: "type name rva size" of each first language (ids as objdump
# prints them, 0x000018; names as stored, ZIPRES).
leaves="$(awk 'function id(line) { if (line ~ /Entry: name:/) { sub(/.*\]: /, "", line) } else { sub(/.*ID: /, "", line) }
                                    sub(/,.*/, "", line); return line }
  /^[0-9a-f]+   Entry: / { type = id($0) }
  /^[0-9a-f]+     Entry: / { name = id($0); first = 1 }
  /Leaf: Addr:/ && first { sub(/,/, "", $4); sub(/,/, "", $6); print type, name, $4, $6; first = 0 }' <<<"$headers")"
base="$(awk '$1 == "ImageBase" { print "0x" $2 }' <<<"$headers")"
read -r _ _ _ vma _ fileoff _ < <("$objdump" -h "$exe" | grep ' \.rsrc ') || true
# The bytes of resource ($1 $2) as " xx xx ...", empty when it is missing.
resource() {
  local rva size
  read -r _ _ rva size < <(awk -v t="$1" -v n="$2" '$1 == t && $2 == n' <<<"$leaves") || return 0
  dd if="$exe" iflag=skip_bytes,count_bytes bs=65536 skip=$((rva - (0x$vma - base) + 0x$fileoff)) count=$((size)) \
    status=none | od -An -v -tx1 | tr -s ' \n' '  '
}
hex() { printf %s "$1" | od -An -v -tx1 | tr -s ' \n' '  ' | sed 's/ $//'; }
utf16() { printf %s "$1" | iconv -f utf-8 -t utf-16le | od -An -v -tx1 | tr -s ' \n' '  ' | sed 's/ $//'; }

# The manifest: per-monitor v2 awareness, the supported systems, no elevation.
manifest="$(resource 0x000018 0x000001)"
[ -n "$manifest" ] || fail "no manifest (RT_MANIFEST 1)"
for text in '>PerMonitorV2' 'true/pm' 'asInvoker' '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
  '<supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"/>' '<supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"/>' \
  '<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>'; do
  [[ "$manifest" == *"$(hex "$text")"* ]] || fail "the manifest lacks $text"
done

# The version resource: the project's version in VS_FIXEDFILEINFO, and the file's name.
version="$(resource 0x000010 0x000001)"
if [[ "$version" != *" bd 04 ef fe"* ]]; then
  fail "no version resource with VS_FIXEDFILEINFO"
else
  read -ra b <<<"${version#* bd 04 ef fe}"
  stated="$((0x${b[7]}${b[6]})).$((0x${b[5]}${b[4]})).$((0x${b[11]}${b[10]})).$((0x${b[9]}${b[8]}))"
  wanted="$(sed -n 's/^project(ZTDScreenCapture VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
  [ "$stated" = "$wanted" ] || fail "file version $stated, the project's is $wanted"
  for text in OriginalFilename ZTDScreenCapture.exe; do
    [[ "$version" == *"$(utf16 "$text")"* ]] || fail "the version resource lacks $text"
  done
fi

# The skin: ZIPRES 101, a zip archive of some size.
skin="$(resource ZIPRES 0x000065)"
[[ "$skin" == " 50 4b 03 04 "* ]] || fail "no skin resource ZIPRES 101 holding a zip archive"
[ "$(wc -w <<<"$skin")" -gt 10000 ] || fail "the skin is too small"

# Test hooks stay in the test builds: the shipped program writes no window
# properties for tests and takes no stand-in screen.
for hook in ZTDPaints ZTDGdiLive; do
  ! strings -el "$exe" | grep -q "$hook" || fail "test hook $hook in the program"
done
! strings "$exe" | grep -q ScopedVirtualScreen || fail "the stand-in screen is in the program"

[ "$failed" = 0 ] && echo "artifact checks passed: $exe"
exit "$failed"
