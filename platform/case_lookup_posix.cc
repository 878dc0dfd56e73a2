#include "platform/case_lookup_posix.h"

#include <dirent.h>
#include <errno.h>

#include "platform/posix_syscalls.h"
#include "platform/unicode.h"

namespace {

// Listings kept at most; a walk over more folders starts afresh.
const std::size_t kMaxListings = 1024;

std::string Join(const std::string& dir, const std::string& name) {
  return dir == "/" ? "/" + name : dir + "/" + name;
}

// Splits absolute `native` at its last slash.
void Split(const std::string& native, std::string* dir, std::string* name) {
  std::size_t slash = native.rfind('/');
  *dir = slash == 0 ? "/" : native.substr(0, slash);
  *name = native.substr(slash + 1);
}

}  // namespace

void CaseLookup::Stamp(const struct stat& st, Listing* listing) {
  listing->dev = st.st_dev;
  listing->ino = st.st_ino;
  listing->size = st.st_size;
  listing->links = st.st_nlink;
  listing->mtime = st.st_mtim;
}

bool CaseLookup::SameStamp(const Listing& listing, const struct stat& st) {
  return listing.dev == st.st_dev && listing.ino == st.st_ino && listing.size == st.st_size &&
         listing.links == st.st_nlink && listing.mtime.tv_sec == st.st_mtim.tv_sec &&
         listing.mtime.tv_nsec == st.st_mtim.tv_nsec;
}

std::string CaseLookup::Resolve(const std::string& native) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string out;
  ResolveInto(native, &out);
  return out;
}

bool CaseLookup::ResolveInto(const std::string& native, std::string* out) {
  *out = native;
  struct stat st;
  if (native.size() < 2 || native[0] != '/' || g_syscalls.lstat(native.c_str(), &st) == 0)
    return true;
  if (errno != ENOENT && errno != ENOTDIR)
    return true;
  std::string dir;
  std::string name;
  Split(native, &dir, &name);
  // Most often the folder exists as spelled, and reading its status for the
  // listing shows that as well.
  const Listing* listing = ListingOf(dir);
  if (!listing) {
    std::string resolved;
    if (ResolveInto(dir, &resolved) && resolved != dir) {
      dir = resolved;
      listing = ListingOf(dir);
    }
  }
  *out = Join(dir, name);
  if (!listing)
    return false;
  auto match = listing->names.find(FoldCase(name));
  if (match == listing->names.end())
    return false;
  if (!match->second.count(name))
    *out = Join(dir, *match->second.begin());
  return true;
}

const CaseLookup::Listing* CaseLookup::ListingOf(const std::string& dir) {
  // The folder's status is read before its names, so that a change made
  // while they are read gives it a new stamp and the next lookup reads it
  // again.
  struct stat st;
  if (g_syscalls.stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return nullptr;
  auto kept = listings_.find(dir);
  if (kept != listings_.end() && SameStamp(kept->second, st))
    return &kept->second;
  DIR* d = g_syscalls.opendir(dir.c_str());
  if (!d)
    return nullptr;
  Listing fresh;
  Stamp(st, &fresh);
  while (struct dirent* entry = g_syscalls.readdir(d)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..")
      fresh.names[FoldCase(name)].insert(name);
  }
  g_syscalls.closedir(d);
  if (listings_.size() >= kMaxListings)
    listings_.clear();
  return &(listings_[dir] = std::move(fresh));
}

void CaseLookup::BeforeChange(const std::string& native) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string dir;
  std::string name;
  Split(native, &dir, &name);
  auto kept = listings_.find(dir);
  struct stat st;
  if (kept != listings_.end() &&
      (g_syscalls.stat(dir.c_str(), &st) != 0 || !SameStamp(kept->second, st)))
    listings_.erase(kept);
}

void CaseLookup::Made(const std::string& native) {
  Update(native, true);
}

void CaseLookup::Removed(const std::string& native) {
  Update(native, false);
}

void CaseLookup::Update(const std::string& native, bool made) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string dir;
  std::string name;
  Split(native, &dir, &name);
  auto kept = listings_.find(dir);
  if (kept == listings_.end())
    return;
  std::map<std::string, std::set<std::string>>& names = kept->second.names;
  std::string folded = FoldCase(name);
  if (made) {
    names[folded].insert(name);
  } else if (names.count(folded)) {
    names[folded].erase(name);
    if (names[folded].empty())
      names.erase(folded);
  }
  Restamp(dir, &kept->second);
}

// The folder changed through this process only, as far as it knows, so the
// updated listing takes the folder's new stamp. A change by another program
// in between goes unseen until the folder changes again: folders are not
// locked.
void CaseLookup::Restamp(const std::string& dir, Listing* listing) {
  struct stat st;
  if (g_syscalls.stat(dir.c_str(), &st) != 0) {
    listings_.erase(dir);
    return;
  }
  Stamp(st, listing);
}
