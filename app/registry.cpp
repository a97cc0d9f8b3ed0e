#include "app/registry.h"

#include "app/exception.h"

bool TRegistry::OpenKey(const std::string& path, bool canCreate) {
    CloseKey();
    key_ = store_.OpenKey(root_, path, canCreate);
    readOnly_ = false;
    return key_ != nullptr;
}

bool TRegistry::OpenKeyReadOnly(const std::string& path) {
    CloseKey();
    key_ = store_.OpenKey(root_, path, false);
    readOnly_ = true;
    return key_ != nullptr;
}

void TRegistry::CloseKey() { key_.reset(); }

bool TRegistry::ValueExists(const std::string& name) { return key_ && key_->Read(name).has_value(); }

std::int32_t TRegistry::ReadInteger(const std::string& name) {
    const auto value = key_ ? key_->Read(name) : std::nullopt;
    if (!value || value->kind != TRegValue::Kind::Integer) throw Exception("Invalid data type for '" + name + "'");
    return value->integer;
}

std::string TRegistry::ReadString(const std::string& name) {
    const auto value = key_ ? key_->Read(name) : std::nullopt;
    if (!value) return {};
    if (value->kind != TRegValue::Kind::String) throw Exception("Invalid data type for '" + name + "'");
    return value->text;
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) { Write(name, TRegValue::Int(value)); }

void TRegistry::WriteString(const std::string& name, const std::string& value) { Write(name, TRegValue::Str(value)); }

void TRegistry::Write(const std::string& name, const TRegValue& value) {
    if (!key_ || readOnly_) throw Exception("Failed to set data for '" + name + "'");
    key_->Write(name, value);
}
