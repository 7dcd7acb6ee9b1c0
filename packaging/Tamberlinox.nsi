; The Tamberlinox installer: a per-user install that needs no administrator rights.
;
;   makensis -DVERSION=5.1 -DPROGRAM=.../Tamberlinox.exe -DPROGRAM64=.../x64/Tamberlinox.exe
;            -DHELP=.../Help.txt -DICON=.../main.ico -DOUTFILE=.../Tamberlinox-5.1-setup.exe Tamberlinox.nsi
;
; It holds both programs and installs the 64-bit one (PROGRAM64) on 64-bit
; Windows, the 32-bit one (PROGRAM) elsewhere, as Tamberlinox.exe either way.
; It puts Tamberlinox.exe, Help.txt and Uninstall.exe into
; %LOCALAPPDATA%\Programs\Tamberlinox, two shortcuts into the user's Start menu
; (the program, and its Options window) and an entry into the user's list of
; installed programs. /S installs silently.
; The program's own settings (HKCU\Software\Zemrik Software\Tamberlinox) are left
; alone, so installing over an earlier install keeps them. The uninstaller
; (Uninstall.exe, also silent with /S) removes everything the installer and the
; program created: files, shortcuts, list entry, start-up entries and settings.

Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define PRODUCT "Tamberlinox"
!define PUBLISHER "Zemrik Software"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_PARENT_KEY "Software\${PUBLISHER}"
!define SETTINGS_KEY "${SETTINGS_PARENT_KEY}\${PRODUCT}"
; The running program is known by its main window.
!define WINDOW_CLASS "TamberlinoxForm"
!define WINDOW_CAPTION "Zemrik Program"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tamberlinox.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Ends a running copy of the program: "Tamberlinox.exe /exit" asks it to show the
; desktop icons, remove its tray icon and end. The request returns at once; the
; copy is gone when its main window is, which takes a moment, so this waits for
; the window to disappear (5 s at most). $0: the program file that takes the request.
!macro END_RUNNING_COPY un
Function ${un}EndRunningCopy
  Exch $0
  Push $1
  Push $2
  FindWindow $1 "${WINDOW_CLASS}" "${WINDOW_CAPTION}"
  ${If} $1 <> 0
  ${AndIf} ${FileExists} "$0"
    ; Not ExecWait: a program file that does not know the request would start
    ; another copy instead, and the wait would never end.
    Exec '"$0" /exit'
    ${For} $2 1 50
      Sleep 100
      FindWindow $1 "${WINDOW_CLASS}" "${WINDOW_CAPTION}"
      ${If} $1 = 0
        ${ExitFor}
      ${EndIf}
    ${Next}
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Deletes a program file that a process that is ending may still hold, trying
; for 3 s at most. $0: the file. Afterwards the file exists only if that failed.
Function ${un}DeleteWhenFree
  Exch $0
  Push $1
  ${For} $1 1 30
    Delete "$0"
    ${IfNot} ${FileExists} "$0"
      ${ExitFor}
    ${EndIf}
    Sleep 100
  ${Next}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro END_RUNNING_COPY ""
!insertmacro END_RUNNING_COPY "un."

Section "Tamberlinox" SecProgram
  SetOutPath "$INSTDIR"
  Push "$INSTDIR\Tamberlinox.exe"
  Call EndRunningCopy
  ; A copy that does not end keeps its program file: the user may close it and retry.
  ${Do}
    Push "$INSTDIR\Tamberlinox.exe"
    Call DeleteWhenFree
    ${IfNot} ${FileExists} "$INSTDIR\Tamberlinox.exe"
      ${Break}
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is still running. Close it (right-click its tray icon, Close Program) and click Retry." /SD IDCANCEL IDRETRY`
      Abort "${PRODUCT} is still running."
    ${EndIf}
  ${Loop}

  ${If} ${RunningX64}
    File "/oname=Tamberlinox.exe" "${PROGRAM64}"
  ${Else}
    File "/oname=Tamberlinox.exe" "${PROGRAM}"
  ${EndIf}
  File "/oname=Help.txt" "${HELP}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Tamberlinox.exe" "" "$INSTDIR\Tamberlinox.exe" 0
  ; The running copy opens its Options window; without one the program starts and opens it.
  CreateShortcut "$SMPROGRAMS\${PRODUCT} Options.lnk" "$INSTDIR\Tamberlinox.exe" "/options" "$INSTDIR\Tamberlinox.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tamberlinox.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Push "$INSTDIR\Tamberlinox.exe"
  Call un.EndRunningCopy
  Push "$INSTDIR\Tamberlinox.exe"
  Call un.DeleteWhenFree
  Delete "$INSTDIR\Help.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ; The folder that holds per-user programs goes too when nothing else uses it.
  RMDir "$LOCALAPPDATA\Programs"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT} Options.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; The program adds itself to the programs that start with Windows: machine-wide
  ; where the user may write there (an ordinary user may not: that failure is
  ; expected and ignored), otherwise for the user.
  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  ; The 64-bit program writes the machine's entry into the 64-bit view of the registry.
  ${If} ${RunningX64}
    SetRegView 64
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
    SetRegView lastused
  ${EndIf}
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT_KEY}"
SectionEnd
