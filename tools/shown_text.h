// Bytes of a code page made printable on a UTF-8 terminal, for the tools.
#pragma once

#include <string>

namespace ovsetup::tools {

// `bytes` of `code_page` as UTF-8; when they do not convert, ASCII stays and
// every other byte is shown as \xNN.
std::string ShownText(const std::string& bytes, unsigned code_page);

}  // namespace ovsetup::tools
