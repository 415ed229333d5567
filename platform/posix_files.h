#ifndef KESTARO_PLATFORM_POSIX_FILES_H
#define KESTARO_PLATFORM_POSIX_FILES_H

#include <sys/stat.h>

#include <string>

// POSIX only: what the file services share.
namespace kestaro {

// The folder that holds `path`: "." for a bare name, "/" at the root.
inline std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// One file, however named: the same device and the same inode.
inline bool sameIdentity(const struct stat& x, const struct stat& y) {
  return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

}  // namespace kestaro

#endif
