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
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_COMPONENTSPAGE_TEXT_TOP "Outside Program Files, the button tables (UserDef.ini, \
  UserDefInf.ini) can be shared and changed by every user. Each user then decides what the \
  buttons do, and which programs they start, for every other user of this computer."
!insertmacro MUI_PAGE_COMPONENTS
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

; What the chosen folder is: "inside" Program Files, the "current" installation's folder, or a
; "fresh" one (new or empty) outside; "" when the installer refuses it.
Var FolderKind

Function DirectoryLeave
  Call CheckInstallFolder
  ${If} $FolderKind == ""
    MessageBox MB_OK|MB_ICONSTOP "Outside Program Files, ${PRODUCT} installs only into a new \
      or empty folder, or into the folder it is installed in now. Please choose another one."
    Abort
  ${EndIf}
FunctionEnd

; $INSTDIR as a full path without "." or ".." parts, so that "C:\Program Files\..\X" does not
; pass for a folder inside Program Files.
Function NormaliseInstallFolder
  System::Call 'kernel32::GetFullPathName(t "$INSTDIR", i ${NSIS_MAX_STRLEN}, t .r0, p 0) i .r1'
  ${If} $1 > 0
  ${AndIf} $1 < ${NSIS_MAX_STRLEN}
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

; Jumps to JUMP when $INSTDIR lies inside FOLDER (or is FOLDER itself).
!macro IfInstallingInside FOLDER JUMP
  StrLen $1 "${FOLDER}\"
  StrCpy $2 "$INSTDIR\" $1
  StrCmp $2 "${FOLDER}\" ${JUMP}
!macroend

; Sets $0 to 1 when the folder $INSTDIR holds nothing, else 0.
Function IsFolderEmpty
  StrCpy $0 1
  FindFirst $1 $2 "$INSTDIR\*"
  ${DoWhile} $2 != ""
    ${If} $2 != "."
    ${AndIf} $2 != ".."
      StrCpy $0 0
      ${Break}
    ${EndIf}
    FindNext $1 $2
  ${Loop}
  FindClose $1
FunctionEnd

; A folder outside Program Files inherits what its parent allows, often writing for every user,
; who could put a program there that runs at every logon; a folder in use holds files others
; rely on. So outside Program Files only a folder that is new or empty is taken (and then
; secured), or the one the current installation is in: its "Path" only administrators write.
Function CheckInstallFolder
  Call NormaliseInstallFolder
  StrCpy $FolderKind "inside"
  !insertmacro IfInstallingInside "$PROGRAMFILES" done
  !insertmacro IfInstallingInside "$PROGRAMFILES64" done
  StrCpy $FolderKind "current"
  ReadRegStr $0 HKLM "${INSTALL_KEY}" "Path"
  StrCmp $0 $INSTDIR done
  StrCpy $FolderKind "fresh"
  ${IfNot} ${FileExists} "$INSTDIR"
    Goto done
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\*"
    Call IsFolderEmpty
    StrCmp $0 1 done
  ${EndIf}
  StrCpy $FolderKind ""
  done:
FunctionEnd

; icacls from the system folder with ARGUMENTS; failures are told in the details and set the
; error flag.
!macro Icacls ARGUMENTS
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" ${ARGUMENTS}'
  Pop $0
  ${If} $0 != 0
    DetailPrint 'icacls ${ARGUMENTS} failed ($0)'
    SetErrors
  ${EndIf}
!macroend

; Stops the installation, having written nothing into the folder.
!macro RefuseFolder TEXT
  MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
  Abort "${TEXT}"
!macroend

; A new or empty folder outside Program Files gets the rule of Program Files before any file is
; in it: owned by administrators (an owner may always change the rules), its explicit and
; inherited rules replaced; administrators and the system change it, users read and run it.
; A file put there before that would keep its own rules: the folder must still be empty.
Function SecureFreshFolder
  ClearErrors
  CreateDirectory "$INSTDIR"
  !insertmacro Icacls '"$INSTDIR" /setowner ${ADMINISTRATORS}'
  !insertmacro Icacls '"$INSTDIR" /reset'
  !insertmacro Icacls '"$INSTDIR" /inheritance:r /grant:r ${ADMINISTRATORS}:(OI)(CI)F \
    ${LOCAL_SYSTEM}:(OI)(CI)F ${USERS}:(OI)(CI)RX'
  ${If} ${Errors}
    !insertmacro RefuseFolder "The folder $INSTDIR could not be secured."
  ${EndIf}
  Call IsFolderEmpty
  ${If} $0 != 1
    !insertmacro RefuseFolder "The folder $INSTDIR is no longer empty."
  ${EndIf}
FunctionEnd

; An existing FILE, or a new empty one, that every user may change.
!macro UserEditableFile FILE
  ${IfNot} ${FileExists} "${FILE}"
    FileOpen $0 "${FILE}" w
    FileClose $0
  ${EndIf}
  !insertmacro Icacls '"${FILE}" /grant ${USERS}:M'
!macroend

; The tables' sharing is chosen afresh at each install: it is taken back here, and given
; again when chosen.
!macro TablesToAdministratorsOnly FILE
  ${If} ${FileExists} "${FILE}"
    !insertmacro Icacls '"${FILE}" /remove:g ${USERS}'
  ${EndIf}
!macroend

Section "-Programs"
  ${If} $FolderKind == fresh
    Call SecureFreshFolder
  ${ElseIf} $FolderKind == current
    !insertmacro TablesToAdministratorsOnly "$INSTDIR\UserDef.ini"
    !insertmacro TablesToAdministratorsOnly "$INSTDIR\UserDefInf.ini"
  ${EndIf}
  !insertmacro ClosePrograms
  SetOutPath "$INSTDIR"
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

; In Program Files each user changes a private copy of the tables, which Windows keeps for
; them; elsewhere there is one copy for all, so sharing it is the administrator's choice.
Section /o "Button tables every user may change (outside Program Files)" SharedTables
  ${If} $FolderKind != inside
    !insertmacro UserEditableFile "$INSTDIR\UserDef.ini"
    !insertmacro UserEditableFile "$INSTDIR\UserDefInf.ini"
  ${EndIf}
SectionEnd

; /SHAREDTABLES chooses the shared tables for a silent install. A silent install into a folder
; it refuses ends with exit code 2, having written nothing.
Function .onInit
  SetShellVarContext all
  SetRegView 32
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SHAREDTABLES" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SharedTables}
  ${EndIf}
  ${If} ${Silent}
    Call CheckInstallFolder
    ${If} $FolderKind == ""
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

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
