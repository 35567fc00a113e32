; Installs Tellwand and WandEdit for every user of the computer.
; makensis -DTELLWAND_EXE=... -DWANDEDIT_EXE=... -DTWCTRL_NSH=... -DOUTFILE=... tellwand.nsi

Unicode false
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinMessages.nsh
!include MUI2.nsh
!include "${TWCTRL_NSH}"

!define PRODUCT "VELQ Tellwand"
; WandEdit reads the folder of the INI files from "Path" here.
!define INSTALL_KEY "Software\VELQ\VELQ Tellwand"
; WandEdit's own settings ("EnableOSD", "UserDefineTable").
!define SETTINGS_KEY "Software\VELQ\Tellwand"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!define TELLWAND_WINDOW_CLASS "VELQ HID Remote Controller"
!define WANDEDIT_WINDOW_TITLE "VELQ Tellwand v1.3"
!define SYNCHRONIZE 0x00100000
; Well-known SIDs, the same in every language of Windows.
!define ADMINISTRATORS "*S-1-5-32-544"
!define LOCAL_SYSTEM "*S-1-5-18"
!define USERS "*S-1-5-32-545"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${INSTALL_KEY}" "Path"

!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A running program holds its file open: close its window and wait until its process ends.
!macro CloseProgram CLASS TITLE
  FindWindow $0 "${CLASS}" "${TITLE}"
  ${If} $0 <> 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2'
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    System::Call 'kernel32::WaitForSingleObject(p r2, i 10000)'
    System::Call 'kernel32::CloseHandle(p r2)'
  ${EndIf}
!macroend

; Tellwand closes the WandEdit it started; an editor opened on its own is closed after it.
!macro ClosePrograms
  !insertmacro CloseProgram "${TELLWAND_WINDOW_CLASS}" ""
  !insertmacro CloseProgram "" "${WANDEDIT_WINDOW_TITLE}"
!macroend

Function .onInit
  SetShellVarContext all
  SetRegView 32
FunctionEnd

; Jumps to JUMP when $INSTDIR lies inside FOLDER (or is FOLDER itself).
!macro IfInstallingInside FOLDER JUMP
  StrLen $1 "${FOLDER}\"
  StrCpy $2 "$INSTDIR\" $1
  StrCmp $2 "${FOLDER}\" ${JUMP}
!macroend

; icacls from the system folder with ARGUMENTS; failures are told in the details.
!macro Icacls ARGUMENTS
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" ${ARGUMENTS}'
  Pop $0
  ${If} $0 != 0
    DetailPrint 'icacls ${ARGUMENTS} failed ($0)'
  ${EndIf}
!macroend

; An existing FILE, or a new empty one, that every user may change.
!macro UserEditableFile FILE
  ${IfNot} ${FileExists} "${FILE}"
    FileOpen $0 "${FILE}" w
    FileClose $0
  ${EndIf}
  !insertmacro Icacls '"${FILE}" /grant ${USERS}:M'
!macroend

; A folder outside Program Files inherits what its parent allows, often writing for every
; user, who could then put a DLL beside programs that run at every logon. It gets the rule of
; Program Files instead: administrators and the system change it, users read and run it. So
; that WandEdit keeps working for every user, the user tables stay theirs to change.
Function RestrictCustomFolder
  !insertmacro IfInstallingInside "$PROGRAMFILES" done
  !insertmacro IfInstallingInside "$PROGRAMFILES64" done
  !insertmacro Icacls '"$INSTDIR" /inheritance:r /grant:r ${ADMINISTRATORS}:(OI)(CI)F \
    ${LOCAL_SYSTEM}:(OI)(CI)F ${USERS}:(OI)(CI)RX'
  !insertmacro UserEditableFile "$INSTDIR\UserDef.ini"
  !insertmacro UserEditableFile "$INSTDIR\UserDefInf.ini"
  done:
FunctionEnd

Section "-Programs"
  !insertmacro ClosePrograms
  SetOutPath "$INSTDIR"
  Call RestrictCustomFolder
  File "${TELLWAND_EXE}"
  File "${WANDEDIT_EXE}"
  ; TWCtrl.ini is the user's to edit: an existing one stays as it is. A new one gets
  ; Tellwand's own defaults too, since Tellwand writes them only when the file is missing.
  ${IfNot} ${FileExists} "$INSTDIR\TWCtrl.ini"
    !insertmacro WriteTwCtrlIni "$INSTDIR\TWCtrl.ini"
  ${EndIf}

  WriteRegStr HKLM "${INSTALL_KEY}" "Path" "$INSTDIR"
  WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\Tellwand.exe"'

  CreateDirectory "${MENU_FOLDER}"
  CreateShortCut "${MENU_FOLDER}\Tellwand.lnk" "$INSTDIR\Tellwand.exe"
  CreateShortCut "${MENU_FOLDER}\WandEdit.lnk" "$INSTDIR\WandEdit.exe" "0"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "VELQ"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tellwand.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "un.Programs"
  SectionIn RO
  !insertmacro ClosePrograms
  Delete "$INSTDIR\Tellwand.exe"
  Delete "$INSTDIR\WandEdit.exe"
  Delete "$INSTDIR\Uninstall.exe"

  Delete "${MENU_FOLDER}\Tellwand.lnk"
  Delete "${MENU_FOLDER}\WandEdit.lnk"
  RMDir "${MENU_FOLDER}"

  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKLM "${INSTALL_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; TWCtrl.ini is the user's too: install keeps an existing one, perhaps edited by hand.
Section /o "un.Your button tables and settings" UserFiles
  Delete "$INSTDIR\TWCtrl.ini"
  Delete "$INSTDIR\UserDef.ini"
  Delete "$INSTDIR\UserDefInf.ini"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
SectionEnd

Section "-un.Folders"
  ; Both stay while the user's tables or settings are in them.
  RMDir "$INSTDIR"
  DeleteRegKey /ifempty HKLM "Software\VELQ"
SectionEnd

; /REMOVEUSERFILES asks a silent uninstall to remove the user's tables (TWCtrl.ini with them)
; and settings as well.
Function un.onInit
  SetShellVarContext all
  SetRegView 32
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/REMOVEUSERFILES" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UserFiles}
  ${EndIf}
FunctionEnd
