#include "install/install_job.h"
#include "payload/payload_archive.h"

namespace ovsetup::install {

bool JobContext::ExtractAll(const std::string& target, const char* failure_text,
                            const std::vector<std::string>& deliverables) const {
  const payload::WalkResult result = payload::PayloadArchive(setup_file)
                                         .Extract(target, payload::Selection::kAll, &progress,
                                                  deliverables, settings_on_disk);
  if (result.ok()) return true;
  sink.OnExtractionStopped(result);
  Fail(ExtractionStopText(messages, result, failure_text).c_str());
  return false;
}

bool JobContext::HoldFolders(const std::vector<std::string>& folders) const {
  if (written.FirstUntrusted(folders).empty()) return true;
  Fail(messages.untrusted_link);
  return false;
}

}  // namespace ovsetup::install
