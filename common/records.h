#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "common/endian_check.h"
#include "common/short_string.h"

// The binary records of the system. They cross to the dialog library by address,
// and are stored in the data files byte for byte, so every offset is fixed.
#pragma pack(push, 1)

// Status bits of TUpsStatus::Flags.
enum : std::uint16_t {
    UPS_ONBATTERY = 0x0001, // mains (utility) failure: running on battery
    UPS_BATTLOW = 0x0002,
    UPS_BOOST = 0x0004,
    UPS_BUCK = 0x0008,
    UPS_FAILED = 0x0010,
    UPS_STANDBY = 0x0020, // standby (line-interactive) type
    UPS_TEST = 0x0040,
    UPS_SHUTDOWN = 0x0080, // waiting to switch off
    UPS_BEEPER = 0x0100,
    UPS_REGULATING = 0x0200, // set together with boost or buck
};

struct TUpsStatus {
    float InputVoltage;
    float InputFaultVoltage;
    float OutputVoltage;
    float BatteryVoltage;
    float InputFrequency;
    float Temperature;
    std::uint8_t Load;          // percent; 255 when the UPS sent no number
    std::uint8_t BatteryCharge; // percent 0-100, derived by the monitor
    std::uint16_t Flags;
    double BatteryStart; // date-time the current period on battery or under test began; 0 = none
    double BatteryTime;  // days on battery; 0 when not on battery
};

struct TUpsInfo {
    TShortString<15> Maker;
    TShortString<10> Model;
    TShortString<10> Version;
};

struct TUpsRating {
    float Voltage;
    float BatteryVoltage;
    float Frequency;
    std::int32_t Current;
};

struct TEventRule {
    std::uint16_t Id;
    std::uint8_t Source; // event source code 0-14
    std::uint8_t Action; // action code 0-9
    TShortString<255> Parameter;
    TShortString<255> Expression; // used only with the expression source
};

struct TCustomCommand {
    std::uint16_t Id;
    std::uint8_t Code; // command number of the protocol driver
    TShortString<50> Description;
    TShortString<50> Parameter;
};

struct TStatRecord {
    double Time; // local date-time of the record
    TUpsStatus Status;
};

struct TJournalRecord {
    std::uint8_t Kind; // journal kind 0-4
    double Time;
    TShortString<5> Port;
    TShortString<100> Text;
};

// Layout of the previous program version's event rules, converted at start-up.
struct TOldEventRule {
    std::uint16_t Id;
    std::uint8_t Source;
    std::uint8_t Action;
    TShortString<255> Parameter;
};

#pragma pack(pop)

#define KOVRIN_CHECK_FIELD(T, field, offset) static_assert(offsetof(T, field) == (offset), #T "::" #field)

static_assert(sizeof(TUpsStatus) == 44);
KOVRIN_CHECK_FIELD(TUpsStatus, InputVoltage, 0);
KOVRIN_CHECK_FIELD(TUpsStatus, InputFaultVoltage, 4);
KOVRIN_CHECK_FIELD(TUpsStatus, OutputVoltage, 8);
KOVRIN_CHECK_FIELD(TUpsStatus, BatteryVoltage, 12);
KOVRIN_CHECK_FIELD(TUpsStatus, InputFrequency, 16);
KOVRIN_CHECK_FIELD(TUpsStatus, Temperature, 20);
KOVRIN_CHECK_FIELD(TUpsStatus, Load, 24);
KOVRIN_CHECK_FIELD(TUpsStatus, BatteryCharge, 25);
KOVRIN_CHECK_FIELD(TUpsStatus, Flags, 26);
KOVRIN_CHECK_FIELD(TUpsStatus, BatteryStart, 28);
KOVRIN_CHECK_FIELD(TUpsStatus, BatteryTime, 36);

static_assert(sizeof(TUpsInfo) == 38);
KOVRIN_CHECK_FIELD(TUpsInfo, Maker, 0);
KOVRIN_CHECK_FIELD(TUpsInfo, Model, 16);
KOVRIN_CHECK_FIELD(TUpsInfo, Version, 27);

static_assert(sizeof(TUpsRating) == 16);
KOVRIN_CHECK_FIELD(TUpsRating, Voltage, 0);
KOVRIN_CHECK_FIELD(TUpsRating, BatteryVoltage, 4);
KOVRIN_CHECK_FIELD(TUpsRating, Frequency, 8);
KOVRIN_CHECK_FIELD(TUpsRating, Current, 12);

static_assert(sizeof(TEventRule) == 516);
KOVRIN_CHECK_FIELD(TEventRule, Id, 0);
KOVRIN_CHECK_FIELD(TEventRule, Source, 2);
KOVRIN_CHECK_FIELD(TEventRule, Action, 3);
KOVRIN_CHECK_FIELD(TEventRule, Parameter, 4);
KOVRIN_CHECK_FIELD(TEventRule, Expression, 260);

static_assert(sizeof(TOldEventRule) == 260);
KOVRIN_CHECK_FIELD(TOldEventRule, Parameter, 4);

static_assert(sizeof(TCustomCommand) == 105);
KOVRIN_CHECK_FIELD(TCustomCommand, Id, 0);
KOVRIN_CHECK_FIELD(TCustomCommand, Code, 2);
KOVRIN_CHECK_FIELD(TCustomCommand, Description, 3);
KOVRIN_CHECK_FIELD(TCustomCommand, Parameter, 54);

static_assert(sizeof(TStatRecord) == 52);
KOVRIN_CHECK_FIELD(TStatRecord, Time, 0);
KOVRIN_CHECK_FIELD(TStatRecord, Status, 8);

static_assert(sizeof(TJournalRecord) == 116);
KOVRIN_CHECK_FIELD(TJournalRecord, Kind, 0);
KOVRIN_CHECK_FIELD(TJournalRecord, Time, 1);
KOVRIN_CHECK_FIELD(TJournalRecord, Port, 9);
KOVRIN_CHECK_FIELD(TJournalRecord, Text, 15);

#undef KOVRIN_CHECK_FIELD

// Records are copied with memcpy between memory, messages and files.
static_assert(std::is_trivially_copyable_v<TUpsStatus> && std::is_trivially_copyable_v<TUpsInfo> &&
              std::is_trivially_copyable_v<TUpsRating> && std::is_trivially_copyable_v<TEventRule> &&
              std::is_trivially_copyable_v<TCustomCommand> &&
              std::is_trivially_copyable_v<TStatRecord> &&
              std::is_trivially_copyable_v<TJournalRecord>);
