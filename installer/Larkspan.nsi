; Larkspan setup: installs the program and its Explorer extension for the
; current user (no administrator rights), registers the extension's class and
; its context-menu handler for files, folders and drives under HKCU, and adds
; an uninstaller with an entry in the installed-programs list.
;
; Explorer loads the extension into its own process, so the library must match
; Explorer's architecture. On 64-bit Windows the 64-bit library is installed as
; LarkspanShell.dll and registered in the 64-bit registry view (where 64-bit
; Explorer looks; this 32-bit setup would otherwise write the 32-bit view), and
; the 32-bit library as LarkspanShell32.dll in the 32-bit view, for the file
; dialogs of 32-bit programs. On 32-bit Windows the 32-bit library is
; LarkspanShell.dll. Larkspan.exe is a 32-bit program on both.
;
; The program writes lkpara.dat and Larkspan.ini beside itself, so it lives in
; a folder the user can write to: %LOCALAPPDATA%\Programs\Larkspan.
;
; makensis -DPROGRAM=<Larkspan.exe> -DEXTENSION=<32-bit LarkspanShell.dll>
;          -DEXTENSION64=<64-bit LarkspanShell.dll>
;          -DHELPFILE=<Larkspan.chm, optional> -DOUTFILE=<LarkspanSetup.exe> Larkspan.nsi
; Silent: LarkspanSetup.exe /S, Uninstall.exe /S.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef PROGRAM | EXTENSION | EXTENSION64 | OUTFILE
  !error "PROGRAM, EXTENSION, EXTENSION64 and OUTFILE must be defined"
!endif

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

Section "${PRODUCT}"
  SetOutPath "$INSTDIR"
  File "/oname=Larkspan.exe" "${PROGRAM}"
  ${If} ${RunningX64}
    File "/oname=${LIBRARY}" "${EXTENSION64}"
    File "/oname=${LIBRARY32}" "${EXTENSION}"
  ${Else}
    File "/oname=${LIBRARY}" "${EXTENSION}"
  ${EndIf}
!ifdef HELPFILE
!if /FileExists "${HELPFILE}"
  File "/oname=Larkspan.chm" "${HELPFILE}"
!endif
!endif
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

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

; Everything the setup made goes; the user's settings (Larkspan.ini) stay, and
; with them the folder. A library still loaded by Explorer goes at the next start.
Section "Uninstall"
  ${If} ${RunningX64}
    SetRegView 64
    !insertmacro UnregisterExtension
    SetRegView 32
  ${EndIf}
  !insertmacro UnregisterExtension
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  Delete "$INSTDIR\Larkspan.exe"
  Delete /REBOOTOK "$INSTDIR\${LIBRARY}"
  Delete /REBOOTOK "$INSTDIR\${LIBRARY32}"
  Delete "$INSTDIR\Larkspan.chm"
  ; A parameter file the program never got to read.
  Delete "$INSTDIR\lkpara.dat"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir /REBOOTOK "$INSTDIR"
SectionEnd
