// Finds the file a name stands for the way Windows (and Wine, which shows a
// Linux tree to Windows programs) does: a path component that is not found
// as spelled is looked for among the names of its folder with case ignored
// (FoldCase). A name that no existing entry matches stays as spelled, so
// what is made is named as the caller wrote it.
#ifndef PACKWRIGHT_PLATFORM_CASE_LOOKUP_POSIX_H_
#define PACKWRIGHT_PLATFORM_CASE_LOOKUP_POSIX_H_

#include <sys/stat.h>
#include <sys/types.h>

#include <map>
#include <mutex>
#include <set>
#include <string>

class CaseLookup {
 public:
  // The POSIX path of the entry that absolute POSIX path `native` names:
  // each component as spelled when that exists, else the one name of its
  // folder that matches with case ignored, or the first of them in byte
  // order when several do. Components past the first that matches nothing
  // stay as spelled. `native` itself when it exists as spelled (one lstat),
  // and also when a component cannot be examined for any reason other than
  // being absent.
  std::string Resolve(const std::string& native);

  // Tell the lookup that this process is about to change, and has made or
  // removed, the entry `native` (a resolved path), so that a folder
  // listing it holds stays current. BeforeChange drops the listing when
  // the folder changed since it was read, so that another program's
  // change is not taken for this one's.
  //
  // A listing is kept while the folder's status (device, inode, size, link
  // count, last-write time) is unchanged. The last-write time moves in
  // clock ticks of a few milliseconds, so a name that another program adds
  // within the same tick as this process's last read or change of that
  // folder can go unseen until the folder changes again; the same name
  // then appears twice in different case, as two programs racing on one
  // Windows folder could not make it.
  void BeforeChange(const std::string& native);
  void Made(const std::string& native);
  void Removed(const std::string& native);

 private:
  // One folder's names, read once and kept while the folder is unchanged,
  // so that a step that writes many files into one folder lists it once.
  struct Listing {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    nlink_t links = 0;
    struct timespec mtime = {0, 0};
    // Folded name -> the names that fold to it, in byte order.
    std::map<std::string, std::set<std::string>> names;
  };

  // False when `native` (a resolved path) does not exist.
  bool ResolveInto(const std::string& native, std::string* out);
  // The listing of folder `dir`, read or kept; null when it cannot be read.
  const Listing* ListingOf(const std::string& dir);
  static void Stamp(const struct stat& st, Listing* listing);
  static bool SameStamp(const Listing& listing, const struct stat& st);
  void Update(const std::string& native, bool made);
  void Restamp(const std::string& dir, Listing* listing);

  std::mutex mutex_;
  std::map<std::string, Listing> listings_;
};

#endif  // PACKWRIGHT_PLATFORM_CASE_LOOKUP_POSIX_H_
