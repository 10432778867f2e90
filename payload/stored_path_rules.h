// What a stored path must be for Windows to write it as a file below the
// target, one home for the extractions and the release tools. Paths are bytes
// of GBK (the payload's code page) with "\" (or "/") between steps; a GBK
// lead byte 0x81-0xFE and the trail byte after it are one character.
#pragma once

#include <string>

#include "payload/payload_fault.h"

namespace ovsetup::payload {

// kNone when `path` may be written as it stands, else the first rule it
// breaks, step by step from the front (a leading "\" or a ":" first):
//  - kUnsafePath: absolute (leading "\" or "/"), a ":" anywhere, or a step
//    of only dots and blanks with two dots or more ("..", "...", ".. ");
//  - kBadCharacter: a byte below 0x20 or one of < > " | ? * (a trail byte
//    of a double-byte character is part of that character, not a "|");
//  - kDeviceName: a step whose name before its first "." (blanks at its end
//    dropped) is CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$ or
//    CONOUT$ in any letter case, as in "nul", "Com3.log", "aux .txt";
//  - kDotOrSpaceEnd: a step that ends in "." or " ".
// Empty steps are left alone.
PayloadFault CheckStoredPath(const std::string& path);

// kNone when `name` can be the name of one file in a folder as it stands:
// kUnsafePath when it is empty or holds a "\", "/" or ":" (a trail byte of
// a double-byte character is part of that character), else the first rule of
// a step above that it breaks ("CON.lnk", "a*b.lnk", "x.lnk " fail).
PayloadFault CheckFileName(const std::string& name);

// `path` with every ASCII letter that is a character of its own (not a trail
// byte) in upper case: two paths that fold alike name one file on Windows.
std::string FoldStoredCase(const std::string& path);

}  // namespace ovsetup::payload
