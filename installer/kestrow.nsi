; Kestrow installer. Built by scripts/release.sh:
;   makensis -DVERSION=x.y.z -DSOURCE=<folder with the files> -DOUTFILE=<setup.exe> kestrow.nsi
Unicode true
SetCompressor /SOLID lzma

!ifndef VERSION
  !error "VERSION is not defined"
!endif

!define PRODUCT "Kestrow"
!define PUBLISHER "Orvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrow"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

; Current user or all users; per user by default, so no elevation is needed.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
; Kestrow is a 32-bit program: all users' copy goes to the 32-bit Program Files.
!define MULTIUSER_INSTALLMODE_FUNCTION ChooseInstallFolder
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}. MIT licence."

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Kestrow now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartKestrow
!define MUI_UNCONFIRMPAGE_TEXT_TOP "Kestrow will be removed from $INSTDIR. Only your own start with Windows is removed: other users who use Kestrow keep theirs until they turn it off in Kestrow's options."

!insertmacro MUI_PAGE_LICENSE "${SOURCE}\LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Ends a running Kestrow, which saves its settings, so that its files can be replaced.
!macro CloseKestrow
  FindWindow $0 "KestrowWindowClass"
  ${If} $0 <> 0
    SendMessage $0 ${WM_COMMAND} 207 0 /TIMEOUT=5000
    Sleep 500
  ${EndIf}
!macroend

; An earlier all-users copy is replaced where it stands (earlier versions
; went to the 64-bit folder): left beside the new one, it would go on
; starting with Windows and could no longer be uninstalled.
Function ChooseInstallFolder
  ${If} $MultiUser.InstallMode == "AllUsers"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == ""
      StrCpy $INSTDIR "$PROGRAMFILES32\${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR $0
    ${EndIf}
  ${EndIf}
FunctionEnd

; An installer run by an administrator is elevated, and so would be a program
; it starts: the shell, which runs as the user, starts it instead.
Function StartKestrow
  ${If} $MultiUser.Privileges == "Admin"
  ${OrIf} $MultiUser.Privileges == "Power"
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\kestrow.exe"'
  ${Else}
    Exec '"$INSTDIR\kestrow.exe"'
  ${EndIf}
FunctionEnd

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Kestrow" SecMain
  SectionIn RO
  !insertmacro CloseKestrow
  SetOutPath "$INSTDIR"
  ; Language files of older versions, named so that not every code page could spell them.
  Delete "$INSTDIR\Fran${U+00E7}ais.lng"
  Delete "$INSTDIR\Espa${U+00F1}ol.lng"
  Delete "$INSTDIR\${U+0420}${U+0443}${U+0441}${U+0441}${U+043A}${U+0438}${U+0439}.lng"
  File "${SOURCE}\kestrow.exe"
  File "${SOURCE}\kestrow.chm"
  File "${SOURCE}\*.lng"
  File "${SOURCE}\README.txt"
  File "${SOURCE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\kestrow.exe"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kestrow.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "un.Kestrow" UnSecMain
  SectionIn RO
  !insertmacro CloseKestrow
  Delete "$INSTDIR\kestrow.exe"
  Delete "$INSTDIR\kestrow.chm"
  Delete "$INSTDIR\*.lng"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; Kestrow writes its log-on value for the user who runs it: only this
  ; user's can be removed here (the confirmation page says so).
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Remove my settings" UnSecSettings
  Delete "$APPDATA\Orvane\Kestrow\kestrow.ini"
  RMDir "$APPDATA\Orvane\Kestrow"
  RMDir "$APPDATA\Orvane"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecMain} "The program, its help, its languages and its Start menu shortcut."
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecSettings} "Your settings and hotkeys (kestrow.ini)."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
