#include "ui/FieldTable.h"

namespace quillmark {

std::span<const FieldSpec, kFieldCount> FieldTable() { return kFieldSpecs; }

}  // namespace quillmark
