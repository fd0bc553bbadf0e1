; The Zelm screen saver's installer: zelm.scr goes into the system directory, where the display
; settings look for screen savers; the data files go into a folder beside it, and the settings
; key points the screen saver at that folder. The uninstaller removes all three.
;
; makensis -DSCR=<zelm.scr> -DDATADIR=<folder of the .pcx files> -DVERSION=<x.y.z>
;          -DOUTFILE=<setup.exe> zelm.nsi

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include FileFunc.nsh
RequestExecutionLevel admin

!define KEY "Software\Varno\ZELM"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelm"
!define DATA "$SYSDIR\Zelm"

Name "Zelm screen saver"
OutFile "${OUTFILE}"
InstallDir "${DATA}"
ShowInstDetails show

Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

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

    SetOutPath "${DATA}"
    File "${DATADIR}/particle.pcx"
    File "${DATADIR}/font.pcx"
    File "${DATADIR}/height.pcx"
    WriteUninstaller "${DATA}\uninstall.exe"

    WriteRegStr HKLM "${KEY}\datadir" "" "${DATA}"
    !insertmacro DefaultSwitch "use_heightfield" "1"
    !insertmacro DefaultSwitch "fullscreen" "0"
    !insertmacro DefaultSwitch "use_alt_blend" "0"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Zelm screen saver"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\zelm.scr,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Varno"
    ; What the installed-programs list shows as the size, in KiB: the data folder and zelm.scr.
    ${GetSize} "${DATA}" "/S=0K" $0 $1 $2
    ${GetSize} "$SYSDIR" "/M=zelm.scr /S=0K /G=0" $3 $1 $2
    IntOp $0 $0 + $3
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${DATA}\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${DATA}\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Delete "$SYSDIR\zelm.scr"
    Delete "${DATA}\particle.pcx"
    Delete "${DATA}\font.pcx"
    Delete "${DATA}\height.pcx"
    Delete "${DATA}\uninstall.exe"
    RMDir "${DATA}"

    DeleteRegKey HKLM "${KEY}"
    DeleteRegKey /ifempty HKLM "Software\Varno"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
