#!/usr/bin/env bash
# The installer runs elevated and is usually started from the user's
# Downloads folder. Its import table may name KnownDLLs only: the loader
# takes those from the system folder, while any other DLL it would look for
# beside the program first. Every other DLL is delay-loaded (not in this
# table), and no DLL of the toolchain's runtime is needed at all.
# Usage: import_table_test.sh OBJDUMP PROGRAM
set -euo pipefail
objdump=$1
program=$2

# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs on 64-bit
# Windows 10 (22H2) and 11, as that key lists them (see
# https://www.winhelponline.com/blog/autoruns-knowndlls-wow64cpu-wowarmhw-xtajit/
# and Microsoft's "Dynamic-link library search order", which names the key),
# and ntdll.dll, which the system maps into every process before anything
# else. Windows compares names without regard to case.
known_dlls="
advapi32.dll clbcatq.dll combase.dll comdlg32.dll coml2.dll difxapi.dll gdi32.dll gdiplus.dll
imagehlp.dll imm32.dll kernel32.dll msctf.dll msvcrt.dll normaliz.dll nsi.dll ole32.dll
oleaut32.dll psapi.dll rpcrt4.dll sechost.dll setupapi.dll shcore.dll shell32.dll shlwapi.dll
user32.dll wldap32.dll wow64.dll wow64cpu.dll wow64win.dll wowarmhw.dll ws2_32.dll xtajit.dll
ntdll.dll"

# objdump prints the import table first, then the delay-import table, each
# entry as "DLL Name: NAME".
imports=$("$objdump" -p "$program" | awk '
  /^The Import Tables/ { table = 1 }
  /Delay Import/ { table = 0 }
  table && /DLL Name:/ { print tolower($3) }')

if [ -z "$imports" ]; then
  echo "no import table read from $program" >&2
  exit 1
fi
status=0
for dll in $imports; do
  case " $(echo $known_dlls) " in
    *" $dll "*) echo "known:   $dll" ;;
    *) echo "UNKNOWN: $dll (not a KnownDLL: delay-load it)" >&2; status=1 ;;
  esac
done
exit $status
