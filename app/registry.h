#pragma once
// A registry-style options store: named integer and text values under a key path below one of
// two roots. The platform provides the store (the Windows registry, or files on Linux);
// TRegistry is the wrapper the program reads and writes through.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

enum class TRootKey { CurrentUser, LocalMachine };

struct TRegValue {
    enum class Kind { Integer, String } kind = Kind::Integer;
    std::int32_t integer = 0;
    std::string text;

    static TRegValue Int(std::int32_t v) { return {Kind::Integer, v, {}}; }
    static TRegValue Str(std::string s) { return {Kind::String, 0, std::move(s)}; }
};

// One opened key. Reads give nothing for a missing value; a store that cannot be read or
// written raises Exception with a message naming the problem.
class IRegistryKey {
public:
    virtual ~IRegistryKey() = default;
    virtual std::optional<TRegValue> Read(const std::string& name) = 0;
    virtual void Write(const std::string& name, const TRegValue& value) = 0;
};

class IRegistryStore {
public:
    virtual ~IRegistryStore() = default;
    // Opens path below root; writable opens for reading and writing and creates a missing key.
    // Returns nullptr when the key cannot be opened.
    virtual std::unique_ptr<IRegistryKey> OpenKey(TRootKey root, const std::string& path, bool writable) = 0;
};

class TRegistry {
public:
    TRegistry(IRegistryStore& store, TRootKey root) : store_(store), root_(root) {}

    TRootKey RootKey() const { return root_; }
    // Read and write access; creates the key when canCreate. False when it cannot be opened.
    bool OpenKey(const std::string& path, bool canCreate);
    bool OpenKeyReadOnly(const std::string& path);
    void CloseKey();
    bool HasCurrentKey() const { return key_ != nullptr; }
    bool ReadOnly() const { return readOnly_; }

    bool ValueExists(const std::string& name);
    // Raise "Invalid data type for '<name>'" when the value is missing or of another type.
    std::int32_t ReadInteger(const std::string& name);
    bool ReadBool(const std::string& name) { return ReadInteger(name) != 0; }
    // A missing value reads as empty text.
    std::string ReadString(const std::string& name);
    // Raise "Failed to set data for '<name>'" without a writable key.
    void WriteInteger(const std::string& name, std::int32_t value);
    void WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }
    void WriteString(const std::string& name, const std::string& value);

private:
    void Write(const std::string& name, const TRegValue& value);

    IRegistryStore& store_;
    TRootKey root_;
    std::unique_ptr<IRegistryKey> key_;
    bool readOnly_ = false;
};
