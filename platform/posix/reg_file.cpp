// Parsing of registry export files. The text is taken to UTF-8 first (where no
// character hides a "\" or a quote in a trail byte), parsed, and every name
// and string is stored in the ANSI code page as the A calls would return it.
#include "platform/posix/reg_file.h"

#include <cstdlib>
#include <vector>

#include "platform/ansi_text.h"
#include "platform/text_codec.h"

namespace ovsetup::platform {
namespace {

const char kRoot[] = "HKEY_LOCAL_MACHINE";
const std::uint32_t kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegMultiSz = 7;

void AppendUtf8(std::uint32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// UTF-16LE bytes to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(const std::string& bytes) {
  std::string out;
  auto unit = [&bytes](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
  };
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    std::uint32_t c = unit(i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(c, &out);
  }
  return out;
}

// UTF-8 to the ANSI code page; kept as it is when a character has no GBK form.
std::string ToAnsi(const std::string& utf8) {
  std::string out;
  return ConvertCodePage(utf8, kCodePageUtf8, kCodePageGbk, &out) ? out : utf8;
}

// The file as UTF-8: UTF-16LE with a byte-order mark, UTF-8, or ANSI text.
std::string DecodeFile(const std::string& bytes) {
  if (bytes.compare(0, 2, "\xFF\xFE") == 0) return Utf16LeToUtf8(bytes.substr(2));
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
  std::string check;
  if (ConvertCodePage(bytes, kCodePageUtf8, kCodePageUtf8, &check)) return bytes;
  std::string utf8;  // not UTF-8: ANSI text
  return ConvertCodePage(bytes, kCodePageGbk, kCodePageUtf8, &utf8) ? utf8 : bytes;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// The blanks regedit allows around lines, names and data.
constexpr char kBlanks[] = " \t";

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// A quoted text starting after its opening quote at `*at`; "\\" and "\""
// are escapes. Leaves `*at` after the closing quote; false without one.
bool Unquote(const std::string& s, std::size_t* at, std::string* out) {
  out->clear();
  for (std::size_t i = *at; i < s.size(); ++i) {
    if (s[i] == '"') {
      *at = i + 1;
      return true;
    }
    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
    out->push_back(s[i]);
  }
  return false;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One to eight hex digits, nothing else.
bool ParseHexNumber(const std::string& digits, std::uint32_t* value) {
  if (digits.empty() || digits.size() > 8) return false;
  *value = 0;
  for (char c : digits) {
    if (HexDigit(c) < 0) return false;
    *value = *value * 16 + static_cast<std::uint32_t>(HexDigit(c));
  }
  return true;
}

// "aa,bb,..." (blanks allowed around items) to bytes.
bool ParseHexBytes(const std::string& list, std::string* bytes) {
  bytes->clear();
  if (Trim(list, kBlanks).empty()) return true;
  for (std::size_t start = 0;;) {
    const std::size_t end = list.find(',', start);
    const std::string item = Trim(
        list.substr(start, end == std::string::npos ? std::string::npos : end - start), kBlanks);
    std::uint32_t b = 0;
    if (item.size() > 2 || !ParseHexNumber(item, &b)) return false;
    bytes->push_back(static_cast<char>(b));
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

class Parser {
 public:
  // `version5`: strings given in hex are UTF-16LE, as version 5 writes them.
  Parser(bool version5, RegTree* tree) : version5_(version5), tree_(tree) {}

  // Takes one logical line (continuations already joined).
  void Line(const std::string& raw) {
    const std::string line = Trim(raw, kBlanks);
    if (line.empty() || line[0] == ';') return;
    if (line[0] == '[') return KeyLine(line);
    if (key_ != nullptr) ValueLine(line);
  }

 private:
  void KeyLine(const std::string& line) {
    key_ = nullptr;
    const std::size_t close = line.rfind(']');
    if (close == std::string::npos) return;
    const std::string path = line.substr(1, close - 1);
    const std::size_t root_length = sizeof kRoot - 1;
    if (UpperAnsi(path.substr(0, root_length)) != kRoot ||
        (path.size() > root_length && path[root_length] != '\\'))
      return;  // another root, or a deletion ("[-...]")
    std::string upper;  // of the key made so far
    RegKey* key = &(*tree_)[upper];
    std::size_t start = root_length + 1;
    while (start < path.size()) {
      std::size_t end = path.find('\\', start);
      if (end == std::string::npos) end = path.size();
      const std::string name = ToAnsi(path.substr(start, end - start));
      start = end + 1;
      if (name.empty()) continue;
      const std::string upper_name = UpperAnsi(name);
      key->subkeys.emplace(upper_name, name);
      upper += upper.empty() ? upper_name : "\\" + upper_name;
      key = &(*tree_)[upper];
    }
    key_ = key;
  }

  void ValueLine(const std::string& line) {
    std::string name;
    std::size_t at = 1;
    if (line[0] == '@') {
      name.clear();
    } else if (line[0] != '"' || !Unquote(line, &at, &name)) {
      return;
    }
    while (at < line.size() && IsSpace(line[at])) ++at;
    if (at >= line.size() || line[at] != '=') return;
    const std::string data = Trim(line.substr(at + 1), kBlanks);
    const std::string key_name = UpperAnsi(ToAnsi(name));
    if (data == "-") {
      key_->values.erase(key_name);
      return;
    }
    RegValue value;
    if (Data(data, &value)) key_->values[key_name] = value;
  }

  bool Data(const std::string& data, RegValue* value) const {
    if (!data.empty() && data[0] == '"') {
      std::size_t at = 1;
      std::string text;
      if (!Unquote(data, &at, &text) || at != data.size()) return false;
      value->type = kRegSz;
      value->data = ToAnsi(text) + '\0';
      return true;
    }
    const std::size_t colon = data.find(':');
    if (colon == std::string::npos) return false;
    const std::string kind = data.substr(0, colon);
    const std::string rest = data.substr(colon + 1);
    if (kind == "dword") {
      std::uint32_t v = 0;
      if (rest.size() != 8 || !ParseHexNumber(rest, &v)) return false;
      value->type = kRegDword;
      value->data.clear();
      for (int i = 0; i < 4; ++i) value->data.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
      return true;
    }
    if (kind == "hex") {
      value->type = kRegBinary;
    } else if (kind.size() > 5 && kind.compare(0, 4, "hex(") == 0 && kind.back() == ')') {
      if (!ParseHexNumber(kind.substr(4, kind.size() - 5), &value->type)) return false;
    } else {
      return false;
    }
    if (!ParseHexBytes(rest, &value->data)) return false;
    // The A call returns strings in the ANSI code page.
    const bool text = value->type == kRegSz || value->type == kRegExpandSz ||
                      value->type == kRegMultiSz;
    if (text && version5_) value->data = ToAnsi(Utf16LeToUtf8(value->data));
    return true;
  }

  bool version5_;
  RegTree* tree_;
  RegKey* key_ = nullptr;
};

bool IsContinued(const std::string& line) {
  const std::string t = Trim(line, kBlanks);
  const std::size_t eq = t.find('=');
  return !t.empty() && t.back() == '\\' && eq != std::string::npos &&
         Trim(t.substr(eq + 1), kBlanks).compare(0, 3, "hex") == 0;
}

}  // namespace

std::string UpperAnsi(const std::string& text) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (IsGbkLeadByte(out[i])) {
      ++i;  // its trail byte is no letter
    } else if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 'a' + 'A');
    }
  }
  return out;
}

bool ParseRegFile(const std::string& bytes, RegTree* tree) {
  tree->clear();
  const std::vector<std::string> lines = SplitLines(DecodeFile(bytes));
  std::size_t i = 0;
  while (i < lines.size() && Trim(lines[i], kBlanks).empty()) ++i;
  if (i == lines.size()) return false;
  const std::string header = Trim(lines[i], kBlanks, TrimEnds::kEndOnly);
  const bool version5 = header == "Windows Registry Editor Version 5.00";
  if (!version5 && header != "REGEDIT4") return false;

  Parser parser(version5, tree);
  (*tree)[""];
  for (++i; i < lines.size(); ++i) {
    std::string logical = lines[i];
    while (IsContinued(logical) && i + 1 < lines.size()) {
      logical = Trim(logical, kBlanks);
      logical.pop_back();
      logical += Trim(lines[++i], kBlanks);
    }
    parser.Line(logical);
  }
  return true;
}

}  // namespace ovsetup::platform
