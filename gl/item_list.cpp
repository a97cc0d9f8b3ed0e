#include "gl/item_list.h"

void RaiseListIndexError(std::int32_t index) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}
