#include "dialog/mainwindow/main_form_win32.h"

#include <cstring>

#include "common/messages.h"
#include "dialog/help/help_topics.h"
#include "dialog/help/help_win32.h"
#include "dialog/mainwindow/about_page_win32.h"
#include "dialog/mainwindow/control_ids.h"
#include "dialog/mainwindow/events_page_win32.h"
#include "dialog/mainwindow/extra_page_win32.h"
#include "dialog/mainwindow/journal_page_win32.h"
#include "dialog/mainwindow/settings_page_win32.h"
#include "dialog/mainwindow/state_page_win32.h"
#include "dialog/mainwindow/status_view.h"
#include "dialog/mainwindow/terminal_page_win32.h"

namespace {

const char* const TabCaptions[PageCount] = {"Состояние", "Дополнительно", "События",    "Протокол",
                                            "Терминал",  "Настройка",     "О программе"};

constexpr int ClientWidth = 481, ClientHeight = 250;
constexpr int HelpContextPopup = 8;

// A record behind an address from the monitor, copied whole; none when there is no address.
template <typename T> bool CopyRecord(LPARAM address, T& into) {
    if (!address) return false;
    std::memcpy(&into, reinterpret_cast<const void*>(address), sizeof(T));
    return true;
}

} // namespace

TMainForm::TMainForm()
    : host_(ProgramDirectory()), wait_(host_), link_(monitor_, wait_),
      state_(std::make_unique<TStatePage>(host_, link_)),
      extra_(std::make_unique<TExtraPage>(host_, link_)),
      events_(std::make_unique<TEventsPage>(host_, link_)),
      journal_(std::make_unique<TJournalPage>(host_, link_)),
      terminal_(std::make_unique<TTerminalPage>(host_, link_)),
      settings_(std::make_unique<TSettingsPage>(host_, link_)),
      about_(std::make_unique<TAboutPage>(host_, link_)), pages_{state_.get(),    extra_.get(),
                                                                 events_.get(),   journal_.get(),
                                                                 terminal_.get(), settings_.get(),
                                                                 about_.get()} {
    link_.SetOutput(terminal_.get());
    host_.OnHelp = [this](int topic) { HelpRequest(HelpContextPopup, topic); };
}

TMainForm::~TMainForm() {
    link_.SetOutput(nullptr);
    // Only a window that was made whole has read the settings it would write back.
    if (Handle() && created_) {
        state_->DestroyMeters();
        // Written while the window still exists: its position is among the settings.
        for (TPage* page : pages_)
            page->Save();
    }
    Destroy();
}

bool TMainForm::Create() {
    if (!CreateForm({.Caption = std::string(MainCaption),
                     .ClientWidth = ClientWidth,
                     .ClientHeight = ClientHeight,
                     .Border = TFormBorder::Single,
                     .Place = TFormPlace::Given,
                     .Left = 100,
                     .Top = 100}))
        return false;
    host_.SetOwner(Handle());

    if (!tabs_.Create({.Parent = Handle(),
                       .Rect = {0, 0, ClientWidth, ClientHeight},
                       .Id = ID_TABS,
                       .Font = Font()},
                      {.Tabs = {std::begin(TabCaptions), std::end(TabCaptions)}}))
        return false;
    const RECT area = tabs_.DisplayArea();
    const TRect pageArea{area.left, area.top, area.right - area.left, area.bottom - area.top};
    for (TPage* page : pages_)
        if (!page->Create(tabs_.Handle(), pageArea)) return false;
    tabs_.OnChange = [this](int index) {
        for (int i = 0; i < PageCount; ++i)
            pages_[static_cast<std::size_t>(i)]->Show(i == index);
    };
    tabs_.Select(0);
    about_->SetTexts("Tarvo", ProductVersionLine);

    settings_->Load(); // also places the window
    events_->Load();
    extra_->Load(); // the custom commands
    journal_->Load();
    terminal_->Load();
    settings_->LoadAutorun();
    state_->CreateMeters();
    created_ = true;
    return true;
}

void TMainForm::HelpRequest(int kind, int topic) {
    if (kind != HelpContextPopup || topic < 0 || topic >= HelpTopicCount) return;
    OpenHelpTopic(host_, topic);
}

void TMainForm::Close() {
    if (!IsWindowEnabled(Handle())) return; // an editor, a message box or the wait window is up
    if (settings_->Calibrating()) {
        if (closingForGood_) {
            // The monitor is ending the window and will not wait for an answer: the
            // calibration ends here rather than with the window's thread, so that the UPS's
            // long test is cancelled and the monitor's actions run again.
            settings_->StopCalibration();
        } else {
            const int answer =
                host_.ShowMessageBox("Нельзя закрывать диалоговое окно во время калибровки "
                                     "батареи! Завершить калибровку и закрыть окно?",
                                     "Внимание!", MB_YESNO | MB_ICONQUESTION);
            if (answer == IDYES && !closingForGood_) {
                settings_->StopCalibration();
                settings_->SaveForClose();
                link_.AskToClose();
            }
            return;
        }
    }
    if (closingForGood_) {
        terminal_->SaveHistory();
        Show(false); // ends the user-interface thread's run loop
        WakeRunLoop();
        return;
    }
    // Written now too, while a failure can still be told to the user.
    settings_->SaveForClose();
    link_.AskToClose();
}

bool TMainForm::HandleDialogKey(const MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
        const int step = GetKeyState(VK_SHIFT) < 0 ? PageCount - 1 : 1;
        tabs_.Select((CurrentPage() + step) % PageCount);
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
        HelpRequest(HelpContextPopup, HelpTopicOfPage(CurrentPage()));
        return true;
    }
    return TForm::HandleDialogKey(msg);
}

LRESULT TMainForm::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case UM_TODIALOG:
        if (created_) ToDialog(wParam & 0xFF, lParam);
        return 0;
    case UM_FINALCLOSE:
        closingForGood_ = true;
        Close();
        return 0;
    case UM_CLOSEWINDOW:
        Close();
        return 0;
    case WM_SHOWWINDOW:
        if (wParam) {
            link_.AnnounceWindow(reinterpret_cast<std::uintptr_t>(Handle()));
            SetForegroundWindow(Handle());
        }
        return Default(msg, wParam, lParam);
    case WM_HELP: {
        // The system's own help never runs: a request reaches the manual or nothing.
        HelpRequest(HelpContextPopup, HelpTopicOfPage(CurrentPage()));
        return TRUE;
    }
    default:
        return TForm::OnMessage(msg, wParam, lParam);
    }
}

void TMainForm::ToDialog(WPARAM code, LPARAM data) {
    switch (code) {
    case TD_STATUS:
        if (!CopyRecord(data, status_)) return;
        for (TPage* page : pages_)
            page->OnStatus(status_);
        return;
    case TD_INFO:
        if (CopyRecord(data, info_)) extra_->ShowInfo(info_);
        return;
    case TD_RATING:
        if (CopyRecord(data, rating_)) ShowRating(rating_);
        return;
    case TD_ANSWER: {
        // At most 255 characters and the terminator; nothing beyond them is read.
        const char* text = reinterpret_cast<const char*>(data);
        link_.OnAnswer(text ? std::string(text, strnlen(text, TMonitorLink::CommandBufferSize - 1))
                            : std::string());
        return;
    }
    case TD_NOANSWER:
        link_.OnAnswer(std::nullopt);
        return;
    case TD_JOURNAL: {
        TJournalRecord record;
        if (CopyRecord(data, record)) journal_->AddRecord(record);
        return;
    }
    case TD_LINKSTATE:
        ShowLinkState(data);
        return;
    default:
        return; // unknown codes are ignored
    }
}

void TMainForm::ShowRating(const TUpsRating& rating) {
    extra_->ShowRating(rating);
    state_->ApplyRating(rating);
    // Limits in the settings are kept; none there are assumed from the rated voltage.
    if (const auto limits = DefaultBatteryLimits(rating.BatteryVoltage, settings_->MinBattVoltage(),
                                                 settings_->MaxBattVoltage()))
        settings_->SetBatteryLimits(limits->Min, limits->Max);
}

void TMainForm::ShowLinkState(LPARAM state) {
    const TLinkStateView view =
        LinkStateView(static_cast<std::int64_t>(state), settings_->Calibrating());
    for (TPage* page : pages_)
        page->OnLinkState(view.Up);
    if (view.EndsCalibration) settings_->StopCalibration();
    if (!view.Caption.empty()) host_.SetCaption(view.Caption);
    if (!view.Message.empty())
        host_.ShowMessageBox(view.Message, view.MessageCaption,
                             MB_OK | (view.EndsCalibration ? MB_ICONINFORMATION : MB_ICONERROR));
}
