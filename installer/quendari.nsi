; Quendari's setup: a per-user install (no elevation) into %LOCALAPPDATA%\Programs\Quendari, a
; Start-menu shortcut carrying the app's AppUserModelID, and an uninstall entry under HKCU.
; Defines from the build: PRODUCT, APP_ID (the AppUserModelID), WINDOW_CLASS (the main window's),
; VERSION, VERSION_NUMBERS (N.N.N.N), APP_EXE and APP_FILE (its path and file name),
; SHORTCUT_TOOL, ICON, OUTFILE. /S runs the setup and the uninstaller silently.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Where the WebView2 runtime's updater records an installed runtime's version.
!define RUNTIME_CLIENT_KEY "Microsoft\EdgeUpdate\Clients\{F3017226-FE2A-4295-8BDF-00C3A9A7E4C5}"
!define RUNTIME_DOWNLOAD "https://go.microsoft.com/fwlink/p/?LinkId=2124703"
; Seconds a running Quendari has to close after WM_CLOSE, in tenths.
!define CLOSE_PATIENCE 100

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the previous version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_NUMBERS}"
VIFileVersion "${VERSION_NUMBERS}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "CompanyName" "${PRODUCT}"
VIAddVersionKey "LegalCopyright" "${PRODUCT}"

Var finish_text
Var runtime_missing

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_PRE finish_pre
!define MUI_PAGE_CUSTOMFUNCTION_SHOW finish_show
!define MUI_FINISHPAGE_TEXT "$finish_text"
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Open the WebView2 Runtime download page"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION open_runtime_download
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Asks a running Quendari to close (it saves its window and zoom as it goes) and waits for it;
; never kills it. Stops the whole run, before anything is written or removed, when it stays.
!macro CLOSE_QUENDARI un
Function ${un}close_quendari
  FindWindow $0 "${WINDOW_CLASS}" "${PRODUCT}"
  ${If} $0 == 0
    Return
  ${EndIf}
  DetailPrint "Asking the running ${PRODUCT} to close..."
  ; Posted, not sent: a busy Quendari must not hold up this loop.
  System::Call "user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)"
  StrCpy $1 0
  ${Do}
    Sleep 100
    IntOp $1 $1 + 1
    FindWindow $0 "${WINDOW_CLASS}" "${PRODUCT}"
    ${If} $0 == 0
    ${OrIf} $1 >= ${CLOSE_PATIENCE}
      ${ExitDo}
    ${EndIf}
  ${Loop}
  ${If} $0 != 0
    DetailPrint "${PRODUCT} did not close; nothing was changed."
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is still running and did not close.$\r$\nClose ${PRODUCT}, then run this again." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  ; The window is gone; the process may still be finishing. Its executable becomes writable
  ; when it has exited.
  ${If} ${FileExists} "$INSTDIR\${APP_FILE}"
    ${Do}
      ClearErrors
      FileOpen $2 "$INSTDIR\${APP_FILE}" a
      ${IfNot} ${Errors}
        FileClose $2
        ${ExitDo}
      ${EndIf}
      ${If} $1 >= ${CLOSE_PATIENCE}
        ${ExitDo}
      ${EndIf}
      Sleep 100
      IntOp $1 $1 + 1
    ${Loop}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro CLOSE_QUENDARI ""
!insertmacro CLOSE_QUENDARI "un."

Function .onInit
  SetShellVarContext current
FunctionEnd

Section "${PRODUCT}" sec_program
  SectionIn RO
  Call close_quendari

  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "/oname=${APP_FILE}" "${APP_EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; NSIS cannot set a shortcut's AppUserModelID; the embedded tool does. Without the ID the
  ; shortcut still starts Quendari, but the taskbar may not group it with the window.
  InitPluginsDir
  File "/oname=$PLUGINSDIR\quendari-shortcut.exe" "${SHORTCUT_TOOL}"
  CreateDirectory "$SMPROGRAMS"
  nsExec::ExecToLog '"$PLUGINSDIR\quendari-shortcut.exe" "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${APP_FILE}" "${APP_ID}"'
  Pop $0
  ${If} $0 != 0
    DetailPrint "The shortcut tool failed ($0); creating the shortcut without its AppUserModelID."
    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${APP_FILE}" "" "$INSTDIR\${APP_FILE}" 0
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${APP_FILE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Sets $runtime_missing to 1 when no WebView2 runtime is installed, by the rule Microsoft
; documents for installers: the runtime's "pv" under EdgeUpdate\Clients, per machine (in the
; 32-bit view) or per user, present, not empty and not "0.0.0.0".
Function find_runtime
  StrCpy $runtime_missing 1
  SetRegView 64
  ReadRegStr $0 HKLM "SOFTWARE\WOW6432Node\${RUNTIME_CLIENT_KEY}" "pv"
  SetRegView lastused
  ${If} $0 == ""
  ${OrIf} $0 == "0.0.0.0"
    ReadRegStr $0 HKCU "Software\${RUNTIME_CLIENT_KEY}" "pv"
  ${EndIf}
  ${If} $0 != ""
  ${AndIf} $0 != "0.0.0.0"
    StrCpy $runtime_missing 0
  ${EndIf}
FunctionEnd

Function finish_pre
  Call find_runtime
  ${If} $runtime_missing == 1
    StrCpy $finish_text "${PRODUCT} is installed.$\r$\n$\r$\n${PRODUCT} needs the Microsoft Edge WebView2 Runtime, which was not found on this computer. Install it from Microsoft's download page, then start ${PRODUCT} from the Start menu."
  ${Else}
    StrCpy $finish_text "${PRODUCT} is installed. Start it from the Start menu."
  ${EndIf}
FunctionEnd

Function finish_show
  ${If} $runtime_missing != 1
    SendMessage $mui.FinishPage.ShowReadme ${BM_SETCHECK} 0 0
    ShowWindow $mui.FinishPage.ShowReadme ${SW_HIDE}
  ${EndIf}
FunctionEnd

Function open_runtime_download
  ExecShell "open" "${RUNTIME_DOWNLOAD}"
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "un.${PRODUCT}" un_sec_program
  SectionIn RO
  Call un.close_quendari
  ; The user's data first: the uninstall entry, removed last, marks the end of the run.
  Call un.remove_data_if_chosen
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\${APP_FILE}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ; Windows would otherwise try to start the removed program at every sign-in.
  DeleteRegValue HKCU "Software\Microsoft\Windows\CurrentVersion\Run" "${PRODUCT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Unticked by default, and so never chosen by a silent uninstall.
Section /o "un.Also remove my ${PRODUCT} data" un_sec_data
SectionEnd

; The app keeps its data in a folder named after its executable file (win32/embed.cpp).
Function un.remove_data_if_chosen
  ${If} ${SectionIsSelected} ${un_sec_data}
    DetailPrint "Removing the ${PRODUCT} data in $APPDATA\${APP_FILE}"
    ; The browser's processes may hold the folder for a few seconds after Quendari has closed.
    StrCpy $1 0
    ${Do}
      RMDir /r "$APPDATA\${APP_FILE}"
      ${IfNot} ${FileExists} "$APPDATA\${APP_FILE}\*.*"
      ${OrIf} $1 >= 20
        ${Break}
      ${EndIf}
      Sleep 500
      IntOp $1 $1 + 1
    ${Loop}
  ${EndIf}
FunctionEnd
