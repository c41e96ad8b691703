#include "dialog/mainwindow/journal_page_win32.h"

#include "common/events.h"
#include "common/files.h"
#include "dialog/diagram/diag_form_win32.h"
#include "dialog/diagram/record_stream.h"
#include "dialog/mainwindow/journal_ids.h"
#include "dialog/mainwindow/journal_images.h"
#include "dialog/meters/gdi_canvas_win32.h"
#include "dialog/module/window_host_win32.h"

namespace {

constexpr char JournalFile[] = "Kovrin.lgb";
constexpr int DeleteAttempts = 5;
constexpr int ControlsTop = 197;
constexpr COLORREF MaskColor = RGB(255, 0, 255);

// The five pictures, drawn once per window on the mask colour.
HIMAGELIST MakeKindImages() {
    HIMAGELIST list = ImageList_Create(JournalImageSize, JournalImageSize, ILC_COLOR24 | ILC_MASK,
                                       JournalKindCount, 0);
    if (!list) return nullptr;
    HDC screen = GetDC(nullptr);
    for (int kind = 0; kind < JournalKindCount; ++kind) {
        TMemoryDC dc(screen, JournalImageSize, JournalImageSize);
        {
            TBrushHandle ground(CreateSolidBrush(MaskColor));
            const RECT all{0, 0, JournalImageSize, JournalImageSize};
            FillRect(dc.Get(), &all, ground.Get());
            TGdiCanvas canvas(dc.Get());
            DrawJournalImage(canvas, kind);
        }
        // The bitmap is copied out: the memory context keeps its own.
        TBitmapHandle picture(CreateCompatibleBitmap(screen, JournalImageSize, JournalImageSize));
        {
            HDC copy = CreateCompatibleDC(screen);
            const HGDIOBJ old = SelectObject(copy, picture.Get());
            BitBlt(copy, 0, 0, JournalImageSize, JournalImageSize, dc.Get(), 0, 0, SRCCOPY);
            SelectObject(copy, old);
            DeleteDC(copy);
        }
        ImageList_AddMasked(list, picture.Get(), MaskColor);
    }
    ReleaseDC(nullptr, screen);
    return list;
}

} // namespace

TJournalPage::~TJournalPage() {
    if (images_) ImageList_Destroy(images_);
}

bool TJournalPage::CreateControls() {
    if (!group_.Create({.Parent = Parent(), .Rect = {0, 0, 473, 193}, .Text = " Протокол "},
                       {.Frame = true}))
        return false;

    images_ = MakeKindImages();
    if (!list_.Create({.Parent = group_.Handle(), .Rect = {8, 16, 457, 169}, .Id = ID_JOURNAL_LIST},
                      {.Columns = {{"Тип", 40}, {"Порт", 45}, {"Время", 120}, {"Описание", 230}},
                       .SmallImages = images_,
                       .Virtual = true}))
        return false;
    list_.RowText = [this](int row, int column) {
        return row < 0 ? std::string() : rows_.CellText(static_cast<std::size_t>(row), column);
    };
    list_.RowImage = [this](int row) {
        return row < 0 ? -1 : rows_.ImageOf(static_cast<std::size_t>(row));
    };

    if (!filterLabel_.Create({.Parent = Parent(),
                              .Rect = {0, ControlsTop + 6, 40, 13},
                              .Id = ID_JOURNAL_FILTERLABEL,
                              .Text = "Фильтр:"}))
        return false;
    if (!filter_.Create(
            {.Parent = Parent(), .Rect = {42, ControlsTop + 2, 140, 21}, .Id = ID_JOURNAL_FILTER},
            {.DropHeight = 100,
             .Items = {std::begin(JournalFilterCaptions), std::end(JournalFilterCaptions)}}))
        return false;
    filter_.Select(0);
    filter_.OnChange = [this] {
        rows_.SetFilter(filter_.Selected());
        Reload();
    };

    if (!clear_.Create({.Parent = Parent(),
                        .Rect = {190, ControlsTop, 75, 25},
                        .Id = ID_JOURNAL_CLEAR,
                        .Text = "Очистить"}))
        return false;
    clear_.OnClick = [this] { ClearClick(); };
    if (!diagram_.Create({.Parent = Parent(),
                          .Rect = {473 - 90, ControlsTop, 90, 25},
                          .Id = ID_JOURNAL_DIAGRAM,
                          .Text = "Диаграмма..."},
                         {.Kind = TButtonKind::Default}))
        return false;
    diagram_.OnClick = [this] { DiagramClick(); };
    return true;
}

void TJournalPage::Load() {
    rows_.Clear();
    ReadRecords<TJournalRecord>(SystemFiles(), host_.FilePath(JournalFile),
                                [this](const TJournalRecord& r) {
                                    rows_.Add(r);
                                    return true;
                                });
    ShowRowCount();
}

void TJournalPage::Reload() {
    list_.Clear();
    Load();
}

void TJournalPage::ShowRowCount() {
    list_.SetRowCount(static_cast<int>(rows_.Count()));
    InvalidateRect(list_.Handle(), nullptr, TRUE);
}

void TJournalPage::AddRecord(const TJournalRecord& record) {
    if (!rows_.Add(record)) return;
    // The new row comes in at the top: a selected row moves down with its record.
    const int selected = list_.Selected();
    ShowRowCount();
    if (selected < 0) return;
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list_.Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(selected),
                 reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list_.Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(selected + 1),
                 reinterpret_cast<LPARAM>(&item));
}

void TJournalPage::ClearClick() {
    if (host_.ShowMessageBox(
            "Вы действительно хотите очисить протокол (в том числе отфильтрованние события)?",
            "Внимание", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    rows_.Clear();
    ShowRowCount();
    // The monitor may be appending at this moment: a few tries, a moment apart.
    IFileSystem& files = SystemFiles();
    const std::string path = host_.FilePath(JournalFile);
    bool deleted = false;
    for (int attempt = 0; attempt < DeleteAttempts && !deleted; ++attempt) {
        if (attempt > 0) Sleep(20);
        deleted = files.Remove(path) || !files.Exists(path);
    }
    if (deleted) return;
    host_.ShowMessageBox("Не удалось удалить файл протокола Kovrin.lgb.", "Ошибка",
                         MB_OK | MB_ICONERROR);
    // The list shows again what the file still holds.
    Reload();
}

void TJournalPage::DiagramClick() {
    TDiagForm form(host_);
    if (form.Create()) form.ShowModal();
}
