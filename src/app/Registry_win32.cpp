#include "app/Registry_win32.h"

#include <vector>

namespace loom {

bool ReadRegistryString(HKEY root, const wchar_t* subkey, const wchar_t* name, std::wstring& value, bool anyType) {
  HKEY key;
  if (::RegOpenKeyExW(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  std::vector<BYTE> buf(512);
  DWORD type = 0, size = 0;
  LONG rc;
  do {
    size = DWORD(buf.size());
    rc = ::RegQueryValueExW(key, name, nullptr, &type, buf.data(), &size);
    if (rc == ERROR_MORE_DATA) buf.resize(size + sizeof(wchar_t));  // it may grow in between
  } while (rc == ERROR_MORE_DATA);
  ::RegCloseKey(key);
  if (rc != ERROR_SUCCESS || (!anyType && (type != REG_SZ || size % 2 != 0))) return false;
  value.assign(reinterpret_cast<const wchar_t*>(buf.data()), size / 2);
  if (!value.empty() && value.back() == L'\0') value.pop_back();
  return true;
}

}  // namespace loom
