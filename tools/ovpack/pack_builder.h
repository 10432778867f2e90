// Builds a setup: a stub executable followed by a payload of a folder tree.
#pragma once

#include <string>

namespace ovsetup::ovpack {

struct BuildOptions {
  std::string stub;          // the setup executable the payload is appended to
  std::string from;          // folder whose regular files become the entries
  std::string out;           // the setup written
  unsigned code_page = 936;  // code page of the stored paths
  bool progress = false;     // report each entry on stderr
  bool compress = false;     // compress each entry on its own (payload/compression_record.h)
};

// Writes `options.out`: the stub, the integrity record when the stub is a
// PE image whose sections end the file (payload/integrity_record.h), zero
// padding that makes the whole setup a multiple of 8 bytes long (ready for
// signing), the entries, the offset table and N; the same inputs give the
// same bytes. False with `error` set
// to one line naming the entry and the rule when the tree cannot be stored
// or would extract wrongly (a zero-byte file, a path over 399 bytes, over
// 599 files, a name that cannot be encoded, a name Windows cannot hold as a
// file (payload::CheckStoredPath), two paths that differ only in letter
// case, a file that is not a regular file), when the stub already has a
// certificate table, or on an I/O error; the output file is then removed.
// With `compress`, each entry that shrinks is stored compressed, and a
// compression record follows the integrity record (the compressed bodies
// are held in memory until written); a stub whose image does not end the
// file, which cannot carry the records, is refused.
bool BuildSetup(const BuildOptions& options, std::string* error);

}  // namespace ovsetup::ovpack
