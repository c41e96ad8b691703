#pragma once
#include <cstdint>
#include <string_view>

struct TMonitorSettings;

// The texts of the battery calibration.
inline constexpr std::string_view CalibrateCaption = "Определить";
inline constexpr std::string_view StopCalibrationCaption = "Остановить";
inline constexpr std::string_view CalibratingWindowCaption =
    "Tarvo [version 0.35b]: Калибровка батареи.";
inline constexpr std::string_view CalibrationQuestion =
    "Эта функция позволяет экспериментальным путем установить минимальное\r"
    "и максимальное напряжения батареи. Условия проверки:\r\r"
    "1. На момент начала проверки батарея должна быть полностью заряжена.\r"
    "2. В процессе проверки батарея будет полностью разряжена.\r"
    "3. Запитанное от UPS устройство (вероятно этот компьютер!) будет обесточено внезапно.\r"
    "4. Для получения точного результата после нажатия \"OK\" нужно вручную отключить UPS от "
    "сети.\r"
    "5. Время проверки будет равно времени автономной работы запитанного от UPS устройства.\r"
    "6. Процесс может быть прерван в любой момент, но при этом пострадает точность "
    "измерения.\r\r"
    "Вы действительно считаете нужным проведение этой проверки?";
inline constexpr std::string_view CalibrationInterrupted =
    "Процесс прерван. Текущее напряжение батареи будет считаться минимальным.";
inline constexpr std::string_view NoBatteryReading =
    "Напряжение батареи еще не известно: UPS пока не ответил на запрос состояния.\r"
    "Калибровку можно начать, когда на странице \"Состояние\" появятся показания.";
// The battery test that the calibration runs: as many minutes as the UPS counts.
inline constexpr std::string_view CalibrationTestMinutes = "99";

// What the calibration does to the world: posts to the monitor, immediate writes of the
// battery limits, captions. The page implements it; tests record it.
class ICalibrationHost {
public:
    virtual ~ICalibrationHost() = default;
    virtual void PostSuspend(bool suspend) = 0;
    // A command for the monitor; an empty argument travels as no argument (lParam 0).
    virtual void PostCommand(std::uint8_t command, std::string_view argument) = 0;
    virtual void PostApplySettings() = 0;
    // The limit is in the settings already: write it to the file at once and show it.
    virtual void StoreMaxVoltage() = 0;
    virtual void StoreMinVoltage() = 0;
    virtual void SetButtonCaption(std::string_view caption) = 0;
    virtual void SetWindowCaption(std::string_view caption) = 0;
};

// The battery calibration: idle or running. It discharges the battery in a long battery
// test with the monitor's actions and statistics suspended; the battery voltage at its
// start is the 100 % limit, the lowest seen (finally the last one) the 0 % limit.
class TCalibration {
public:
    TCalibration(TMonitorSettings& settings, ICalibrationHost& host)
        : settings_(settings), host_(host) {}

    bool Running() const { return running_; }
    // A battery voltage to start from: a positive, finite reading.
    static bool UsableReading(float batteryVoltage);
    // The user confirmed: from idle to running. False (nothing done) when it runs already
    // or there is no usable reading.
    bool Start(float batteryVoltage);
    // A status while it runs: a new low-water mark is written at once.
    void OnBatteryVoltage(float batteryVoltage);
    // Every way it ends goes through here; nothing happens when idle.
    void Stop(float lastBatteryVoltage);

private:
    TMonitorSettings& settings_;
    ICalibrationHost& host_;
    bool running_ = false;
};
