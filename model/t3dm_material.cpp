#include "model/t3dm_material.h"

#include <algorithm>

T3DMMaterial::~T3DMMaterial() {
    if (owner_) owner_->Remove(this);
}

void T3DMMaterial::SetOwner(T3DMMaterialList* list) {
    if (list == owner_) return;
    if (owner_) owner_->Remove(this);
    if (list) list->Add(this);
}

void T3DMMaterial::SetName(const std::string& name) {
    if (name == name_) return;
    T3DMMaterialList* list = owner_;
    if (list) list->Remove(this);
    name_ = name;
    // The entry just freed keeps the capacity, so adding it back cannot fail.
    if (list) list->Add(this);
}

T3DMMaterial* T3DMMaterialList::Items(std::int32_t index) const {
    if (index < 0 || index >= Count()) RaiseListIndexError(index);
    return materials_[static_cast<std::size_t>(index)];
}

T3DMMaterial* T3DMMaterialList::Add(T3DMMaterial* material) {
    if (!material) throw Exception("T3DMMaterialList error: Add a Nil Material");
    if (material->owner_ == this) return material;
    ReserveOneMore();
    if (material->owner_) material->owner_->Remove(material);
    materials_.push_back(material);
    material->owner_ = this;
    return material;
}

// Found by identity, not by name: with duplicate names a search by name could take out
// another material's entry and leave this one listed without an owner.
void T3DMMaterialList::Remove(T3DMMaterial* material) {
    if (!material) return;
    const auto it = std::find(materials_.begin(), materials_.end(), material);
    if (it == materials_.end()) return;
    materials_.erase(it);
    material->owner_ = nullptr;
}

void T3DMMaterialList::Clear() {
    std::vector<T3DMMaterial*> materials;
    materials.swap(materials_);
    for (T3DMMaterial* material : materials) {
        material->owner_ = nullptr;
        delete material;
    }
}
