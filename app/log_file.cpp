#include "app/log_file.h"

#include <vector>

#include "app/exception.h"

void TLogFile::SetFileName(std::string fileName) {
    Close();
    fileName_ = std::move(fileName);
}

void TLogFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void TLogFile::Open(bool create) {
    Close();
    file_ = open_(fileName_, create);
    if (!file_) throw Exception("Cannot " + std::string(create ? "create" : "open") + " file \"" + fileName_ + "\"");
}

void TLogFile::Check(bool ok) {
    if (!ok || std::fflush(file_) != 0) throw Exception("Stream write error in \"" + fileName_ + "\"");
}

void TLogFile::WriteZeros() {
    static const std::vector<char> zeros(kBlockSize, '\0');
    Check(std::fwrite(zeros.data(), 1, zeros.size(), file_) == zeros.size());
}

void TLogFile::WriteLine(const std::string& text) {
    const std::string line = text + "\r\n";
    if (!IsOpen()) {
        Open(true);
        WriteZeros();
        Open(false);
        position_ = 0;
    }
    Check(std::fseek(file_, 0, SEEK_END) == 0);
    const long end = std::ftell(file_);
    const auto size = static_cast<std::uint64_t>(end < 0 ? 0 : end);
    if (size < position_ + line.size()) {
        // Grow by one zero block from the current position.
        Open(false);
        Check(std::fseek(file_, static_cast<long>(position_), SEEK_SET) == 0);
        WriteZeros();
    }
    Check(std::fseek(file_, static_cast<long>(position_), SEEK_SET) == 0);
    Check(std::fwrite(line.data(), 1, line.size(), file_) == line.size());
    position_ += line.size();
}
