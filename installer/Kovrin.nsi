; Kovrin's installer: per user, no administrator rights, the program folder of the 32-bit
; build, an uninstaller that keeps the user's data unless asked. Built by the 32-bit tree
; (installer/CMakeLists.txt), which defines:
;   VERSION    the product's version, three numbers
;   OUTFILE    the installer to write
;   FILES      an include with the File commands of the program folder
;   UNFILES    an include that deletes what FILES installs
;   ICON       the program's icon
;
; Command line: /S silent; /D=FOLDER the folder (last, unquoted); /AUTORUN=0|1 start the
; monitor at logon; /START=0|1 start it when done. A silent run without /START starts it
; again only when it closed a running one. The uninstaller: /S silent, keeping the data
; files unless /REMOVEDATA=1 is given.

Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include WinMessages.nsh
!include Sections.nsh

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kovrin"
; The same value the settings page writes: the full path of Kovrin.exe.
!define RUN_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Kovrin"
!define MENU_FOLDER "$SMPROGRAMS\Kovrin"
!define MENU_MONITOR "Kovrin.lnk"
!define MENU_MANUAL "Руководство пользователя.lnk"

Name "Kovrin"
OutFile "${OUTFILE}"
BrandingText "Kovrin ${VERSION}"
InstallDir "$LOCALAPPDATA\Programs\Kovrin"
; An installed copy is upgraded where it is.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
AllowSkipFiles off

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_DIRECTORY
Page custom StartPageShow StartPageLeave
!insertmacro MUI_PAGE_INSTFILES

!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Russian"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductName" "Kovrin"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileDescription" "Установка монитора ИБП Kovrin"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "CompanyName" "Kovrin"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "LegalCopyright" "© Kovrin"

!include close_monitor.nsh
!insertmacro KOVRIN_CLOSE_MONITOR ""
!insertmacro KOVRIN_CLOSE_MONITOR "un."

; The two choices: "1" or "0", or empty while neither the command line nor the page has
; decided.
Var Autorun
Var StartNow
Var AutorunBox
Var StartNowBox

Function .onInit
    ${GetParameters} $R0
    StrCpy $Autorun ""
    StrCpy $StartNow ""
    ClearErrors
    ${GetOptions} $R0 "/AUTORUN=" $R1
    ${IfNot} ${Errors}
        StrCpy $Autorun $R1
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/START=" $R1
    ${IfNot} ${Errors}
        StrCpy $StartNow $R1
    ${EndIf}
FunctionEnd

; Autorun defaults to on, except over an installed copy whose user has turned it off.
Function DefaultAutorun
    ${If} $Autorun == ""
        StrCpy $Autorun 1
        ${If} ${FileExists} "$INSTDIR\Kovrin.exe"
            ClearErrors
            ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
            ${If} ${Errors}
                StrCpy $Autorun 0
            ${EndIf}
        ${EndIf}
    ${EndIf}
FunctionEnd

Function StartPageShow
    Call DefaultAutorun
    ${If} $StartNow == ""
        StrCpy $StartNow 1
    ${EndIf}
    !insertmacro MUI_HEADER_TEXT "Запуск монитора" "Выберите, когда запускать монитор Kovrin."
    nsDialogs::Create 1018
    Pop $0
    ${If} $0 == error
        Abort
    ${EndIf}
    ${NSD_CreateCheckbox} 0 0 100% 12u "Запускать монитор при входе в Windows"
    Pop $AutorunBox
    ${NSD_SetState} $AutorunBox $Autorun
    ${NSD_CreateCheckbox} 0 18u 100% 12u "Запустить монитор после установки"
    Pop $StartNowBox
    ${NSD_SetState} $StartNowBox $StartNow
    ${NSD_CreateLabel} 0 42u 100% 36u "Запуск при входе можно изменить и позже, на странице «Настройка» окна монитора."
    Pop $0
    nsDialogs::Show
FunctionEnd

Function StartPageLeave
    ${NSD_GetState} $AutorunBox $Autorun
    ${NSD_GetState} $StartNowBox $StartNow
FunctionEnd

Section "Kovrin" SecProgram
    SectionIn RO
    SetShellVarContext current
    Call DefaultAutorun

    ; The data files in the folder ("Kovrin.ini", the rules, commands, journal,
    ; statistics, terminal history, device log) are never written here: an upgrade
    ; replaces the program files only.
    Call CloseMonitor
    !include "${FILES}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateDirectory "${MENU_FOLDER}"
    CreateShortCut "${MENU_FOLDER}\${MENU_MONITOR}" "$INSTDIR\Kovrin.exe" "" "$INSTDIR\Kovrin.exe" 0
    CreateShortCut "${MENU_FOLDER}\${MENU_MANUAL}" "$INSTDIR\DOC\tarvo.htm"

    WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Kovrin"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Kovrin.exe,0"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "Kovrin"
    WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
    SectionGetSize ${SecProgram} $0
    WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0

    ${If} $Autorun == 1
        WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" "$INSTDIR\Kovrin.exe"
    ${Else}
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}

    ${If} $StartNow == ""
        StrCpy $StartNow $MonitorWasRunning
    ${EndIf}
    ${If} $StartNow == 1
        Exec '"$INSTDIR\Kovrin.exe"'
    ${EndIf}
SectionEnd

Section "un.Kovrin" UnSecProgram
    SectionIn RO
    SetShellVarContext current
    Call un.CloseMonitor
    !include "${UNFILES}"
    Delete "$INSTDIR\Uninstall.exe"

    Delete "${MENU_FOLDER}\${MENU_MONITOR}"
    Delete "${MENU_FOLDER}\${MENU_MANUAL}"
    RMDir "${MENU_FOLDER}"

    ; The Run value only while it starts this copy; another copy's stays.
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == "$INSTDIR\Kovrin.exe"
    ${OrIf} $0 == '"$INSTDIR\Kovrin.exe"'
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
    DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd

Section /o "un.Настройки, журнал и другие данные" UnSecData
    ; The device log is removed only when it lies in the program folder (a plain name).
    ClearErrors
    ReadINIStr $0 "$INSTDIR\Kovrin.ini" "Main" "DevLog"
    ${IfNot} ${Errors}
    ${AndIf} $0 != ""
        ${GetFileName} $0 $1
        ${If} $1 == $0
            Delete "$INSTDIR\$0"
        ${EndIf}
    ${EndIf}
    Delete "$INSTDIR\Kovrin.ini"
    Delete "$INSTDIR\Events.ups"
    Delete "$INSTDIR\CustCmds.ups"
    Delete "$INSTDIR\Kovrin.lgb"
    Delete "$INSTDIR\Stat.ups"
    Delete "$INSTDIR\Term.ups"
SectionEnd

Section "-un.Folder"
    ; Only when nothing is left in it: the user's own files stay.
    RMDir "$INSTDIR"
SectionEnd

; After the sections, whose numbers it needs.
Function un.onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/REMOVEDATA=" $R1
    ${IfNot} ${Errors}
    ${AndIf} $R1 == 1
        !insertmacro SelectSection ${UnSecData}
    ${EndIf}
FunctionEnd
