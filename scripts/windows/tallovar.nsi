; The Windows installer, made by scripts/windows/build.sh:
;   makensis -DBUILD_DIR=<build-windows> -DOUTPUT=<tallovar-setup.exe> tallovar.nsi
; For the user who runs it, without administrator rights: the program keeps
; config.ini and its skin library beside itself, so its folder must be the
; user's to write. The ledger folder (Documents\Tallovar) is where the
; Start-menu entry starts the program, which opens tallovar.mdb there; the
; uninstaller leaves it and its ledger alone.
Unicode true
; A 64-bit installer for the 64-bit program: Wine's 64-bit loader (wine64)
; runs it too.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef BUILD_DIR
  !error "BUILD_DIR must name the Windows build directory"
!endif
!ifndef OUTPUT
  !define OUTPUT "tallovar-setup.exe"
!endif

!define NAME "Tallovar 订单账本"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallovar"

Name "${NAME}"
OutFile "${OUTPUT}"
InstallDir "$LOCALAPPDATA\Programs\Tallovar"
InstallDirRegKey HKCU "Software\Tallovar" "InstallDir"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Tallovar"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BUILD_DIR}\tallovar.exe"
  File "${BUILD_DIR}\tallovar-admin.exe"
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

  ; The ledger folder: the working directory of the Start-menu entry.
  CreateDirectory "$DOCUMENTS\Tallovar"
  SetOutPath "$DOCUMENTS\Tallovar"
  CreateDirectory "$SMPROGRAMS\Tallovar"
  CreateShortCut "$SMPROGRAMS\Tallovar\${NAME}.lnk" "$INSTDIR\tallovar.exe"
  CreateShortCut "$SMPROGRAMS\Tallovar\卸载 Tallovar.lnk" "$INSTDIR\uninstall.exe"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "Software\Tallovar" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put down and what the program wrote beside
; itself (config.ini holds the remembered password); the ledger folder stays.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Tallovar\${NAME}.lnk"
  Delete "$SMPROGRAMS\Tallovar\卸载 Tallovar.lnk"
  RMDir "$SMPROGRAMS\Tallovar"
  RMDir /r "$INSTDIR\import_presets"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\translations"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\*.exe"
  Delete "$INSTDIR\qt.conf"
  Delete "$INSTDIR\couriers.txt"
  Delete "$INSTDIR\config.ini"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Tallovar"
SectionEnd
