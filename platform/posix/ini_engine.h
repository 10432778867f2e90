// The INI file model behind the Linux stand-in of the private-profile seam:
// lines parsed the way kernel32 reads them, and edits that touch only the
// line they concern.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ovsetup::platform {

// Names equal without regard to ASCII letter case. A byte 0x81..0xFE starts
// a double-byte character (code page 936) whose two bytes must match exactly,
// so a trail byte that happens to be a letter is never folded.
bool SameIniName(const std::string& a, const std::string& b);

// One INI file's bytes. Lines end at CR, LF or CR LF; a UTF-8 byte-order mark
// at the start is skipped. Lines before the first section header belong to a
// section with the empty name, which always exists and comes first.
//
// A line is, after leading blanks: empty (blank); "[" up to the last "]" on
// the line (a section header, name trimmed, the rest ignored); or an entry:
// the key name up to the first "=" and the value after it, both trimmed, or a
// bare word when there is no "=". Entries whose name starts with ";" are
// comments: they are left out of listings but are still found by name.
//
// Section and key arguments are trimmed before they are matched.
class IniText {
 public:
  explicit IniText(std::string bytes);

  const std::string& bytes() const { return bytes_; }

  // The raw value (trimmed, quotes kept) of the first matching key in the
  // first matching section. False when either is missing or the key's line
  // has no "=".
  bool FindValue(const std::string& section, const std::string& key, std::string* value) const;

  // The section's key names in file order: entries with "=", not comments.
  std::vector<std::string> KeyNames(const std::string& section) const;

  // The section's lines as "name=value" or the bare word, in file order,
  // without comments and blank lines.
  std::vector<std::string> SectionLines(const std::string& section) const;

  // Names of all sections with a non-empty name, in file order (repeats kept).
  std::vector<std::string> SectionNames() const;

  // Sets the key's value: its line becomes "name=value" (the name as written
  // in the file) with its own line ending; a missing key gets a new line
  // after the section's last non-blank line; a missing section is appended
  // at the end of the file. Every other line keeps its bytes.
  void SetValue(const std::string& section, const std::string& key, const std::string& value);

  // Removes the first matching key's line; nothing when it is missing.
  void DeleteKey(const std::string& section, const std::string& key);

  // Removes the first matching section: its header and all its lines.
  void DeleteSection(const std::string& section);

 private:
  enum class Kind { kBlank, kHeader, kEntry };
  struct Line {
    std::size_t begin = 0;  // first byte
    std::size_t end = 0;    // one past the content: where the line ending starts
    std::size_t next = 0;   // start of the next line
    Kind kind = Kind::kBlank;
    std::string name;       // section or key name, trimmed
    bool has_value = false;
    std::string value;      // trimmed
  };
  // Lines [first, last) of a section; `first` is its header, except for the
  // leading section, which has none.
  struct Section {
    std::string name;
    std::size_t first = 0;
    std::size_t last = 0;
  };
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  void Parse();
  std::size_t FindSection(const std::string& name) const;
  std::size_t FindKey(const Section& section, const std::string& key) const;
  // The section's entries in file order, comments left out.
  std::vector<const Line*> Entries(const std::string& section) const;
  std::string NewLine() const;
  // Replaces bytes [from, to) and parses the result again.
  void Splice(std::size_t from, std::size_t to, const std::string& with);

  std::string bytes_;
  std::size_t start_ = 0;  // past the byte-order mark
  std::vector<Line> lines_;
  std::vector<Section> sections_;
};

}  // namespace ovsetup::platform
