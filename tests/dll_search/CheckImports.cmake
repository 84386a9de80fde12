# cmake -DOBJDUMP=... -DPROGRAMS="a.exe;b.exe" -P CheckImports.cmake
# Fails when a shipped .exe imports at start-up a DLL that Windows would look for beside it.
#
# Allowed: DLLs on the KnownDLLs list of Windows 10 and 11 (HKLM\SYSTEM\CurrentControlSet\
# Control\Session Manager\KnownDLLs), which always come from the system's own copy; and comctl32,
# which is not a KnownDLL but which an .exe whose manifest depends on Common-Controls 6 gets from
# the side-by-side store, before any folder is searched. Everything else is delay-loaded from the
# system directory (window/win32/SystemDllSearch.h, hidlink/platform/win32/SystemFunctions.h).
cmake_minimum_required(VERSION 3.25)
set(known_dlls advapi32 combase comdlg32 gdi32 imm32 kernel32 msvcrt ole32 oleaut32 rpcrt4
               setupapi shell32 shlwapi user32 ws2_32)
set(failures "")
foreach(program IN LISTS PROGRAMS)
  execute_process(COMMAND ${OBJDUMP} -p ${program} OUTPUT_VARIABLE headers
                  COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
  if(NOT imports)
    string(APPEND failures "${program}: no imports read (not a PE file?)\n")
  endif()
  foreach(import IN LISTS imports)
    string(REGEX REPLACE "DLL Name: ([^.]+)\\.dll" "\\1" dll "${import}")
    string(TOLOWER "${dll}" dll)
    if(dll IN_LIST known_dlls)
      continue()
    endif()
    if(dll STREQUAL "comctl32")
      file(STRINGS ${program} manifest REGEX "Microsoft\\.Windows\\.Common-Controls" LIMIT_COUNT 1)
      if(manifest)
        continue()
      endif()
      string(APPEND failures "${program}: imports comctl32 without a Common-Controls manifest\n")
      continue()
    endif()
    string(APPEND failures "${program}: imports ${dll}.dll at start-up, not a KnownDLL\n")
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
