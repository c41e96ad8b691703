; Ends a monitor that runs from $INSTDIR the way the user's own exit does: a close request
; to its hidden window, then a wait for its process to end. Never a kill: the monitor
; journals its exit and closes its files on the way out. Monitors started from other
; folders (a portable copy) are left alone.
;
; Defines ${UN}CloseMonitor for the installer ("") and the uninstaller ("un."). It sets
; $MonitorWasRunning to 1 when it ended one, and aborts the install or uninstall when one
; does not end and the user cancels (a silent run cancels at once).

!define MONITOR_WINDOW_CLASS "KovrinWndClass"
; How long an orderly exit may take: a poll in progress waits up to 2 s for the UPS, then
; the library window closes and the files are flushed.
!define MONITOR_EXIT_WAIT_MS 30000
!define SYNCHRONIZE_QUERY_READ 0x00100410 ; SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ

Var MonitorWasRunning

!macro KOVRIN_CLOSE_MONITOR UN
; $0: a window of the monitor's class. Leaves in $1 a handle of its process when that
; process runs $INSTDIR\Kovrin.exe, else 0.
Function ${UN}OpenIfOurs
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r2)'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE_QUERY_READ}, i 0, i r2) p .r1'
    ${If} $1 P<> 0
        System::Call 'psapi::GetModuleFileNameExW(p r1, p 0, w .r3, i ${NSIS_MAX_STRLEN}) i .r4'
        ; Both names in their long form: a short 8.3 name is the same program.
        System::Call 'kernel32::GetLongPathNameW(w r3, w .r3, i ${NSIS_MAX_STRLEN})'
        System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR\Kovrin.exe", w .r5, i ${NSIS_MAX_STRLEN}) i .r6'
        ${If} $6 = 0
            StrCpy $5 "$INSTDIR\Kovrin.exe"
        ${EndIf}
        ${If} $4 = 0
        ${OrIf} $3 != $5 ; case-insensitive, as Windows names are
            System::Call 'kernel32::CloseHandle(p r1)'
            StrCpy $1 0
        ${EndIf}
    ${EndIf}
FunctionEnd

Function ${UN}CloseMonitor
    Push $0
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    Push $6
    StrCpy $MonitorWasRunning 0
    StrCpy $0 0
    ${Do}
        FindWindow $0 "${MONITOR_WINDOW_CLASS}" "" 0 $0
        ${If} $0 = 0
            ${Break}
        ${EndIf}
        Call ${UN}OpenIfOurs
        ${If} $1 P<> 0
            DetailPrint "Завершение работающего монитора Kovrin..."
            StrCpy $MonitorWasRunning 1
            System::Call 'user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)'
            System::Call 'kernel32::WaitForSingleObject(p r1, i ${MONITOR_EXIT_WAIT_MS}) i .r2'
            System::Call 'kernel32::CloseHandle(p r1)'
            ${If} $2 <> 0 ; not WAIT_OBJECT_0
                MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
                    "Монитор Kovrin из папки $INSTDIR не завершился.$\r$\n$\r$\nЗакройте его командой меню значка в области уведомлений и нажмите «Повтор»." \
                    /SD IDCANCEL IDRETRY monitor_retry
                DetailPrint "Монитор Kovrin не завершился: работа прервана."
                SetErrorLevel 3
                Abort
            monitor_retry:
            ${EndIf}
            ; The list of windows has changed: search it again from the start.
            StrCpy $0 0
        ${EndIf}
    ${Loop}
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
