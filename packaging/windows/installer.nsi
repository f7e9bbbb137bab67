; The installer of the Windows program: Program Files, a Start-menu entry, and
; an uninstaller that also takes away the autostart value the program writes.
;   makensis -INPUTCHARSET UTF8 -DARCH=i686|x86_64 -DEXE=path -DREADME=path -DOUTFILE=path installer.nsi
; (scripts/package-windows.sh runs it.)
; The 64-bit program gets a 64-bit installer: it needs no 32-bit layer on the machine.
!if ${ARCH} == x86_64
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

!define PRODUCT "Melvo手机版/Pavix 打印服务器V3.0"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\PavixPrintServer"
!define RUN_KEY "SOFTWARE\Microsoft\windows\CurrentVersion\Run"
!define RUN_VALUE "Melvo手机版打印服务器"
!define MENU_FOLDER "Pavix 打印服务器"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
!if ${ARCH} == x86_64
  InstallDir "$PROGRAMFILES64\Pavix Print Server"
!else
  InstallDir "$PROGRAMFILES\Pavix Print Server"
!endif
VIProductVersion "3.0.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "Pavix Print Server"
VIAddVersionKey /LANG=2052 "FileDescription" "Pavix Print Server setup"
VIAddVersionKey /LANG=2052 "FileVersion" "3.0.0.0"
VIAddVersionKey /LANG=2052 "ProductVersion" "3.0"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Pavix"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\pavix-print-server.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
  !if ${ARCH} == x86_64
    SetRegView 64
  !endif
FunctionEnd

Function un.onInit
  !if ${ARCH} == x86_64
    SetRegView 64
  !endif
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  File "/oname=pavix-print-server.exe" "${EXE}"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${MENU_FOLDER}"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\Melvo手机版 Pavix 打印服务器.lnk" "$INSTDIR\pavix-print-server.exe"
  CreateShortcut "$SMPROGRAMS\${MENU_FOLDER}\卸载.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "3.0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pavix"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pavix-print-server.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; The program writes its autostart value in the 64-bit view, from either build.
  SetRegView 64
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  !if ${ARCH} != x86_64
    SetRegView 32
  !endif

  ; A copy still running holds its file: it goes at the next restart.
  Delete /REBOOTOK "$INSTDIR\pavix-print-server.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${MENU_FOLDER}\Melvo手机版 Pavix 打印服务器.lnk"
  Delete "$SMPROGRAMS\${MENU_FOLDER}\卸载.lnk"
  RMDir "$SMPROGRAMS\${MENU_FOLDER}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The shop's settings (HKLM\SoftWare\PavixRuzadOridova) stay for a later installation.
SectionEnd
