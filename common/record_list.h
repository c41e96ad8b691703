#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/files.h"

// The event rules and custom commands live in files of fixed-size records, at most 50,
// in the order in which they are shown and run. Both the monitor and the dialog library
// read them; the dialog library is the only writer and rewrites the whole file on every
// change.
inline constexpr std::size_t MaxListRecords = 50;

template <typename T> class RecordList {
public:
    // Reads records from the start of the file until its end or until 50 are held; a
    // trailing fragment is not a record. A missing or unreadable file leaves what was read.
    bool Load(IFileSystem& files, const std::string& path) {
        items_.clear();
        auto f = files.Open(path, FileOpen::ReadExisting, FileShare::ReadWrite);
        if (!f) return false;
        while (items_.size() < MaxListRecords) {
            T record;
            std::size_t got = 0;
            if (!f->Read(&record, sizeof record, got)) return false;
            if (got < sizeof record) {
                // A pipe or slow device may deliver less; a file gives all it has.
                if (got == 0) break;
                std::size_t more = 0;
                auto* bytes = reinterpret_cast<unsigned char*>(&record);
                while (got < sizeof record && f->Read(bytes + got, sizeof record - got, more) &&
                       more > 0)
                    got += more;
                if (got < sizeof record) break;
            }
            items_.push_back(record);
        }
        return true;
    }

    // Writes every record anew, in list order; the file stays as it was when that fails.
    bool Save(IFileSystem& files, const std::string& path) const {
        return ReplaceFileContents(files, path, items_.data(), items_.size() * sizeof(T));
    }

    // 1 + the largest identifier present; 1 for an empty list.
    std::uint16_t NewId() const {
        std::uint16_t largest = 0;
        for (const T& item : items_)
            if (item.Id > largest) largest = item.Id;
        return static_cast<std::uint16_t>(largest + 1);
    }

    // Appends with a new identifier; refused when the list is full. Returns the identifier.
    std::uint16_t Add(T record) {
        if (items_.size() >= MaxListRecords) return 0;
        record.Id = NewId();
        items_.push_back(record);
        return record.Id;
    }

    // Overwrites every record with the identifier.
    void ReplaceById(std::uint16_t id, const T& record) {
        for (T& item : items_)
            if (item.Id == id) std::memcpy(&item, &record, sizeof(T));
    }

    // The last record with the identifier, or null.
    const T* FindLastById(std::uint16_t id) const {
        for (std::size_t i = items_.size(); i-- > 0;)
            if (items_[i].Id == id) return &items_[i];
        return nullptr;
    }

    // Removes the last record with the identifier; the ones after it move up.
    bool DeleteLastById(std::uint16_t id) {
        for (std::size_t i = items_.size(); i-- > 0;)
            if (items_[i].Id == id) {
                items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
                return true;
            }
        return false;
    }

    // Swaps the record at index with its neighbour; false at the ends.
    bool MoveUp(std::size_t index) {
        if (index == 0 || index >= items_.size()) return false;
        std::swap(items_[index - 1], items_[index]);
        return true;
    }
    bool MoveDown(std::size_t index) {
        if (index + 1 >= items_.size()) return false;
        std::swap(items_[index], items_[index + 1]);
        return true;
    }

    void Clear() { items_.clear(); }
    std::size_t Size() const { return items_.size(); }
    bool Empty() const { return items_.empty(); }
    const T& operator[](std::size_t i) const { return items_[i]; }
    T& operator[](std::size_t i) { return items_[i]; }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<T> items_;
};
