; setup.exe for Windows: the three programs in Program Files, a Start-menu folder with their
; shortcuts and the uninstaller, and an entry in "Installed apps". `/S` installs silently,
; `/D=folder` (last on the command line) picks another folder.
; cmake/WindowsPackages.cmake runs: makensis -DVERSION=x.y.z -DSTAGE=<folder with the .exe files>
;   -DICON=<its .ico> -DOUTFILE=<setup.exe> installer.nsi
; A 64-bit installer for the 64-bit programs: it sees the 64-bit Program Files and registry
; without redirection.
Target amd64-unicode
!include "MUI2.nsh"

!define PRODUCT "Drivanta v2 tools"
!define PUBLISHER "Drivanta v2 tools developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Drivanta v2 tools"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright 2026 ${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\servodiag.exe"
  File "${STAGE}\ampflash.exe"
  File "${STAGE}\wheelflash.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\Diagnostics.lnk" "$INSTDIR\servodiag.exe"
  CreateShortcut "${MENU_FOLDER}\Servo Amplifier Firmware Update.lnk" "$INSTDIR\ampflash.exe"
  CreateShortcut "${MENU_FOLDER}\Wheel Controller Firmware Update.lnk" "$INSTDIR\wheelflash.exe"
  CreateShortcut "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\servodiag.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes only what the installer put there: a folder the user also keeps images in stays.
Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\servodiag.exe"
  Delete "$INSTDIR\ampflash.exe"
  Delete "$INSTDIR\wheelflash.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "${MENU_FOLDER}\Diagnostics.lnk"
  Delete "${MENU_FOLDER}\Servo Amplifier Firmware Update.lnk"
  Delete "${MENU_FOLDER}\Wheel Controller Firmware Update.lnk"
  Delete "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk"
  RMDir "${MENU_FOLDER}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
