; The Windows installer of Lomi, built by tools/package-windows.sh:
;   makensis -DVERSION=1.02 -DSTAGE=<folder Lomi> -DLISTS=<folder> -DOUTFILE=<setup.exe> lomi.nsi
; STAGE holds the files to install; LISTS holds install_files.nsh and
; uninstall_files.nsh, written from STAGE, so that the uninstaller removes
; exactly what was installed and leaves the user's settings.
; Installs into Program Files\Lomi when run as administrator, otherwise
; into the user's own programs folder.
; A 64-bit installer for a 64-bit program: it runs where Lomi runs.
Target amd64-unicode
SetCompressor /SOLID lzma

!define APP Lomi
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define MENU_FOLDER "Lomi"
!define MENU_ENTRY "Lomi 馬券集計"
!define GUIDE_ENTRY "Lomi 使い方"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR ${APP}
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${APP} ${VERSION}"

!define MUI_ICON "${STAGE}/lomi.ico"
!define MUI_UNICON "${STAGE}/lomi.ico"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE-WINDOWS.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\lomi.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${APP}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${APP} ${VERSION} セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "The Lomi developers"

; A running lomi.exe cannot be replaced or removed: the user is asked to
; close it (a silent run gives up instead of waiting).
!macro WaitUntilClosed UN
Function ${UN}WaitUntilClosed
  ${DoWhile} ${FileExists} "$INSTDIR\lomi.exe"
    ClearErrors
    FileOpen $0 "$INSTDIR\lomi.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Lomi が実行中です。Lomi を終了してから［再試行］を押してください。" /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitUntilClosed ""
!insertmacro WaitUntilClosed "un."

Function .onInit
  SetRegView 64
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Lomi"
  Call WaitUntilClosed
  SetOutPath "$INSTDIR"
  ; Run twice, the installer writes the same files over the old ones.
  !include "${LISTS}/install_files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetOutPath "$INSTDIR"
  CreateDirectory "$SMPROGRAMS\${MENU_FOLDER}"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\${MENU_ENTRY}.lnk" "$INSTDIR\lomi.exe"
  ; The guide in the program's help window, without the main window.
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\${GUIDE_ENTRY}.lnk" "$INSTDIR\lomi.exe" "--guide"

  ; Apps & features: SHCTX is HKLM for all users, HKCU for one user.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP} ${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "The Lomi developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lomi.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  Call un.WaitUntilClosed
  ; Only what the installer put there: a Lomi.ini the user keeps beside
  ; the program stays, and so does its folder.
  !include "${LISTS}/uninstall_files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${MENU_FOLDER}\${MENU_ENTRY}.lnk"
  Delete "$SMPROGRAMS\${MENU_FOLDER}\${GUIDE_ENTRY}.lnk"
  RMDir "$SMPROGRAMS\${MENU_FOLDER}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
