; The installer of TARVINE for Windows, built by scripts/windows with
; Debian's makensis: makensis -DVERSION=... -DSTAGE=... -DOUTFILE=... tarvine.nsi
; STAGE is the folder the zip holds; it is installed as it is.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"

Name "TARVINE ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\TARVINE"
InstallDirRegKey HKLM "Software\TARVINE" "InstallDir"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TARVINE"

!insertmacro MUI_PAGE_LICENSE "${STAGE}\licences\README.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "TARVINE needs 64-bit Windows."
        Abort
    ${EndIf}
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "TARVINE"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "Software\TARVINE" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "TARVINE"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "TARVINE"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvine.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    SetShellVarContext all
    CreateDirectory "$SMPROGRAMS\TARVINE"
    CreateShortcut "$SMPROGRAMS\TARVINE\TARVINE.lnk" "$INSTDIR\tarvine.exe"
    CreateShortcut "$SMPROGRAMS\TARVINE\Uninstall TARVINE.lnk" "$INSTDIR\uninstall.exe"
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\TARVINE\TARVINE.lnk"
    Delete "$SMPROGRAMS\TARVINE\Uninstall TARVINE.lnk"
    RMDir "$SMPROGRAMS\TARVINE"
    RMDir /r "$INSTDIR\platforms"
    RMDir /r "$INSTDIR\styles"
    RMDir /r "$INSTDIR\imageformats"
    RMDir /r "$INSTDIR\licences"
    Delete "$INSTDIR\*.exe"
    Delete "$INSTDIR\*.dll"
    Delete "$INSTDIR\README.txt"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\TARVINE"
SectionEnd
