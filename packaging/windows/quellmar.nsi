; The Windows installer of Quellmar: a per-user installation without
; administrator rights. The programs go to $INSTDIR\bin, the bundled
; templates, icons and sample to $INSTDIR\share\quellmar, from where the
; programs seed the user's own folder (%LOCALAPPDATA%\Quellmar) on first use.
; Explorer offers Quellmar in "Open with" for .csv files, for this user,
; without becoming their default program. The uninstaller removes what it
; installed and leaves the user's folder, with its edited templates and its
; Output, as it is, and says so.
;
; makensis /DVERSION=1.2 /DRUN_DIR=<the build's program folder> /DICON=<quellmar.ico>
;          /DOUT_FILE=<setup.exe> quellmar.nsi   (the build's quellmar-installer target)

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
; The files' times on the build machine stay out of the installer: the same
; commit makes the same installer.
SetDateSave off

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quellmar"
!define CLASSES "Software\Classes"
!define PROG_ID "Quellmar.csv"

Name "Quellmar ${VERSION}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\Quellmar"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Quellmar ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\quellmar.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!define MUI_UNCONFIRMPAGE_TEXT_TOP "Quellmar will be uninstalled from the folder below. \
Your logbook folder, $LOCALAPPDATA\Quellmar, with your templates and your Output, stays as it is."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Quellmar"
  SetOutPath "$INSTDIR\bin"
  File "${RUN_DIR}/quellmar.exe"
  File "${RUN_DIR}/quellmar-convert.exe"
  SetOutPath "$INSTDIR\share\quellmar\html"
  File "${RUN_DIR}/html/*.*"
  SetOutPath "$INSTDIR\share\quellmar\pict"
  File "${RUN_DIR}/pict/*.*"
  SetOutPath "$INSTDIR\share\quellmar\examples"
  File "${RUN_DIR}/examples/*.*"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  SetOutPath "$INSTDIR\bin"
  CreateShortcut "$SMPROGRAMS\Quellmar.lnk" "$INSTDIR\bin\quellmar.exe"

  ; Add/Remove Programs, for this user.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quellmar"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quellmar team"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\quellmar.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; "Open with" for .csv files: a program identifier of Quellmar's own, listed
  ; among the extension's, which leaves its default program as it is.
  WriteRegStr HKCU "${CLASSES}\${PROG_ID}" "" "SDM CSV export"
  WriteRegStr HKCU "${CLASSES}\${PROG_ID}\DefaultIcon" "" "$INSTDIR\bin\quellmar.exe,0"
  WriteRegStr HKCU "${CLASSES}\${PROG_ID}\shell\open" "FriendlyAppName" "Quellmar"
  WriteRegStr HKCU "${CLASSES}\${PROG_ID}\shell\open\command" "" '"$INSTDIR\bin\quellmar.exe" "%1"'
  WriteRegStr HKCU "${CLASSES}\.csv\OpenWithProgids" "${PROG_ID}" ""
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'  ; SHCNE_ASSOCCHANGED
SectionEnd

; The installed programs and data only; anything else in the installation
; folder keeps it, and the user's own folder is never touched.
Section "Uninstall"
  Delete "$INSTDIR\bin\quellmar.exe"
  Delete "$INSTDIR\bin\quellmar-convert.exe"
  RMDir "$INSTDIR\bin"
  RMDir /r "$INSTDIR\share\quellmar"
  RMDir "$INSTDIR\share"
  Delete "$SMPROGRAMS\Quellmar.lnk"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Quellmar's own entries; the extension's keys only when nothing else is left in them.
  DeleteRegValue HKCU "${CLASSES}\.csv\OpenWithProgids" "${PROG_ID}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.csv\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.csv"
  DeleteRegKey HKCU "${CLASSES}\${PROG_ID}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'  ; SHCNE_ASSOCCHANGED
  DetailPrint "Your logbook folder $LOCALAPPDATA\Quellmar stays as it is."
SectionEnd
