#pragma once
// The program's text log: lines at the start of the file, followed by zero bytes written in
// blocks of 16384, so the file is grown rarely while the saver runs. Emptied at the first line
// of each run.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

// Opens the log for reading and writing (create: made or emptied first); nullptr when it cannot.
// The platform's OpenLogStream keeps other writers out where the system can.
using TLogOpener = std::function<std::FILE*(const std::string& path, bool create)>;

class TLogFile {
public:
    static constexpr std::size_t kBlockSize = 16384;

    explicit TLogFile(TLogOpener open, std::string fileName = {})
        : open_(std::move(open)), fileName_(std::move(fileName)) {}
    ~TLogFile() { Close(); }
    TLogFile(const TLogFile&) = delete;
    TLogFile& operator=(const TLogFile&) = delete;

    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string fileName);
    bool IsOpen() const { return file_ != nullptr; }

    // Writes text and CR LF at the current position; the first line creates (empties) the
    // file. Raises Exception when the file cannot be created or written.
    void WriteLine(const std::string& text);
    void Close();

private:
    void Open(bool create);
    void WriteZeros();
    void Check(bool ok);

    TLogOpener open_;
    std::string fileName_;
    std::FILE* file_ = nullptr;
    std::uint64_t position_ = 0;
};
