; Larkspan setup: installs the program and its Explorer extension for the
; current user (no administrator rights), registers the extension's class and
; its context-menu handler for files and folders under HKCU, and adds an
; uninstaller with an entry in the installed-programs list.
;
; The program writes lkpara.dat and Larkspan.ini beside itself, so it lives in
; a folder the user can write to: %LOCALAPPDATA%\Programs\Larkspan.
;
; makensis -DPROGRAM=<Larkspan.exe> -DEXTENSION=<LarkspanShell.dll>
;          -DHELPFILE=<Larkspan.chm, optional> -DOUTFILE=<LarkspanSetup.exe> Larkspan.nsi
; Silent: LarkspanSetup.exe /S, Uninstall.exe /S.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef PROGRAM | EXTENSION | OUTFILE
  !error "PROGRAM, EXTENSION and OUTFILE must be defined"
!endif

!define PRODUCT "Larkspan"
!define VERSION "1.0"
!define CLSID "{D536B8B1-51E1-4287-ABB7-BA665DF631A3}"
!define CLASSES "Software\Classes"
!define CLASS_KEY "${CLASSES}\CLSID\${CLSID}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define UNINSTALLER "Uninstall.exe"

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

; The context-menu handler under one class of shell items (* = files, Directory = folders).
!macro RegisterHandler ITEMS
  WriteRegStr HKCU "${CLASSES}\${ITEMS}\shellex\ContextMenuHandlers\${PRODUCT}" "" "${CLSID}"
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
  File "/oname=LarkspanShell.dll" "${EXTENSION}"
!ifdef HELPFILE
!if /FileExists "${HELPFILE}"
  File "/oname=Larkspan.chm" "${HELPFILE}"
!endif
!endif
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; The extension's class: an in-process server in the installed library,
  ; called on the thread of the Explorer window that uses it.
  WriteRegStr HKCU "${CLASS_KEY}" "" "${PRODUCT} Shell Extension"
  WriteRegStr HKCU "${CLASS_KEY}\InprocServer32" "" "$INSTDIR\LarkspanShell.dll"
  WriteRegStr HKCU "${CLASS_KEY}\InprocServer32" "ThreadingModel" "Apartment"
  !insertmacro RegisterHandler "*"
  !insertmacro RegisterHandler "Directory"

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
  !insertmacro UnregisterHandler "*"
  !insertmacro UnregisterHandler "Directory"
  DeleteRegKey HKCU "${CLASS_KEY}"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "${CLASSES}\CLSID"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  Delete "$INSTDIR\Larkspan.exe"
  Delete /REBOOTOK "$INSTDIR\LarkspanShell.dll"
  Delete "$INSTDIR\Larkspan.chm"
  ; A parameter file the program never got to read.
  Delete "$INSTDIR\lkpara.dat"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir /REBOOTOK "$INSTDIR"
SectionEnd
