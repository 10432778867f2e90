#include "install/own_files_record.h"

#include "payload/payload_hash.h"
#include "platform/file_io.h"
#include "platform/file_ops.h"
#include "platform/free_name.h"

namespace ovsetup::install {
namespace {

constexpr char kTagLine[] = "QVTSetup record 1\r\n";
constexpr char kEndMark[] = "end ";
constexpr std::size_t kHexDigits = 16;
// Larger files are no record of ours: a record lists a folder's few files.
constexpr std::uint64_t kMostRecordBytes = 1 << 20;

std::string Hex(std::uint64_t value) {
  std::string text(kHexDigits, '0');
  for (std::size_t i = kHexDigits; i-- > 0; value >>= 4) text[i] = "0123456789abcdef"[value & 15];
  return text;
}

// The value of exactly kHexDigits lower-case hex digits at `text`[at]; false
// for anything else.
bool ParseHex(const std::string& text, std::size_t at, std::uint64_t* value) {
  if (text.size() - at < kHexDigits) return false;
  *value = 0;
  for (std::size_t i = at; i < at + kHexDigits; ++i) {
    const char c = text[i];
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return false;
    *value = *value << 4 | static_cast<std::uint64_t>(digit);
  }
  return true;
}

bool HashFile(const std::string& path, std::uint64_t* hash) {
  platform::InputFile file;
  std::uint64_t size = 0;
  return file.Open(path) && file.Length(&size) && payload::HashFileRange(file, 0, size, hash);
}

// The record's bytes: tag, entries, then the end line over all of them.
std::string Text(const std::map<std::string, std::uint64_t>& hashes) {
  std::string text = kTagLine;
  for (const auto& entry : hashes) text += Hex(entry.second) + " " + entry.first + "\r\n";
  return text + kEndMark + Hex(payload::HashBytes(text.data(), text.size())) + "\r\n";
}

// The entries of a record's `text`; false when it is not a whole record.
bool Parse(const std::string& text, std::map<std::string, std::uint64_t>* hashes) {
  const std::size_t tag = sizeof kTagLine - 1, mark = sizeof kEndMark - 1;
  const std::size_t end_line = mark + kHexDigits + 2;
  if (text.size() < tag + end_line || text.compare(0, tag, kTagLine) != 0) return false;
  const std::size_t body = text.size() - end_line;
  std::uint64_t sum = 0;
  if (text.compare(body, mark, kEndMark) != 0 || !ParseHex(text, body + mark, &sum) ||
      text.compare(text.size() - 2, 2, "\r\n") != 0 || sum != payload::HashBytes(text.data(), body))
    return false;
  for (std::size_t at = tag; at < body;) {
    const std::size_t eol = text.find("\r\n", at);
    std::uint64_t hash = 0;
    if (eol >= body || eol < at + kHexDigits + 2 || !ParseHex(text, at, &hash) ||
        text[at + kHexDigits] != ' ')
      return false;
    (*hashes)[text.substr(at + kHexDigits + 1, eol - at - kHexDigits - 1)] = hash;
    at = eol + 2;
  }
  return true;
}

}  // namespace

OwnFilesRecord OwnFilesRecord::ReadFrom(const std::string& folder) {
  OwnFilesRecord record;
  platform::InputFile file;
  std::uint64_t size = 0;
  if (!file.Open(folder + kOwnFilesRecord) || !file.Length(&size) || size > kMostRecordBytes)
    return record;
  std::string text(static_cast<std::size_t>(size), '\0');
  if (!text.empty() && file.Read(&text[0], text.size()) && !Parse(text, &record.hashes_))
    record.hashes_.clear();
  return record;
}

bool OwnFilesRecord::Holds(const std::string& name, const std::string& path) const {
  const auto listed = hashes_.find(name);
  std::uint64_t hash = 0;
  return listed != hashes_.end() && HashFile(path, &hash) && hash == listed->second;
}

void OwnFilesRecord::Take(const std::string& name, const std::string& path) {
  std::uint64_t hash = 0;
  if (HashFile(path, &hash))
    hashes_[name] = hash;
  else
    hashes_.erase(name);
}

bool OwnFilesRecord::WriteTo(const std::string& folder) const {
  const std::string text = Text(hashes_);
  const std::string record = folder + kOwnFilesRecord;
  std::string scratch = record + ".new";  // created new, never through a link
  platform::OutputFile out;
  if (!platform::UnderFreeName(&scratch, 4, [&out](const std::string& path) {
        return out.CreateNew(path);
      }))
    return false;
  if (out.Write(text.data(), text.size()) && out.Close() &&
      platform::RenameReplacing(scratch, record))
    return true;
  (void)out.Close();
  (void)platform::DeleteOneFile(scratch);
  return false;
}

}  // namespace ovsetup::install
