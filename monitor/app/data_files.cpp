#include "monitor/app/data_files.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>

#include "common/files.h"
#include "monitor/app/data_conversion.h"
#include "monitor/runtime/platform.h"

namespace {

constexpr char QuestionCaption[] = "Внимание!";
constexpr char ErrorCaption[] = "Ошибка!";
constexpr char ConvertQuestion[] =
    "Версия файлов данных отличается от текущей версии программы, попытаться сконвертировать?";
constexpr char UnknownVersion[] =
    "Не удалось определить версию файлов данных, продолжение работы невозможно.";
constexpr char ConversionFailed[] = "Не удалось сконвертировать файлы данных, прежние файлы "
                                    "сохранены без изменений. Продолжение работы невозможно.";

std::string NoAccess(const std::string& path) {
    return "Нет доступа к файлу данных " + path + ", продолжение работы невозможно.";
}
std::string NotReplaced(const std::string& path) {
    return "Не удалось заменить файл данных " + path + " сконвертированным файлом " + path +
           ".tmp, продолжение работы невозможно.";
}

struct DataFile {
    const std::string& Path;
    const RecordConversion* Conversion; // none for the statistics, which are not checked
    std::unique_ptr<IFile> File{};
    std::int64_t Size = 0;

    std::string Temp() const { return Path + ".tmp"; }
    bool Current() const { return !Conversion || Size % Conversion->NewSize == 0; }
    bool Previous() const { return !Conversion || Size % Conversion->OldSize == 0; }
};

// An existing file is opened for reading; a missing one is created empty.
bool OpenOrCreate(IFileSystem& files, DataFile& data) {
    data.File = files.Exists(data.Path)
                    ? files.Open(data.Path, FileOpen::ReadExisting, FileShare::ReadWrite)
                    : files.Open(data.Path, FileOpen::OpenAlways, FileShare::ReadWrite);
    if (data.File) data.Size = data.File->Size();
    return data.File && data.Size >= 0;
}

// The monitor cannot go on: say why, without an owner (no window exists yet).
bool Refuse(IDesktop& desktop, const std::string& text) {
    desktop.MessageBox(0, text, ErrorCaption, MBX_OK);
    return true;
}

} // namespace

DataFilePaths MakeDataFilePaths(const std::string& dir) {
    return {dir + "Events.ups", dir + "CustCmds.ups", dir + "Kovrin.lgb", dir + "Stat.ups"};
}

bool CheckDataFiles(IFileSystem& files, IDesktop& desktop, const DataFilePaths& paths) {
    DataFile data[] = {
        {paths.Events, &EventRuleConversion},
        {paths.Commands, &CustomCommandConversion},
        {paths.Journal, &JournalConversion},
        {paths.Stats, nullptr},
    };
    for (DataFile& d : data)
        if (!OpenOrCreate(files, d)) return Refuse(desktop, NoAccess(d.Path));

    bool current = true, previous = true;
    for (const DataFile& d : data) {
        current = current && d.Current();
        previous = previous && d.Previous();
    }
    if (current) return false;

    if (desktop.MessageBox(0, ConvertQuestion, QuestionCaption, MBX_YESNO) != IDX_YES) return true;
    if (!previous) return Refuse(desktop, UnknownVersion);

    // Every file is converted into its ".tmp" first; only when all three are written do
    // they replace the originals, so a failure leaves the user's data as it was.
    for (DataFile& d : data) {
        if (!d.Conversion) continue;
        const std::int64_t count = d.Size / static_cast<std::int64_t>(d.Conversion->OldSize);
        if (!ConvertFile(files, *d.File, count, d.Temp(), *d.Conversion)) {
            for (DataFile& each : data) {
                each.File.reset();
                if (each.Conversion) files.Remove(each.Temp());
            }
            return Refuse(desktop, ConversionFailed);
        }
    }
    for (DataFile& d : data)
        d.File.reset();

    for (std::size_t i = 0; i < std::size(data); ++i) {
        if (!data[i].Conversion) continue;
        if (!files.Remove(data[i].Path)) {
            // This original and those after it are untouched: their conversions go.
            for (std::size_t j = i; j < std::size(data); ++j)
                if (data[j].Conversion) files.Remove(data[j].Temp());
            return Refuse(desktop, NotReplaced(data[i].Path));
        }
        // Failing here, the ".tmp" is the only copy left: it stays, and the box names it.
        if (!files.Rename(data[i].Temp(), data[i].Path))
            return Refuse(desktop, NotReplaced(data[i].Path));
    }
    return false;
}
