; Hearthglow-Setup.exe: installs Hearthglow.scr for the current user (the default, no
; administrator rights asked) or for every user (/AllUsers), makes it the user's active
; screensaver, and adds an uninstaller that takes everything away again and puts the screensaver
; that was active before back. Silent with /S.
;   makensis -DSAVER=<Hearthglow.scr> -DICON=<hearthglow.ico> -DOUTFILE=<Hearthglow-Setup.exe>
;            -DVERSION=<x.y.z> installer.nsi
; A 64-bit installer for a 64-bit program (and for Wine without its 32-bit half).
Target amd64-unicode
SetCompressor /SOLID lzma
Name "Hearthglow"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"

!define PRODUCT "Hearthglow"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Hearthglow"
!define SETTINGS_KEY "Software\KESTREL Studio\3D Hearthglow Screensaver"
!define DESKTOP_KEY "Control Panel\Desktop"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} screensaver setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "KESTREL Studio"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "Hearthglow needs a 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Hearthglow"
  SetOutPath "$INSTDIR"
  File "/oname=Hearthglow.scr" "${SAVER}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The active screensaver is the user's own choice: keep the one it replaces for the uninstaller.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ReadRegStr $1 SHCTX "${UNINSTALL_KEY}" "PreviousScreenSaver"
  ${If} $1 == ""
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "PreviousScreenSaver" "$0"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$INSTDIR\Hearthglow.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} screensaver"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Hearthglow.scr"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; The screensaver that was active before, if this one is still the active one.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $0 == "$INSTDIR\Hearthglow.scr"
    ReadRegStr $1 SHCTX "${UNINSTALL_KEY}" "PreviousScreenSaver"
    ${If} $1 == ""
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$1"
    ${EndIf}
  ${EndIf}
  ; The settings and the log the screensaver kept (the user's own, also after a machine install).
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\KESTREL Studio"
  SetShellVarContext current
  RMDir /r "$LOCALAPPDATA\Hearthglow"
  ${If} $MultiUser.InstallMode == "AllUsers"
    SetShellVarContext all
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Hearthglow.scr"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
