; The Zelm screen saver's installer: zelm.scr goes into the system directory, where the display
; settings look for screen savers; the data files and the uninstaller go into the install folder
; (Program Files\Zelm unless /D= or the directory page says otherwise), and the machine-wide
; settings key points the screen saver at that folder. The uninstaller removes all of it, and
; the settings its user kept for themselves only when asked to.
;
; makensis -DSCR=<zelm.scr> -DDATADIR=<folder of the .pcx files> -DLICENSE=<LICENSE>
;          -DVERSION=<x.y.z> -DOUTFILE=<setup.exe> zelm.nsi

Unicode true
; A 64-bit installer: $SYSDIR is the real System32, not the 32-bit programs' SysWOW64, and the
; registry is the 64-bit view that zelm.scr reads.
Target amd64-unicode
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
RequestExecutionLevel admin

!define KEY "Software\Varno\ZELM"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelm"
!define OLD_DATA "$SYSDIR\Zelm"

Name "Zelm screen saver"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zelm"
; An update goes where the last install went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
BrandingText "Zelm ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open Screen Saver Settings with Zelm selected"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_COMPONENTSPAGE_TEXT_TOP "Zelm is removed for every user of this computer. The \
    settings you saved for yourself stay unless you check the box below; other users' settings \
    always stay."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; What right-click "Install" on a .scr runs: Screen Saver Settings, with the saver selected.
Function OpenScreenSaverSettings
    Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $SYSDIR\zelm.scr'
FunctionEnd

; Writes a switch's default unless the user already chose a value.
!macro DefaultSwitch NAME VALUE
    ClearErrors
    ReadRegStr $0 HKLM "${KEY}\${NAME}" ""
    IfErrors 0 +2
    WriteRegStr HKLM "${KEY}\${NAME}" "" "${VALUE}"
!macroend

Section "Zelm"
    SetOutPath "$SYSDIR"
    File "/oname=zelm.scr" "${SCR}"

    ; Earlier installers kept the data in the system folder.
    Delete "${OLD_DATA}\particle.pcx"
    Delete "${OLD_DATA}\font.pcx"
    Delete "${OLD_DATA}\height.pcx"
    Delete "${OLD_DATA}\uninstall.exe"
    RMDir "${OLD_DATA}"

    ; An install into another folder than the last one moves it: the earlier folder's files go
    ; (the uninstall entry, rewritten below, then names the new one), and the installing user's
    ; own data folder follows when it named the earlier one.
    ClearErrors
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${IfNot} ${Errors}
    ${AndIf} $0 != ""
    ${AndIf} $0 != "$INSTDIR"
        Delete "$0\particle.pcx"
        Delete "$0\font.pcx"
        Delete "$0\height.pcx"
        Delete "$0\uninstall.exe"
        RMDir "$0"
        ReadRegStr $1 HKCU "${KEY}\datadir" ""
        ${If} $1 == $0
        ${OrIf} $1 == "$0\"
            WriteRegStr HKCU "${KEY}\datadir" "" "$INSTDIR"
        ${EndIf}
    ${EndIf}

    SetOutPath "$INSTDIR"
    File "${DATADIR}/particle.pcx"
    File "${DATADIR}/font.pcx"
    File "${DATADIR}/height.pcx"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "${KEY}\datadir" "" "$INSTDIR"
    !insertmacro DefaultSwitch "use_heightfield" "1"
    !insertmacro DefaultSwitch "fullscreen" "0"
    !insertmacro DefaultSwitch "use_alt_blend" "0"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Zelm screen saver"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\zelm.scr,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Varno"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    ; What the installed-programs list shows as the size, in KiB: the data folder and zelm.scr.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    ${GetSize} "$SYSDIR" "/M=zelm.scr /S=0K /G=0" $3 $1 $2
    IntOp $0 $0 + $3
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "un.Zelm screen saver"
    SectionIn RO
    Delete "$SYSDIR\zelm.scr"
    Delete "$INSTDIR\particle.pcx"
    Delete "$INSTDIR\font.pcx"
    Delete "$INSTDIR\height.pcx"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    DeleteRegKey HKLM "${KEY}"
    DeleteRegKey /ifempty HKLM "Software\Varno"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Only the settings of the user running the uninstaller: other users' hives are theirs.
Section /o "un.My own Zelm settings"
    DeleteRegKey HKCU "${KEY}"
    DeleteRegKey /ifempty HKCU "Software\Varno"
SectionEnd
