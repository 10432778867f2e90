// Shortcuts through the shell-link object: IShellLinkA filled in, saved by
// IPersistFile in a single-threaded apartment of the call's own.
#include "platform/shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "platform/non_copyable.h"

namespace ovsetup::platform {
namespace {

const int kLinkPathCapacity = 260;  // wide characters, terminator included

// COM for the calling thread for the lifetime of the object. Uninitializes
// only what it initialized.
class ComApartment : NonCopyable {
 public:
  ComApartment() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (initialized_) CoUninitialize();
  }

 private:
  bool initialized_;
};

// Owns one reference to a COM interface.
template <typename T>
class ComRef : NonCopyable {
 public:
  ~ComRef() {
    if (ptr_ != nullptr) ptr_->Release();
  }
  T* operator->() const { return ptr_; }
  void** out() { return reinterpret_cast<void**>(&ptr_); }

 private:
  T* ptr_ = nullptr;
};

// Keeps the first failure of a sequence of calls.
void Note(HRESULT hr, HRESULT* first_failure) {
  if (FAILED(hr) && SUCCEEDED(*first_failure)) *first_failure = hr;
}

}  // namespace

ComResult WriteShellLink(const std::string& target, const std::string& link_path,
                         const std::string& description, const std::string* icon_file) {
  ComApartment apartment;
  ComRef<IShellLinkA> link;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.out());
  if (FAILED(hr)) return hr;

  HRESULT failure = S_OK;
  Note(link->SetPath(target.c_str()), &failure);
  Note(link->SetDescription(description.c_str()), &failure);
  if (icon_file != nullptr) Note(link->SetIconLocation(icon_file->c_str(), 0), &failure);
  Note(link->SetShowCmd(SW_SHOW), &failure);

  ComRef<IPersistFile> file;
  hr = link->QueryInterface(IID_IPersistFile, file.out());
  if (FAILED(hr)) return hr;
  WCHAR wide_path[kLinkPathCapacity];
  // Fails, rather than writing on, when the path does not fit with its NUL.
  if (MultiByteToWideChar(CP_ACP, 0, link_path.c_str(), -1, wide_path, kLinkPathCapacity) == 0)
    return kLinkPathTooLong;
  Note(file->Save(wide_path, TRUE), &failure);
  return FAILED(failure) ? failure : hr;
}

}  // namespace ovsetup::platform
