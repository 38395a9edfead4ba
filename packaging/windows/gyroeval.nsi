; The Windows installer: both programs with everything they load, Start-menu
; shortcuts for the program and for the simulated sensor, an entry in the
; system's list of installed programs, and an uninstaller that removes exactly
; the files it installed. scripts/windows/installer.sh defines VERSION, STAGE,
; OUTFILE and ICON and writes the two file lists it includes.
Unicode true
Target amd64-unicode ; a 64-bit installer: Windows programs of 64 bits only, and Wine without its 32-bit part runs it
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "Gyro Evaluation"
!define FOLDER "GyroEval"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\GyroEval"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${FOLDER}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION4}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Gyro Evaluation developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\gyroeval.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} on the simulated sensor"
!define MUI_FINISHPAGE_RUN_PARAMETERS "--user-settings --simulate --interface usb --start-reading"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${PRODUCT} needs a 64-bit Windows."
    Abort
  ${EndIf}
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  !include "${STAGE_LIST}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Started from the Start menu, as from a desktop menu, the program keeps its
  ; settings in the user's own settings folder (--user-settings).
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\gyroeval.exe" "--user-settings" \
    "$INSTDIR\gyroeval.exe" 0
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Simulated Sensor.lnk" "$INSTDIR\gyroeval.exe" \
    "--user-settings --simulate --interface usb --start-reading" "$INSTDIR\gyroeval.exe" 0
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\gyroeval.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  ; Only what the installer put there: logs, a register dump or a CommPort.cfg
  ; the user keeps in the folder stay, and so does the folder then.
  !include "${UNSTAGE_LIST}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Simulated Sensor.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
