; The Windows installer, made by scripts/windows/build.sh:
;   makensis -DBUILD_DIR=<build-windows> -DOUTPUT=<tallovar-setup.exe> tallovar.nsi
; For the user who runs it, without administrator rights: the program keeps
; config.ini and its skin library beside itself, so its folder must be the
; user's to write. The ledger folder (Documents\Tallovar, or the one chosen
; at the first run) is where the Start-menu entry (tallovar-start.exe) starts
; the program, which opens tallovar.mdb there; the uninstaller leaves it and
; its ledger alone.
; Tallovar's own ledgers open through the SQLite ODBC driver beside the
; program, which Windows' driver manager finds only when it is registered in
; HKLM: a separate step, after the files are in place, asks for
; administrator rights for that alone and says why. A user who declines keeps
; the program (Access ledgers open through Windows' own driver) and is told
; what the driver is for. /REGISTERDRIVER and /UNREGISTERDRIVER are that step
; when the installer or uninstaller runs itself elevated.
Unicode true
; A 32-bit installer for the 32-bit program: on 64-bit Windows its HKLM
; writes land in the 32-bit view, where the 32-bit driver manager reads
; the drivers.
Target x86-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!ifndef BUILD_DIR
  !error "BUILD_DIR must name the Windows build directory"
!endif
!ifndef OUTPUT
  !define OUTPUT "tallovar-setup.exe"
!endif

!define NAME "Tallovar 订单账本"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallovar"
!define DRIVER_NAME "Tallovar SQLite3 ODBC Driver"
!define ODBCINST "SOFTWARE\ODBC\ODBCINST.INI"
!define DRIVER_REASON "Tallovar 自己的账本（tallovar-admin 建立的账本）要通过 SQLite ODBC 驱动打开。$\r$\n登记这个驱动需要管理员权限，Windows 接下来会询问；程序本身不需要管理员权限。$\r$\n$\r$\n现在登记驱动吗？"
!define DRIVER_DECLINED "没有登记 SQLite ODBC 驱动。程序已经装好，可以打开用 Access 驱动建立的账本；Tallovar 自己的账本需要这个驱动，以后再运行一次安装程序即可登记。"

Name "${NAME}"
OutFile "${OUTPUT}"
InstallDir "$LOCALAPPDATA\Programs\Tallovar"
InstallDirRegKey HKCU "Software\Tallovar" "InstallDir"

; The driver's registration as Windows' own installer functions make it:
; a value in "ODBC Drivers" and a key of the driver's name. Only this entry.
!macro RegisterDriver DLL
  SetRegView 32
  WriteRegStr HKLM "${ODBCINST}\ODBC Drivers" "${DRIVER_NAME}" "Installed"
  WriteRegStr HKLM "${ODBCINST}\${DRIVER_NAME}" "Driver" "${DLL}"
  WriteRegStr HKLM "${ODBCINST}\${DRIVER_NAME}" "Setup" "${DLL}"
  WriteRegDWORD HKLM "${ODBCINST}\${DRIVER_NAME}" "UsageCount" 1
!macroend
!macro UnregisterDriver
  SetRegView 32
  DeleteRegValue HKLM "${ODBCINST}\ODBC Drivers" "${DRIVER_NAME}"
  DeleteRegKey HKLM "${ODBCINST}\${DRIVER_NAME}"
!macroend

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REGISTERDRIVER=" $1
  ${IfNot} ${Errors}
    !insertmacro RegisterDriver "$1"
    SetErrorLevel 0
    Quit
  ${EndIf}
FunctionEnd

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/UNREGISTERDRIVER" $1
  ${IfNot} ${Errors}
    !insertmacro UnregisterDriver
    SetErrorLevel 0
    Quit
  ${EndIf}
FunctionEnd

; True in $0 ("1") when the driver is registered with this folder's DLL.
Function DriverRegistered
  SetRegView 32
  ReadRegStr $0 HKLM "${ODBCINST}\${DRIVER_NAME}" "Driver"
  ${If} $0 == "$INSTDIR\sqlite3odbc.dll"
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
FunctionEnd

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Tallovar"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BUILD_DIR}\tallovar.exe"
  File "${BUILD_DIR}\tallovar-admin.exe"
  File "${BUILD_DIR}\tallovar-start.exe"
  File "${BUILD_DIR}\*.dll"
  File "${BUILD_DIR}\qt.conf"
  File "${BUILD_DIR}\couriers.txt"
  SetOutPath "$INSTDIR\import_presets"
  File "${BUILD_DIR}\import_presets\*.txt"
  SetOutPath "$INSTDIR\platforms"
  File "${BUILD_DIR}\platforms\*.dll"
  SetOutPath "$INSTDIR\styles"
  File /nonfatal "${BUILD_DIR}\styles\*.dll"
  SetOutPath "$INSTDIR\translations"
  File "${BUILD_DIR}\translations\*.qm"
  ; The printed pages' font.
  SetOutPath "$INSTDIR\fonts"
  File "${BUILD_DIR}\fonts\*.*"

  ; The ledger folder: the working directory of the Start-menu entry.
  CreateDirectory "$DOCUMENTS\Tallovar"
  SetOutPath "$DOCUMENTS\Tallovar"
  CreateDirectory "$SMPROGRAMS\Tallovar"
  ; The launcher: 新建账本 on the first run, the day's backup, then the program.
  CreateShortCut "$SMPROGRAMS\Tallovar\${NAME}.lnk" "$INSTDIR\tallovar-start.exe"
  CreateShortCut "$SMPROGRAMS\Tallovar\卸载 Tallovar.lnk" "$INSTDIR\uninstall.exe"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "Software\Tallovar" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The administrator step: registers the driver where the user already has
; the rights (an administrator without UAC, Wine), else runs this installer
; once more elevated for that alone.
Section "-SQLite ODBC driver"
  Call DriverRegistered
  ${If} $0 == 1
    Return
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION "${DRIVER_REASON}" /SD IDYES IDYES register
  MessageBox MB_OK|MB_ICONINFORMATION "${DRIVER_DECLINED}" /SD IDOK
  Return
register:
  ClearErrors
  !insertmacro RegisterDriver "$INSTDIR\sqlite3odbc.dll"
  ${If} ${Errors}
    ExecShellWait "runas" "$EXEPATH" '/REGISTERDRIVER=$INSTDIR\sqlite3odbc.dll'
  ${EndIf}
  Call DriverRegistered
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONEXCLAMATION "${DRIVER_DECLINED}" /SD IDOK
  ${EndIf}
SectionEnd

; Removes what the installer put down and what the program wrote beside
; itself (config.ini holds the remembered password); the ledger folder stays.
Section "Uninstall"
  SetShellVarContext current
  ; The driver's entry, only when it is this installation's.
  SetRegView 32
  ReadRegStr $0 HKLM "${ODBCINST}\${DRIVER_NAME}" "Driver"
  ${If} $0 == "$INSTDIR\sqlite3odbc.dll"
    ClearErrors
    !insertmacro UnregisterDriver
    ${If} ${Errors}
      ExecShellWait "runas" "$EXEPATH" "/UNREGISTERDRIVER"
    ${EndIf}
  ${EndIf}
  Delete "$SMPROGRAMS\Tallovar\${NAME}.lnk"
  Delete "$SMPROGRAMS\Tallovar\卸载 Tallovar.lnk"
  RMDir "$SMPROGRAMS\Tallovar"
  RMDir /r "$INSTDIR\import_presets"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\translations"
  RMDir /r "$INSTDIR\fonts"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\*.exe"
  Delete "$INSTDIR\qt.conf"
  Delete "$INSTDIR\couriers.txt"
  Delete "$INSTDIR\config.ini"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Tallovar"
SectionEnd
