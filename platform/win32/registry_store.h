#pragma once
// The options store on Windows: the registry, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE.
#include "app/registry.h"

class TWinRegistryStore final : public IRegistryStore {
public:
    std::unique_ptr<IRegistryKey> OpenKey(TRootKey root, const std::string& path, bool writable) override;
};
