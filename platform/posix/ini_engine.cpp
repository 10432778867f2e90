#include "platform/posix/ini_engine.h"

#include <utility>

#include "platform/ansi_text.h"

namespace ovsetup::platform {
namespace {

// The blanks kernel32 drops around names and values.
constexpr char kIniBlanks[] = " \t\v\f\r\n";

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

bool SameIniName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (IsGbkLeadByte(a[i]) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
  }
  return true;
}

IniText::IniText(std::string bytes) : bytes_(std::move(bytes)) { Parse(); }

void IniText::Parse() {
  lines_.clear();
  sections_.clear();
  start_ = bytes_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  sections_.push_back(Section{"", 0, 0});
  for (std::size_t at = start_; at < bytes_.size();) {
    Line line;
    line.begin = at;
    line.end = bytes_.find_first_of("\r\n", at);
    if (line.end == std::string::npos) line.end = bytes_.size();
    line.next = line.end;
    if (line.next < bytes_.size()) {
      const bool crlf = bytes_[line.next] == '\r' && line.next + 1 < bytes_.size() &&
                        bytes_[line.next + 1] == '\n';
      line.next += crlf ? 2 : 1;
    }
    at = line.next;

    const std::string content = Trim(bytes_.substr(line.begin, line.end - line.begin), kIniBlanks);
    const std::size_t close = content.rfind(']');
    if (content.empty()) {
      line.kind = Kind::kBlank;
    } else if (content[0] == '[' && close != std::string::npos) {
      line.kind = Kind::kHeader;
      line.name = Trim(content.substr(1, close - 1), kIniBlanks);
      sections_.back().last = lines_.size();
      sections_.push_back(Section{line.name, lines_.size(), 0});
    } else {
      line.kind = Kind::kEntry;
      const std::size_t equals = content.find('=');
      line.has_value = equals != std::string::npos;
      line.name = Trim(content.substr(0, equals), kIniBlanks);
      if (line.has_value) line.value = Trim(content.substr(equals + 1), kIniBlanks);
    }
    lines_.push_back(std::move(line));
  }
  sections_.back().last = lines_.size();
}

std::size_t IniText::FindSection(const std::string& name) const {
  const std::string wanted = Trim(name, kIniBlanks);
  for (std::size_t i = 0; i < sections_.size(); ++i)
    if (SameIniName(sections_[i].name, wanted)) return i;
  return kNone;
}

std::size_t IniText::FindKey(const Section& section, const std::string& key) const {
  const std::string wanted = Trim(key, kIniBlanks);
  for (std::size_t i = section.first; i < section.last; ++i)
    if (lines_[i].kind == Kind::kEntry && SameIniName(lines_[i].name, wanted)) return i;
  return kNone;
}

bool IniText::FindValue(const std::string& section, const std::string& key,
                        std::string* value) const {
  const std::size_t s = FindSection(section);
  if (s == kNone) return false;
  const std::size_t k = FindKey(sections_[s], key);
  if (k == kNone || !lines_[k].has_value) return false;
  *value = lines_[k].value;
  return true;
}

std::vector<const IniText::Line*> IniText::Entries(const std::string& section) const {
  std::vector<const Line*> entries;
  const std::size_t s = FindSection(section);
  if (s == kNone) return entries;
  for (std::size_t i = sections_[s].first; i < sections_[s].last; ++i)
    if (lines_[i].kind == Kind::kEntry && lines_[i].name.compare(0, 1, ";") != 0)
      entries.push_back(&lines_[i]);
  return entries;
}

std::vector<std::string> IniText::KeyNames(const std::string& section) const {
  std::vector<std::string> names;
  for (const Line* line : Entries(section))
    if (line->has_value) names.push_back(line->name);
  return names;
}

std::vector<std::string> IniText::SectionLines(const std::string& section) const {
  std::vector<std::string> lines;
  for (const Line* line : Entries(section))
    lines.push_back(line->has_value ? line->name + "=" + line->value : line->name);
  return lines;
}

std::vector<std::string> IniText::SectionNames() const {
  std::vector<std::string> names;
  for (const Section& section : sections_)
    if (!section.name.empty()) names.push_back(section.name);
  return names;
}

std::string IniText::NewLine() const {
  const std::size_t at = bytes_.find_first_of("\r\n");
  if (at == std::string::npos) return "\r\n";
  if (bytes_[at] == '\n') return "\n";
  return bytes_.compare(at, 2, "\r\n") == 0 ? "\r\n" : "\r";
}

void IniText::Splice(std::size_t from, std::size_t to, const std::string& with) {
  bytes_.replace(from, to - from, with);
  Parse();
}

void IniText::SetValue(const std::string& section, const std::string& key,
                       const std::string& value) {
  const std::string nl = NewLine();
  const std::size_t s = FindSection(section);
  if (s == kNone) {
    std::string tail;
    if (!bytes_.empty() && !IsLineEnd(bytes_.back())) tail = nl;
    tail += "[" + Trim(section, kIniBlanks) + "]" + nl + Trim(key, kIniBlanks) + "=" + value + nl;
    Splice(bytes_.size(), bytes_.size(), tail);
    return;
  }
  const Section& found = sections_[s];
  const std::size_t k = FindKey(found, key);
  if (k != kNone) {
    Splice(lines_[k].begin, lines_[k].end, lines_[k].name + "=" + value);
    return;
  }
  const std::string entry = Trim(key, kIniBlanks) + "=" + value;
  std::size_t after = kNone;  // the line the new entry follows
  for (std::size_t i = found.first; i < found.last; ++i)
    if (lines_[i].kind != Kind::kBlank) after = i;
  if (after == kNone) {  // the leading section, with no lines yet
    Splice(start_, start_, entry + nl);
  } else if (lines_[after].next == lines_[after].end) {  // last line, no ending
    Splice(lines_[after].end, lines_[after].end, nl + entry);
  } else {
    Splice(lines_[after].next, lines_[after].next, entry + nl);
  }
}

void IniText::DeleteKey(const std::string& section, const std::string& key) {
  const std::size_t s = FindSection(section);
  if (s == kNone) return;
  const std::size_t k = FindKey(sections_[s], key);
  if (k != kNone) Splice(lines_[k].begin, lines_[k].next, "");
}

void IniText::DeleteSection(const std::string& section) {
  const std::size_t s = FindSection(section);
  if (s == kNone) return;
  const Section& found = sections_[s];
  const std::size_t from = found.first < lines_.size() && s > 0 ? lines_[found.first].begin : start_;
  const std::size_t to = found.last < lines_.size() ? lines_[found.last].begin : bytes_.size();
  Splice(from, to, "");
}

}  // namespace ovsetup::platform
