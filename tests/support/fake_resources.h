#pragma once
#include <map>
#include <string>
#include <utility>

#include "model/resource_finder.h"
#include "support/exception_message.h"

// Resources held in memory; names match without regard to case, like the real ones.
class FakeResources final : public IResourceFinder {
public:
    void Put(TResourceKind kind, const std::string& name, std::string bytes) { items_[{kind, Upper(name)}] = std::move(bytes); }

    bool Find(TResourceKind kind, std::string_view name, TResourceBytes& bytes) override {
        const auto it = items_.find({kind, Upper(std::string(name))});
        if (it == items_.end()) return false;
        bytes = {reinterpret_cast<const std::uint8_t*>(it->second.data()), it->second.size()};
        return true;
    }

private:
    static std::string Upper(std::string s) {
        for (char& c : s) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        return s;
    }
    std::map<std::pair<TResourceKind, std::string>, std::string> items_;
};

