; Installer of the Vulkara screen saver. It puts vulkara.scr into the system folder, where the
; display settings list screen savers (the 64-bit program on 64-bit Windows, the 32-bit one
; otherwise), can make it the current screen saver, and registers an uninstaller that also
; removes the saver's settings.
;
; Built by the build with
;   makensis -DVERSION=x.y -DSCR32=32-bit.scr -DSCR64=64-bit.scr -DICON=vulkara.ico
;            -DOUTFILE=setup.exe vulkara.nsi
;
; Switches of the installer:
;   /S        silent; the current screen saver is left as it is
;   /CURRENT  with /S: also make Vulkara the current screen saver
;   /D=DIR    folder of the uninstaller (the saver itself always goes to the system folder)

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
; A file that cannot be written fails the installation instead of being skipped.
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include Sections.nsh

!define PRODUCT "Vulkara"
!define PUBLISHER "Tarvikon"
!define SCR_NAME "vulkara.scr"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vulkara"
!define SETTINGS_KEY "Software\Tarvikon\Vulkara"
!define DESKTOP_KEY "Control Panel\Desktop"
!define WEB_ADDRESS "https://www.example.org/vulkara/"
; SystemParametersInfo: SPI_SETSCREENSAVEACTIVE, with SPIF_UPDATEINIFILE | SPIF_SENDCHANGE
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_SEND 3

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Screen Saver Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Both halves see the 64-bit registry and the real system folder on 64-bit Windows, where the
; 64-bit display settings look for screen savers.
!macro UseNativeView
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
!macroend

!macro DisableRedirection
    ${If} ${RunningX64}
        ${DisableX64FSRedirection}
    ${EndIf}
!macroend

!macro EnableRedirection
    ${If} ${RunningX64}
        ${EnableX64FSRedirection}
    ${EndIf}
!macroend

Section "Vulkara screen saver" SecSaver
    SectionIn RO

    !insertmacro DisableRedirection
    SetOutPath "$SYSDIR"
    ${If} ${RunningX64}
        File "/oname=${SCR_NAME}" "${SCR64}"
    ${Else}
        File "/oname=${SCR_NAME}" "${SCR32}"
    ${EndIf}
    !insertmacro EnableRedirection

    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} Screen Saver"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${WEB_ADDRESS}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\${SCR_NAME},0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize ${SecSaver} $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Make Vulkara the current screen saver" SecCurrent
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${SCR_NAME}"
    ; The system writes ScreenSaveActive itself and tells the running programs.
    System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_SEND})'
SectionEnd

Function .onInit
    !insertmacro UseNativeView
    ${If} ${RunningX64}
    ${AndIf} "$INSTDIR" == "$PROGRAMFILES\${PRODUCT}"
        StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${EndIf}

    ; A silent install changes the current screen saver only when asked to.
    ${If} ${Silent}
        ${GetParameters} $0
        ClearErrors
        ${GetOptions} $0 "/CURRENT" $1
        ${If} ${Errors}
            !insertmacro UnselectSection ${SecCurrent}
        ${EndIf}
    ${EndIf}
FunctionEnd

Function un.onInit
    !insertmacro UseNativeView
FunctionEnd

Section "Uninstall"
    ; No longer the current screen saver: the system would otherwise start a missing file.
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} "$0" == "$SYSDIR\${SCR_NAME}"
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_UPDATE_AND_SEND})'
    ${EndIf}

    !insertmacro DisableRedirection
    ; A saver that is running right now goes at the next restart.
    Delete /REBOOTOK "$SYSDIR\${SCR_NAME}"
    !insertmacro EnableRedirection

    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Tarvikon"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"

    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
