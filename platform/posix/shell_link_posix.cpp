// Linux stand-in of the shell-link object: writes the shortcut file itself in
// the shell-link binary format (MS-SHLLINK) with what the Windows build sets:
// the target as the local base path of a fixed volume, the description, the
// icon location and show command 5. Strings are stored in the ANSI code page
// (GBK here), so the file reads back as the Windows build's does.
#include "platform/shell_link.h"

#include <cstdint>

#include "platform/ansi_text.h"
#include "platform/file_io.h"

namespace ovsetup::platform {
namespace {

const ComResult kOk = 0;
const ComResult kInvalidArgument = static_cast<ComResult>(0x80070057u);
const ComResult kPathNotFound = static_cast<ComResult>(0x80070003u);
const ComResult kFail = static_cast<ComResult>(0x80004005u);
const std::size_t kLinkPathCapacity = 260;  // wide characters, terminator included

// LinkFlags.
const std::uint32_t kHasLinkInfo = 0x02;
const std::uint32_t kHasName = 0x04;
const std::uint32_t kHasIconLocation = 0x40;
const std::uint32_t kShowCommand = 5;  // SW_SHOW
const std::uint32_t kDriveFixed = 3;

void Put16(std::string* out, std::uint32_t v) {
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string* out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// ShellLinkHeader: 76 bytes, times and sizes left at zero.
std::string Header(std::uint32_t flags) {
  static const unsigned char kClsidShellLink[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00,
                                                    0x00, 0x00, 0xC0, 0x00, 0x00, 0x00,
                                                    0x00, 0x00, 0x00, 0x46};
  std::string h;
  Put32(&h, 0x4C);
  h.append(reinterpret_cast<const char*>(kClsidShellLink), sizeof kClsidShellLink);
  Put32(&h, flags);
  h.append(4 + 3 * 8 + 4 + 4, '\0');  // attributes, three times, size, icon index
  Put32(&h, kShowCommand);            // offset 0x3C
  h.append(2 + 2 + 4 + 4, '\0');      // hot key and reserved fields
  return h;
}

// LinkInfo with a VolumeID (fixed drive, no label) and the target as the
// local base path; the common path suffix is empty.
std::string LinkInfo(const std::string& target) {
  const std::uint32_t kHeaderSize = 0x1C;
  const std::uint32_t kVolumeIdSize = 0x11;
  const std::uint32_t base_path_offset = kHeaderSize + kVolumeIdSize;
  const std::uint32_t suffix_offset = base_path_offset + static_cast<std::uint32_t>(target.size()) + 1;
  std::string info;
  Put32(&info, suffix_offset + 1);  // LinkInfoSize
  Put32(&info, kHeaderSize);
  Put32(&info, 0x01);  // VolumeIDAndLocalBasePath
  Put32(&info, kHeaderSize);
  Put32(&info, base_path_offset);
  Put32(&info, 0);  // no network location
  Put32(&info, suffix_offset);
  Put32(&info, kVolumeIdSize);
  Put32(&info, kDriveFixed);
  Put32(&info, 0);     // serial number
  Put32(&info, 0x10);  // label offset: the empty label right after
  info.push_back('\0');
  info += target;
  info.push_back('\0');
  info.push_back('\0');  // common path suffix
  return info;
}

// StringData entry in the code page (IsUnicode not set): the count of its
// bytes, then the bytes.
void PutCounted(std::string* out, const std::string& text) {
  Put16(out, static_cast<std::uint32_t>(text.size()));
  *out += text;
}

}  // namespace

ComResult WriteShellLink(const std::string& target, const std::string& link_path,
                         const std::string& description, const std::string* icon_file) {
  if (WideLength(link_path) >= kLinkPathCapacity) return kLinkPathTooLong;
  for (const std::string* text : {&target, &description, icon_file})
    if (text != nullptr && text->size() > 0xFFFF) return kInvalidArgument;

  std::uint32_t flags = kHasLinkInfo;
  if (!description.empty()) flags |= kHasName;
  if (icon_file != nullptr && !icon_file->empty()) flags |= kHasIconLocation;
  std::string bytes = Header(flags) + LinkInfo(target);
  if (flags & kHasName) PutCounted(&bytes, description);
  if (flags & kHasIconLocation) PutCounted(&bytes, *icon_file);
  Put32(&bytes, 0);  // terminal block of the (empty) extra data

  OutputFile file;
  if (!file.Create(link_path)) return kPathNotFound;
  if (!file.Write(bytes.data(), bytes.size()) || !file.Close()) return kFail;
  return kOk;
}

}  // namespace ovsetup::platform
