#include "dialog/mainwindow/main_form_win32.h"

#include <cstring>

#include "common/files.h"
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
#include "dialog/module/modal_loop_win32.h"
#include "dialog/module/wait_form_win32.h"

namespace {

const char* const TabCaptions[PageCount] = {"Состояние", "Дополнительно", "События",    "Протокол",
                                            "Терминал",  "Настройка",     "О программе"};

constexpr int ClientWidth = 481, ClientHeight = 250;
constexpr int HelpContextPopup = 8;

std::string ProgramDirectory() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path, n < sizeof path ? n : 0);
    const std::size_t slash = dir.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : dir.substr(0, slash + 1);
}

// A record behind an address from the monitor, copied whole; none when there is no address.
template <typename T> bool CopyRecord(LPARAM address, T& into) {
    if (!address) return false;
    std::memcpy(&into, reinterpret_cast<const void*>(address), sizeof(T));
    return true;
}

} // namespace

TMainForm::TMainForm()
    : state_(std::make_unique<TStatePage>(*this)), extra_(std::make_unique<TExtraPage>(*this)),
      events_(std::make_unique<TEventsPage>(*this)),
      journal_(std::make_unique<TJournalPage>(*this)),
      terminal_(std::make_unique<TTerminalPage>(*this)),
      settings_page_(std::make_unique<TSettingsPage>(*this)),
      about_(std::make_unique<TAboutPage>(*this)), pages_{state_.get(),    extra_.get(),
                                                          events_.get(),   journal_.get(),
                                                          terminal_.get(), settings_page_.get(),
                                                          about_.get()} {}

TMainForm::~TMainForm() {
    if (Handle()) {
        state_->DestroyMeters();
        // Written while the window still exists: its position is among the settings.
        for (TPage* page : pages_)
            page->Save();
    }
    wait_.reset();
    Destroy();
    settings_.reset();
    commands_.Clear();
}

bool TMainForm::Create() {
    monitor_ = nullptr;
    TFormArgs args;
    args.Caption = std::string(MainCaption);
    args.ClientWidth = ClientWidth;
    args.ClientHeight = ClientHeight;
    args.Border = TFormBorder::Single;
    args.Place = TFormPlace::Given;
    args.Left = args.Top = 100;
    if (!CreateForm(args)) return false;

    TTabArgs t;
    t.Parent = Handle();
    t.Rect = {0, 0, ClientWidth, ClientHeight};
    t.Tabs.assign(std::begin(TabCaptions), std::end(TabCaptions));
    t.Font = Font();
    t.Id = ID_TABS;
    if (!tabs_.Create(t)) return false;
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

    programDir_ = ProgramDirectory();
    settings_ = std::make_unique<TIniFile>(SystemFiles(), FilePath("Kovrin.ini"));
    settings_page_->Load(); // also places the window
    events_->Load();
    extra_->Load(); // the custom commands
    journal_->Load();
    terminal_->Load();
    settings_page_->LoadAutorun();
    state_->CreateMeters();
    created_ = true;
    return true;
}

void TMainForm::SetMonitorWindow(HWND monitor) {
    monitor_ = monitor;
}

void TMainForm::PostToMonitor(UINT msg, WPARAM wParam, LPARAM lParam) const {
    if (monitor_) PostMessageA(monitor_, msg, wParam, lParam);
}

void TMainForm::SetCommandText(std::string_view text) {
    const std::size_t n = std::min(text.size(), CommandBufferSize - 1);
    std::memcpy(commandBuffer_.data(), text.data(), n);
    commandBuffer_[n] = '\0';
}

int TMainForm::RunModalOver(TForm& form) {
    return RunModal(form, Handle());
}

int TMainForm::ShowMessageBox(std::string_view text, std::string_view caption, UINT type) {
    return ::MessageBoxA(Handle(), std::string(text).c_str(), std::string(caption).c_str(), type);
}

void TMainForm::BeginWait(bool disableMain, const char* text) {
    if (!wait_) {
        wait_ = std::make_unique<TWaitForm>();
        if (!wait_->Create(Handle(), text)) {
            wait_.reset();
            return;
        }
    } else {
        wait_->SetMessage(text);
    }
    if (disableMain) EnableWindow(Handle(), FALSE);
    RECT main{};
    GetWindowRect(Handle(), &main);
    SetWindowPos(wait_->Handle(), HWND_TOP,
                 main.left + (main.right - main.left) / 2 - TWaitForm::Width / 2,
                 main.top + (main.bottom - main.top) / 2 - TWaitForm::Height / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

bool TMainForm::Waiting() const {
    return wait_ != nullptr;
}

void TMainForm::EndWait() {
    if (wait_) {
        wait_->Destroy();
        wait_.reset();
    }
    if (!IsWindowEnabled(Handle())) EnableWindow(Handle(), TRUE);
    SetForegroundWindow(Handle());
}

void TMainForm::SetCaption(std::string_view caption) {
    SetText(caption);
}

int TMainForm::CurrentPage() const {
    return tabs_.Selected();
}

void TMainForm::ShowPage(TPageIndex page) {
    tabs_.Select(static_cast<int>(page));
}

void TMainForm::HelpRequest(int kind, int topic) {
    if (kind != HelpContextPopup || topic < 0 || topic >= HelpTopicCount) return;
    OpenHelpTopic(*this, topic);
}

void TMainForm::Close() {
    if (!IsWindowEnabled(Handle())) return; // an editor, a message box or the wait window is up
    if (settings_page_->Calibrating()) {
        const int answer =
            ShowMessageBox("Нельзя закрывать диалоговое окно во время калибровки батареи! "
                           "Завершить калибровку и закрыть окно?",
                           "Внимание!", MB_YESNO | MB_ICONQUESTION);
        if (answer == IDYES) {
            settings_page_->StopCalibration();
            settings_page_->SaveForClose();
            PostToMonitor(UM_DIALOGCLOSED, 0, 0);
        }
        return;
    }
    if (closingForGood_) {
        terminal_->SaveHistory();
        Show(false); // ends the user-interface thread's run loop
        return;
    }
    // Written now too, while a failure can still be told to the user.
    settings_page_->SaveForClose();
    PostToMonitor(UM_DIALOGCLOSED, 0, 0);
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
            PostToMonitor(UM_DIALOGREADY, reinterpret_cast<WPARAM>(Handle()), 0);
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
        std::string answer =
            text ? std::string(text, strnlen(text, CommandBufferSize - 1)) : std::string();
        terminal_->OnAnswer(answer.c_str());
        return;
    }
    case TD_NOANSWER:
        terminal_->OnNoAnswer();
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
    if (const auto limits =
            DefaultBatteryLimits(rating.BatteryVoltage, settings_page_->MinBattVoltage(),
                                 settings_page_->MaxBattVoltage()))
        settings_page_->SetBatteryLimits(limits->Min, limits->Max);
}

void TMainForm::ShowLinkState(LPARAM state) {
    const TLinkStateView view =
        LinkStateView(static_cast<std::int64_t>(state), settings_page_->Calibrating());
    linkUp_ = view.Up;
    for (TPage* page : pages_)
        page->OnLinkState(view.Up);
    if (view.EndsCalibration) settings_page_->StopCalibration();
    if (!view.Caption.empty()) SetCaption(view.Caption);
    if (!view.Message.empty())
        ShowMessageBox(view.Message, view.MessageCaption,
                       MB_OK | (view.EndsCalibration ? MB_ICONINFORMATION : MB_ICONERROR));
}
