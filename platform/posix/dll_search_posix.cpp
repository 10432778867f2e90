// Linux loads no DLLs by name from beside a program: nothing to restrict.
#include "platform/dll_search.h"

namespace ovsetup::platform {

void LoadDllsFromSystemFolderOnly() {}

}  // namespace ovsetup::platform
