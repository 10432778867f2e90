#include "tools/ovpack/entry_encoder.h"

#include <cstdlib>

#include "LzmaEnc.h"
#include "payload/branch_filter.h"
#include "payload/compression_record.h"

namespace ovsetup::ovpack {
namespace {

void* Allocate(void*, std::size_t size) { return std::malloc(size); }
void Release(void*, void* address) { std::free(address); }

}  // namespace

bool CompressEntry(const std::vector<unsigned char>& file, std::vector<unsigned char>* body) {
  body->clear();
  const std::size_t properties = payload::kLzmaPropertiesSize;
  if (file.size() <= properties + 1) return false;
  std::vector<unsigned char> filtered(file);
  payload::BranchFilter(true).Apply(filtered.data(), filtered.size(), true);
  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.level = 9;
  props.dictSize = payload::kMaxDictionary;
  props.reduceSize = static_cast<UInt32>(file.size() < payload::kMaxDictionary ? file.size()
                                                                               : payload::kMaxDictionary);
  props.lc = 3;
  props.lp = 0;
  props.pb = 2;
  props.algo = 1;
  props.fb = 64;
  props.btMode = 1;
  props.numHashBytes = 4;
  props.mc = 48;
  props.writeEndMark = 0;
  props.numThreads = 1;
  // Room for one byte less than the file: a body that does not shrink
  // overflows it and the file is stored as is.
  body->resize(file.size() - 1);
  SizeT stream_size = body->size() - properties;
  SizeT properties_size = properties;
  ISzAlloc alloc = {Allocate, Release};
  const SRes result = LzmaEncode(body->data() + properties, &stream_size, filtered.data(), filtered.size(),
                                 &props, body->data(), &properties_size, 0, nullptr, &alloc, &alloc);
  if (result != SZ_OK || properties_size != properties) {
    body->clear();
    return false;
  }
  body->resize(properties + stream_size);
  return true;
}

}  // namespace ovsetup::ovpack
