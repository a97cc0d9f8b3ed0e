#include "app/log_file.h"

#include <vector>

#include "app/exception.h"

void TLogFile::SetFileName(std::string fileName) {
    Close();
    fileName_ = std::move(fileName);
}

void TLogFile::Close() {
    if (stream_.is_open()) stream_.close();
    stream_.clear();
}

void TLogFile::Open(std::ios::openmode mode, bool truncate) {
    Close();
    stream_.open(fileName_, mode | std::ios::binary | (truncate ? std::ios::trunc : std::ios::openmode{}));
    if (!stream_.is_open()) {
        stream_.clear();
        throw Exception("Cannot " + std::string(truncate ? "create" : "open") + " file \"" + fileName_ + "\"");
    }
}

void TLogFile::WriteZeros() {
    static const std::vector<char> zeros(kBlockSize, '\0');
    stream_.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
    stream_.flush();
    if (!stream_) throw Exception("Stream write error in \"" + fileName_ + "\"");
}

void TLogFile::WriteLine(const std::string& text) {
    const std::string line = text + "\r\n";
    if (!IsOpen()) {
        Open(std::ios::out, true);
        WriteZeros();
        Open(std::ios::in | std::ios::out, false);
        position_ = 0;
    }
    stream_.seekg(0, std::ios::end);
    const auto size = static_cast<std::uint64_t>(stream_.tellg());
    if (size < position_ + line.size()) {
        // Grow by one zero block from the current position.
        Open(std::ios::in | std::ios::out, false);
        stream_.seekp(static_cast<std::streamoff>(position_));
        WriteZeros();
    }
    stream_.seekp(static_cast<std::streamoff>(position_));
    stream_.write(line.data(), static_cast<std::streamsize>(line.size()));
    stream_.flush();
    if (!stream_) throw Exception("Stream write error in \"" + fileName_ + "\"");
    position_ += line.size();
}
