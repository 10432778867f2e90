// Read-only registry lookups that find the host applications. Every key is
// opened with KEY_READ in the setup's own (32-bit) view and closed again
// before the call returns.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/registry.h"

namespace ovsetup::install {

// Bytes offered to every value query; callers keep one more for a NUL.
constexpr std::uint32_t kRegistryValueSize = 260;

// Reads the value `value_name` of the key `sub_key` below `root` into
// `buffer`. `*size` is the number of bytes offered on entry and the number
// stored on return; no NUL is added. 0 when the key opened and the value was
// read, 1 otherwise (no key, no value, a value larger than offered).
int ReadRegistryString(platform::RegistryRoot root, const std::string& sub_key,
                       const std::string& value_name, char* buffer, std::uint32_t* size);

// How a walk over AutoCAD's products ended.
enum class AcadWalk {
  NoAcadKey,  // "SOFTWARE\Autodesk\AutoCAD" could not be opened
  Walked,     // every release and product was enumerated
  Stopped,    // the visitor answered Stop
};

// A visitor's answer: go on with the next product, or end the walk.
enum class AcadVisit { Continue, Stop };

using AcadVisitor = std::function<AcadVisit(const std::string& location)>;

// Hands the "AcadLocation" text (up to its first NUL, as stored) of every
// product key "SOFTWARE\Autodesk\AutoCAD\<release>\<product>" to `visitor`,
// release by release and product by product in the registry's order. Keys
// that cannot be opened and values that are missing or longer than 259 bytes
// are passed over.
AcadWalk ForEachAcadLocation(const AcadVisitor& visitor);

}  // namespace ovsetup::install
