#include "engine/safe_copy.h"

#include <memory>

void DiscardTemporary(FileSystem& files, const std::string& temp) {
  if (files.Remove(temp))
    return;
  files.SetNormalAttributes(temp);
  files.Remove(temp);
}

namespace {

// Copies the bytes, summing each buffer just read before it is written.
bool Pump(InputFile& from, OutputFile& to, FileSum* written) {
  FileSummer summer(SumKind::kXxh64);
  // Large enough that a big file costs few calls, small enough to stay in
  // the cache while it is summed; left uninitialised, as clearing it would
  // cost a small file more than its copy.
  const std::size_t kSize = 256 * 1024;
  std::unique_ptr<char[]> buf(new char[kSize]);
  for (;;) {
    long n = from.Read(buf.get(), kSize);
    if (n < 0)
      return false;
    if (n == 0)
      break;
    summer.Add(buf.get(), static_cast<std::size_t>(n));
    if (!to.Write(buf.get(), static_cast<std::size_t>(n)))
      return false;
  }
  *written = summer.Result();
  return true;
}

}  // namespace

bool WriteTemporary(FileSystem& files, InputFile& from, const std::string& temp, bool flush,
                    CopyResult* result, std::string* err) {
  // A name that cannot be made new is left alone: it may lead elsewhere.
  std::unique_ptr<OutputFile> out = files.CreateNew(temp, err);
  if (!out)
    return false;
  bool ok = Pump(from, *out, &result->written) && out->StampFrom(from, &result->time) &&
            (!flush || out->Flush());
  if (!out->Close() || !ok) {
    *err = "WriteTemporary(" + temp + "): the copy failed";
    out.reset();
    DiscardTemporary(files, temp);
    return false;
  }
  return true;
}

bool PutInPlace(FileSystem& files, const std::string& temp, const std::string& to,
                std::string* err) {
  if (files.Replace(temp, to, err))
    return true;
  DiscardTemporary(files, temp);
  return false;
}

bool CopyFileSafely(FileSystem& files, const std::string& from, const std::string& to,
                    std::string* err) {
  std::string ignored;
  if (!err)
    err = &ignored;
  // Replacing by rename would pass over the read-only flag on POSIX and
  // under Wine, so it is checked here before anything is written.
  if (files.IsReadOnly(to)) {
    *err = "CopyFileSafely(" + from + ", " + to + "): destination is read-only";
    return false;
  }
  std::unique_ptr<InputFile> in = files.OpenRead(from, err);
  CopyResult copy;
  std::string temp = to + kReplaceTempSuffix;
  return in && WriteTemporary(files, *in, temp, files.Exists(to), &copy, err) &&
         PutInPlace(files, temp, to, err);
}
