#pragma once
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "common/files.h"

// The bytes read at a time. The fuzzing build reads in small blocks, so that its small
// files take the path of a record split between two blocks, and an input costs no 1 MB.
#ifndef KOVRIN_RECORD_BLOCK_BYTES
#define KOVRIN_RECORD_BLOCK_BYTES (1u << 20)
#endif

// Reads a file of fixed-size records (the journal, the statistics) from the start, in
// blocks of many records, and hands each whole record to the sink in file order. The
// monitor may be appending meanwhile: a trailing part shorter than a record is left out.
// Reading stops at a read error or when the sink returns false. False only when the file
// cannot be opened.
template <typename TRecord, typename TSink>
bool ReadRecords(IFileSystem& files, const std::string& path, TSink&& sink) {
    auto file = files.Open(path, FileOpen::ReadExisting, FileShare::ReadWriteDelete);
    if (!file) return false;
    constexpr std::size_t PerBlock = sizeof(TRecord) < KOVRIN_RECORD_BLOCK_BYTES
                                         ? KOVRIN_RECORD_BLOCK_BYTES / sizeof(TRecord)
                                         : 1;
    std::vector<unsigned char> block(PerBlock * sizeof(TRecord));
    std::size_t held = 0; // bytes of a record begun at the end of the last block
    for (;;) {
        std::size_t got = 0;
        if (!file->Read(block.data() + held, block.size() - held, got) || got == 0) break;
        held += got;
        const std::size_t whole = held / sizeof(TRecord);
        for (std::size_t i = 0; i < whole; ++i) {
            TRecord record;
            std::memcpy(&record, block.data() + i * sizeof(TRecord), sizeof(TRecord));
            if (!sink(record)) return true;
        }
        const std::size_t rest = held - whole * sizeof(TRecord);
        if (rest) std::memmove(block.data(), block.data() + whole * sizeof(TRecord), rest);
        held = rest;
    }
    return true;
}
