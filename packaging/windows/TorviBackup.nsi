; The Windows installer: the two programs, the DLLs they need and the Qt plugins, into a folder the user
; can write (the settings file and the log live beside the programs), a Start-menu entry, optionally a
; start with Windows, and an uninstaller that keeps the settings and the log.
; Built by the "windows-installer" target, which defines VERSION, STAGE (the folder holding the files),
; FILES (the generated list of them) and OUTFILE.
; A 64-bit installer for 64-bit programs (it needs no 32-bit Wine either).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define PRODUCT "Torvi Backup"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TorviBackup"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALLER "Desinstalar.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "C:\torvi"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_FINISHPAGE_TITLE "Instalação concluída"
!define MUI_FINISHPAGE_TEXT "O ${PRODUCT} foi instalado em $INSTDIR.$\r$\n$\r$\nA biblioteca cliente do Firebird (gds32.dll ou fbclient.dll) não faz parte deste instalador: ela vem do instalador do próprio banco de dados (instale o cliente do Firebird nesta máquina, ou copie a biblioteca para $INSTDIR).$\r$\n$\r$\nAs configurações (Configuracaobkp.ini) e o registro dos backups (BkpLog.txt) ficam nesta pasta."
!define MUI_FINISHPAGE_RUN "$INSTDIR\VAzeduz.exe"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "PortugueseBR"

!include "${FILES}"

Section "${PRODUCT}" SectionPrograms
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; A program left running from an older install would keep its files locked.
  SetOverwrite on
  !insertmacro InstallProgramFiles
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\VAzeduz.exe" "" "$INSTDIR\VAzeduz.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Desinstalar ${PRODUCT}.lnk" "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\VAzeduz.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "Iniciar com o Windows (ícone na bandeja)" SectionStartWithWindows
  WriteRegStr HKCU "${RUN_KEY}" "TorviBackup" '"$INSTDIR\VAzeduz.exe"'
SectionEnd

; The settings file, the log, the working folder and a client library the user put here stay.
Section "Uninstall"
  !insertmacro RemoveProgramFiles
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Desinstalar ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegValue HKCU "${RUN_KEY}" "TorviBackup"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
