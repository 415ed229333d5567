#ifndef KESTARO_PLATFORM_WINDOWS_FILES_H
#define KESTARO_PLATFORM_WINDOWS_FILES_H

#include <windows.h>

// Windows only: what the file services share.
namespace kestaro {

// One file, however named: the same volume and the same file index.
inline bool sameFile(HANDLE x, HANDLE y) {
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  return GetFileInformationByHandle(x, &a) && GetFileInformationByHandle(y, &b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace kestaro

#endif
