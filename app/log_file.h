#pragma once
// The program's text log: lines at the start of the file, followed by zero bytes written in
// blocks of 16384, so the file is grown rarely while the saver runs. Emptied at the first line
// of each run.
#include <cstdint>
#include <fstream>
#include <string>

class TLogFile {
public:
    static constexpr std::size_t kBlockSize = 16384;

    TLogFile() = default;
    explicit TLogFile(std::string fileName) : fileName_(std::move(fileName)) {}
    TLogFile(const TLogFile&) = delete;
    TLogFile& operator=(const TLogFile&) = delete;

    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string fileName);
    bool IsOpen() const { return stream_.is_open(); }

    // Writes text and CR LF at the current position; the first line creates (empties) the
    // file. Raises Exception when the file cannot be created or written.
    void WriteLine(const std::string& text);
    void Close();

private:
    void Open(std::ios::openmode mode, bool truncate);
    void WriteZeros();

    std::string fileName_;
    std::fstream stream_;
    std::uint64_t position_ = 0;
};
