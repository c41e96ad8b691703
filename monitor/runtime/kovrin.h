#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/net_settings.h"
#include "common/record_list.h"
#include "common/records.h"
#include "monitor/events/evaluation.h"
#include "monitor/events/statistics.h"
#include "monitor/link/device_log.h"
#include "monitor/netserver/net_exchange.h"
#include "monitor/runtime/platform.h"

// The monitor object: one per process. It owns the UPS records, the file paths, the
// timing settings, the tray icon, the link to the dialog library and the hidden window
// whose messages it handles one at a time on the control thread in Run().
// Class chain: TKovrin -> TCOMMon (serial port) -> TMegaTecMon (protocol) -> TMonApp (settings).
class TKovrin {
public:
    static constexpr WindowHandle NoDialog = static_cast<WindowHandle>(-1);
    static constexpr std::uint32_t IdleStep = 10; // ms
    static constexpr std::int32_t LinkLossThreshold = 3;

    explicit TKovrin(TPlatform& platform);
    virtual ~TKovrin();
    TKovrin(const TKovrin&) = delete;
    TKovrin& operator=(const TKovrin&) = delete;

    // Protocol: one command, with its answer parsed into output where it has one.
    // outputSize bounds the buffer of CMD_CUSTOM (callers pass 256).
    virtual bool PerformCommand(std::uint8_t number, const char* argument, void* output,
                                std::size_t outputSize) = 0;
    virtual bool Open();
    virtual void Close();

    // The entry for every caller: resolves the beeper on/off requests against the status.
    bool ExecuteCommand(std::uint8_t number, const char* argument, void* output,
                        std::size_t outputSize = 256);
    bool Identify(TUpsRating& rating, TUpsInfo& info);

    // Control loop; returns after shutdown.
    void Run();

    // Hidden window hand-over.
    bool StartWindowThread();
    void StopWindowThread();
    bool TakeMessage(Message& message);
    void ReleaseMessage();
    // Sleeps until a message is handed over, or at most timeoutMs.
    void WaitForMessage(std::uint32_t timeoutMs);
    bool ShowMessageAsync(WindowHandle owner, const std::string& text, const std::string& caption,
                          std::uint32_t type, int replyId);

    // Settings setters (the settings loader calls them).
    void SetInterval(std::int32_t ms);
    void SetFailInterval(std::int32_t ms);
    void SetStatInterval(std::int32_t ms);
    // Stores the range when max > min. A genuinely inverted pair is refused with a box
    // that does not hold the control loop; 0/0 means "not set" and is kept quietly.
    void SetBattVoltageRange(float maxVoltage, float minVoltage);
    void SetDevLog(const std::string& value);

    // Device log.
    void BeginDeviceLog();
    void EndDeviceLog();
    void WriteDeviceLog(std::string_view text);

    // Journal, statistics, rules, commands, actions.
    void WriteJournal(std::string_view text, std::uint8_t kind);
    void OpenStatFile();
    void WriteStatRecord();
    void CloseStatFile();
    void LoadEventRules();
    void FreeEventRules();
    void LoadCustomCommands();
    void FreeCustomCommands();
    bool EvaluateStatus();
    void RaiseEvent(std::uint8_t source);
    void RunAction(const TEventRule& rule);
    void RunRulesById(std::uint16_t id);
    void SendCustomCommand(const TCustomCommand& command);
    void CheckBatteryLimits();

    // Tray icon.
    void AddTrayIcon();
    void UpdateTrayIcon(const char* icon, const char* tip);
    void RemoveTrayIcon();

    // Network UPS server (monitor/netserver): started, restarted and stopped to match the
    // settings; fed a snapshot after each poll; its events journalled and its commands run
    // here, on the control thread.
    void SetNetServerSettings(const TNetServerSettings& settings) { netSettings_ = settings; }
    void RestartNetServer();
    void StopNetServer();
    void PublishNetSnapshot();
    void HandleNetEvents();
    // Before this computer's own power-off, shutdown or hibernation: FSD for the clients,
    // then a wait of at most NetLogoutWaitMs until every logged-in client has logged out.
    void WarnNetClients();
    // The mains are back and this computer still runs: FSD no longer holds.
    void ClearNetForcedShutdown();
    // A power action did not take this computer down (it failed, or hibernation returned):
    // on mains, FSD no longer holds; on battery it stays until the mains return.
    void NetComputerRunsOn();
    static constexpr std::uint32_t NetLogoutWaitMs = 15000;

    // Dialog library.
    void LoadDialog();
    void UnloadDialog();
    void CloseDialog();
    void SendToDialog(std::uint8_t code, const void* address);
    void PostToDialog(std::uint8_t code, std::intptr_t value);

    // State the tests and the dialog link look at.
    bool Opened() const { return opened_; }
    bool Fatal() const { return fatal_; }
    bool Running() const { return running_.load(); }
    const TUpsStatus& Status() const { return status_; }
    const TUpsInfo& Info() const { return info_; }
    const TUpsRating& Rating() const { return rating_; }
    const TransitionFlags& Transitions() const { return transitions_; }
    std::int32_t Interval() const { return interval_; }
    std::int32_t FailInterval() const { return failInterval_; }
    std::int32_t StatInterval() const { return statInterval_; }
    std::int32_t TimeOut() const { return timeOut_; }
    float MinBattVoltage() const { return minBattVoltage_; }
    float MaxBattVoltage() const { return maxBattVoltage_; }
    const std::string& DevLogPath() const { return devLogPath_; }
    const std::string& ProgramDir() const { return platform_.ProgramDir; }
    const std::string& JournalPath() const { return journalPath_; }
    const std::string& StatsPath() const { return statsPath_; }
    const std::string& EventsPath() const { return eventsPath_; }
    const std::string& CommandsPath() const { return commandsPath_; }
    const RecordList<TEventRule>& Rules() const { return rules_; }
    const RecordList<TCustomCommand>& Commands() const { return commands_; }
    WindowHandle DialogWindow() const { return dialogWindow_; }
    bool Suspended() const { return suspended_; }
    const TNetServerSettings& NetServerSettings() const { return netSettings_; }
    bool NetServerRunning() const { return netRunning_; }
    TNetExchange& NetExchange() { return netExchange_; }

protected:
    // If Run() works on another thread, asks it to end and waits. The most derived
    // destructor calls it first, while every part Run() uses is still alive.
    void EndRunElsewhere();

    // The port name of the journal records; TCOMMon holds the port.
    virtual std::string PortName() const = 0;

    void GuardedHandleMessage(const Message& message, bool& quit);
    void HandleMessage(const Message& message, bool& quit);
    void RunCommandForDialog(std::uint8_t number, std::intptr_t argument);
    std::int32_t LinkState() const;
    void Poll();
    void CountFailedPoll();
    void RestartPollTimer(std::int32_t period);
    void ApplyAllSettings();
    void CheckStatistics(bool quitting);
    // How long the loop may sleep when no message waits: until a statistics record falls
    // due by time, or for ever when none can before a message changes something.
    std::uint32_t IdleWait() const;
    void ShutDown();

    TPlatform& platform_;

    bool fatal_ = false;
    const std::string windowClass_ = "KovrinWndClass";
    const std::string dialogFile_ = "DIALOG.DLL";
    std::string eventsPath_, commandsPath_, journalPath_, statsPath_;
    std::string devLogPath_;
    DeviceLog deviceLog_;
    StatRecorder stats_;
    WindowHandle dialogWindow_ = NoDialog;
    bool dialogLoaded_ = false;
    WindowHandle window_ = 0;
    std::atomic<bool> running_{false};
    bool suspended_ = false;
    std::function<void()> OnLoadSettings;
    bool opened_ = false;
    std::int32_t interval_ = 2500;
    std::int32_t failInterval_ = 1000;
    std::int32_t statInterval_ = 30000;
    std::int32_t timeOut_ = 2000;
    RecordList<TEventRule> rules_;
    RecordList<TCustomCommand> commands_;
    TUpsStatus status_{};
    TUpsStatus previous_{};
    TUpsInfo info_{};
    TUpsRating rating_{};
    TransitionFlags transitions_{};
    float minBattVoltage_ = 0;
    float maxBattVoltage_ = 0;
    std::string trayIcon_, trayTip_;

    // Control loop state.
    std::int32_t failedPolls_ = 0;
    std::uint32_t lastStatTick_ = 0;
    bool statTransitionPending_ = false;
    bool statusPolled_ = false; // a poll succeeded since the status was last zeroed

    // Network UPS server: the settings read last, those it runs with.
    TNetServerSettings netSettings_;
    TNetServerSettings netServing_;
    bool netRunning_ = false;
    TNetExchange netExchange_;
};
