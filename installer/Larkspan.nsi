; Larkspan setup: installs the program and its Explorer extension for the
; current user (no administrator rights), registers the extension's class and
; its context-menu handler for files, folders and drives under HKCU, and adds
; an uninstaller with an entry in the installed-programs list.
;
; One script, two installers: a 32-bit one (dist/LarkspanSetup.exe) that runs
; on every Windows, and a 64-bit one (dist/x64/LarkspanSetup.exe, makensis
; -DX64) for 64-bit Windows. Both carry the same files, install into the same
; folder and write the same registration, so each upgrades and uninstalls the
; other's install.
;
; On 64-bit Windows the 64-bit program is installed, and the extension in both
; builds: Explorer loads the extension into its own process, so the library
; must match Explorer's architecture. The 64-bit library is LarkspanShell.dll,
; registered in the 64-bit registry view (where 64-bit Explorer looks), and
; the 32-bit library LarkspanShell32.dll in the 32-bit view, for the file
; dialogs of 32-bit programs. On 32-bit Windows the 32-bit program and library
; are installed, the library as LarkspanShell.dll.
;
; The program writes lkpara.dat and Larkspan.ini beside itself, so it lives in
; a folder the user can write to: %LOCALAPPDATA%\Programs\Larkspan.
;
; makensis [-DX64] -DPROGRAM=<32-bit Larkspan.exe> -DPROGRAM64=<64-bit Larkspan.exe>
;          -DEXTENSION=<32-bit LarkspanShell.dll> -DEXTENSION64=<64-bit LarkspanShell.dll>
;          -DHELPFILE=<Larkspan.chm, optional> -DOUTFILE=<LarkspanSetup.exe> Larkspan.nsi
; Silent: LarkspanSetup.exe /S, Uninstall.exe /S.

!ifdef X64
  Target amd64-unicode
  ; There ${RunningX64} is known true when the script is compiled, and the
  ; branches for 32-bit Windows are left out, their labels unused.
  !pragma warning disable 6012
!else
  Unicode true
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef PROGRAM | PROGRAM64 | EXTENSION | EXTENSION64 | OUTFILE
  !error "PROGRAM, PROGRAM64, EXTENSION, EXTENSION64 and OUTFILE must be defined"
!endif

!include LogicLib.nsh
!include x64.nsh

!define PRODUCT "Larkspan"
!define VERSION "1.0"
!define CLSID "{D536B8B1-51E1-4287-ABB7-BA665DF631A3}"
!define CLASSES "Software\Classes"
!define CLASS_KEY "${CLASSES}\CLSID\${CLSID}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define UNINSTALLER "Uninstall.exe"
!define LIBRARY "LarkspanShell.dll"
!define LIBRARY32 "LarkspanShell32.dll"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText " "

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Japanese.nlf"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "${PRODUCT}"

Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The extension's class in the current registry view: an in-process server in
; the installed library LIB, called on the thread of the Explorer window that
; uses it; and its context-menu handler for files (*), folders and drives.
!macro RegisterExtension LIB
  WriteRegStr HKCU "${CLASS_KEY}" "" "${PRODUCT} Shell Extension"
  WriteRegStr HKCU "${CLASS_KEY}\InprocServer32" "" "$INSTDIR\${LIB}"
  WriteRegStr HKCU "${CLASS_KEY}\InprocServer32" "ThreadingModel" "Apartment"
  !insertmacro RegisterHandler "*"
  !insertmacro RegisterHandler "Directory"
  !insertmacro RegisterHandler "Drive"
!macroend

!macro RegisterHandler ITEMS
  WriteRegStr HKCU "${CLASSES}\${ITEMS}\shellex\ContextMenuHandlers\${PRODUCT}" "" "${CLSID}"
!macroend

; Everything RegisterExtension made in the current registry view.
!macro UnregisterExtension
  !insertmacro UnregisterHandler "*"
  !insertmacro UnregisterHandler "Directory"
  !insertmacro UnregisterHandler "Drive"
  DeleteRegKey HKCU "${CLASS_KEY}"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "${CLASSES}\CLSID"
!macroend

; Removes the handler, then each key above it up to the item class, as long
; as nothing else (no sub-key, no value) is left in it.
!macro UnregisterHandler ITEMS
  DeleteRegKey HKCU "${CLASSES}\${ITEMS}\shellex\ContextMenuHandlers\${PRODUCT}"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "${CLASSES}\${ITEMS}\shellex\ContextMenuHandlers"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "${CLASSES}\${ITEMS}\shellex"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "${CLASSES}\${ITEMS}"
!macroend

; Files in use when the setup runs again: Explorer keeps the extension loaded
; once it has shown the menu, and Windows refuses to overwrite or delete a
; loaded library, while it lets it be renamed within its volume. Such a file is
; moved aside as "NAME.N.old" in the install folder and the new one written in
; its place; the moved-aside files go at the next setup or uninstall, or at the
; next logon (RunOnce), once nothing holds them any more.
!define ASIDE_PATTERN "*.old"
!define CLEANUP_VALUE "${PRODUCT} cleanup"
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"

; The files that could not be written, one per line; empty when all were.
Var failed

; Renames the file $0 to the first free name "$0.N.old" beside it.
Function MoveAside
  StrCpy $1 1
  ${DoWhile} ${FileExists} "$0.$1.old"
    IntOp $1 $1 + 1
  ${Loop}
  Rename "$0" "$0.$1.old"
FunctionEnd

; The built file SRC as NAME in the install folder, the old one deleted or,
; when it is in use, moved aside; a file that still could not be written is
; added to $failed.
!macro InstallFile SRC NAME
  Delete "$INSTDIR\${NAME}"
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    StrCpy $0 "$INSTDIR\${NAME}"
    Call MoveAside
  ${EndIf}
  ClearErrors
  File "/oname=${NAME}" "${SRC}"
  ${If} ${Errors}
    StrCpy $failed "$failed$\r$\n$INSTDIR\${NAME}"
  ${EndIf}
!macroend

; At the next logon: the moved-aside files of folder DIR, held no longer.
!macro CleanUpAtLogon DIR
  WriteRegStr HKCU "${RUNONCE_KEY}" "${CLEANUP_VALUE}" '"$SYSDIR\cmd.exe" /c del /f /q "${DIR}\${ASIDE_PATTERN}"'
!macroend

Section "${PRODUCT}"
  SetOutPath "$INSTDIR"
  ; Overwrite what can be overwritten; a file that cannot be is reported, never skipped in silence.
  SetOverwrite try
  StrCpy $failed ""
  Delete "$INSTDIR\${ASIDE_PATTERN}"
  ${If} ${RunningX64}
    !insertmacro InstallFile "${PROGRAM64}" "Larkspan.exe"
    !insertmacro InstallFile "${EXTENSION64}" "${LIBRARY}"
    !insertmacro InstallFile "${EXTENSION}" "${LIBRARY32}"
  ${Else}
    !insertmacro InstallFile "${PROGRAM}" "Larkspan.exe"
    !insertmacro InstallFile "${EXTENSION}" "${LIBRARY}"
  ${EndIf}
!ifdef HELPFILE
!if /FileExists "${HELPFILE}"
  !insertmacro InstallFile "${HELPFILE}" "Larkspan.chm"
!endif
!endif
  Delete "$INSTDIR\${UNINSTALLER}"
  ClearErrors
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ${If} ${Errors}
    StrCpy $failed "$failed$\r$\n$INSTDIR\${UNINSTALLER}"
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\${ASIDE_PATTERN}"
    !insertmacro CleanUpAtLogon "$INSTDIR"
  ${EndIf}
  ; Never success over a file that is not the new one: the message (silent:
  ; the exit code 2), and the registration stays as it was.
  ${If} $failed != ""
    MessageBox MB_ICONSTOP|MB_OK "$(^Name) のファイルを書き込めませんでした。　$\r$\nセットアップは完了していません。　$\r$\n$failed" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  ${If} ${RunningX64}
    ; The 32-bit view first: where a system does not keep the views apart
    ; (Wine 8 for this key), the 64-bit library, written last, stays.
    SetRegView 32
    !insertmacro RegisterExtension "${LIBRARY32}"
    SetRegView 64
    !insertmacro RegisterExtension "${LIBRARY}"
    SetRegView 32
  ${Else}
    !insertmacro RegisterExtension "${LIBRARY}"
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Larkspan.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Files still in use at the uninstall (a library Explorer holds) cannot be
; deleted: they are moved out of the install folder into this folder, made in
; the user's temporary folder (else, when that lies on another volume, beside
; the install folder), which goes at the next logon.
!define REMOVED_FOLDER "${PRODUCT}.removed"

; Renames $INSTDIR\$0 to the first free name "$1\$0.N".
Function un.MoveInto
  CreateDirectory "$1"
  StrCpy $2 1
  ${DoWhile} ${FileExists} "$1\$0.$2"
    IntOp $2 $2 + 1
  ${Loop}
  Rename "$INSTDIR\$0" "$1\$0.$2"
FunctionEnd

; Removes the file $0 of the install folder, or moves it out when it is in use.
Function un.RemoveFile
  Delete "$INSTDIR\$0"
  ${IfNot} ${FileExists} "$INSTDIR\$0"
    Return
  ${EndIf}
  StrCpy $1 "$TEMP\${REMOVED_FOLDER}"
  StrCpy $3 "${CLEANUP_VALUE} (temp)"
  Call un.MoveInto
  ${If} ${FileExists} "$INSTDIR\$0"
    StrCpy $1 "$INSTDIR\..\${REMOVED_FOLDER}"
    StrCpy $3 "${CLEANUP_VALUE} (beside)"
    Call un.MoveInto
  ${EndIf}
  ; One entry per folder to empty: files moved into both folders are all removed.
  WriteRegStr HKCU "${RUNONCE_KEY}" "$3" '"$SYSDIR\cmd.exe" /c rd /s /q "$1"'
FunctionEnd

!macro RemoveInstalled NAME
  StrCpy $0 "${NAME}"
  Call un.RemoveFile
!macroend

; Everything the setup made goes, loaded library or not; the user's settings
; (Larkspan.ini) stay, and with them the folder.
Section "Uninstall"
  ${If} ${RunningX64}
    SetRegView 64
    !insertmacro UnregisterExtension
    SetRegView 32
  ${EndIf}
  !insertmacro UnregisterExtension
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegValue HKCU "${RUNONCE_KEY}" "${CLEANUP_VALUE}"

  !insertmacro RemoveInstalled "Larkspan.exe"
  !insertmacro RemoveInstalled "${LIBRARY}"
  !insertmacro RemoveInstalled "${LIBRARY32}"
  !insertmacro RemoveInstalled "Larkspan.chm"
  ; A parameter file the program never got to read.
  !insertmacro RemoveInstalled "lkpara.dat"
  !insertmacro RemoveInstalled "${UNINSTALLER}"
  ; What earlier setups moved aside.
  FindFirst $R0 $R1 "$INSTDIR\${ASIDE_PATTERN}"
  ${DoWhile} $R1 != ""
    StrCpy $0 $R1
    Call un.RemoveFile
    FindNext $R0 $R1
  ${Loop}
  FindClose $R0
  RMDir "$INSTDIR"
SectionEnd
