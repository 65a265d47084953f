#include "tools/shortcut/shortcut.h"

#include <objbase.h>
#include <propkey.h>
#include <propsys.h>
#include <propvarutil.h>
#include <shlobj.h>

#include "util/com_ptr.h"

namespace webview::detail {
namespace {

class prop_variant {
 public:
  prop_variant() noexcept { PropVariantInit(&value_); }
  ~prop_variant() { PropVariantClear(&value_); }
  prop_variant(const prop_variant&) = delete;
  prop_variant& operator=(const prop_variant&) = delete;

  PROPVARIANT* get() noexcept { return &value_; }
  const PROPVARIANT& value() const noexcept { return value_; }

 private:
  PROPVARIANT value_;
};

// The shell's rule for an AppUserModelID: at most 128 characters, no spaces.
constexpr std::wstring::size_type max_app_id_length = 128;

bool is_valid_app_id(const std::wstring& app_id) {
  return !app_id.empty() && app_id.size() <= max_app_id_length &&
         app_id.find(L' ') == std::wstring::npos;
}

com_ptr<IShellLinkW> create_shell_link(HRESULT& hr) {
  com_ptr<IShellLinkW> link;
  hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                        reinterpret_cast<void**>(link.put()));
  return link;
}

template <typename Interface>
com_ptr<Interface> query(IUnknown* object, REFIID id, HRESULT& hr) {
  com_ptr<Interface> result;
  hr = object->QueryInterface(id, reinterpret_cast<void**>(result.put()));
  return result;
}

}  // namespace

HRESULT write_shortcut(const std::wstring& link_path, const std::wstring& target,
                       const std::wstring& app_id) {
  HRESULT hr = S_OK;
  const com_ptr<IShellLinkW> link = create_shell_link(hr);
  if (FAILED(hr)) return hr;
  return write_shortcut(link.get(), link_path, target, app_id);
}

HRESULT write_shortcut(IShellLinkW* link, const std::wstring& link_path, const std::wstring& target,
                       const std::wstring& app_id) {
  if (!link || link_path.empty() || target.empty() || !is_valid_app_id(app_id)) {
    return E_INVALIDARG;
  }
  HRESULT hr = S_OK;
  if (FAILED(hr = link->SetPath(target.c_str()))) return hr;
  const std::wstring::size_type separator = target.find_last_of(L"\\/");
  if (separator != std::wstring::npos) {
    const std::wstring folder = target.substr(0, separator);
    if (FAILED(hr = link->SetWorkingDirectory(folder.c_str()))) return hr;
  }
  if (FAILED(hr = link->SetIconLocation(target.c_str(), 0))) return hr;

  const com_ptr<IPropertyStore> store = query<IPropertyStore>(link, IID_IPropertyStore, hr);
  if (FAILED(hr)) return hr;
  prop_variant value;
  if (FAILED(hr = InitPropVariantFromString(app_id.c_str(), value.get()))) return hr;
  if (FAILED(hr = store->SetValue(PKEY_AppUserModel_ID, value.value()))) return hr;
  if (FAILED(hr = store->Commit())) return hr;

  const com_ptr<IPersistFile> file = query<IPersistFile>(link, IID_IPersistFile, hr);
  if (FAILED(hr)) return hr;
  return file->Save(link_path.c_str(), TRUE);
}

std::optional<std::wstring> read_shortcut_app_id(const std::wstring& link_path) {
  HRESULT hr = S_OK;
  const com_ptr<IShellLinkW> link = create_shell_link(hr);
  if (FAILED(hr)) return std::nullopt;
  const com_ptr<IPersistFile> file = query<IPersistFile>(link.get(), IID_IPersistFile, hr);
  if (FAILED(hr) || FAILED(file->Load(link_path.c_str(), STGM_READ))) return std::nullopt;
  const com_ptr<IPropertyStore> store = query<IPropertyStore>(link.get(), IID_IPropertyStore, hr);
  if (FAILED(hr)) return std::nullopt;
  prop_variant value;
  if (FAILED(store->GetValue(PKEY_AppUserModel_ID, value.get()))) return std::nullopt;
  if (value.value().vt != VT_LPWSTR || !value.value().pwszVal) return std::nullopt;
  return std::wstring(value.value().pwszVal);
}

}  // namespace webview::detail
