#include "install/install_job.h"
#include "payload/payload_archive.h"

namespace ovsetup::install {

bool JobContext::ExtractAll(const std::string& target, const char* failure_text) const {
  const payload::WalkResult result =
      payload::PayloadArchive(payload_file).Extract(target, payload::Selection::kAll, progress);
  if (result.ok()) return true;
  Fail(payload::IsDamage(result.fault) ? messages.setup_damaged : failure_text);
  return false;
}

}  // namespace ovsetup::install
