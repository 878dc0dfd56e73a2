// The pack command: check, then the sealed, reproducible zip.
#include <memory>

#include "platform/console.h"
#include "tool/check.h"
#include "tool/commands.h"
#include "tool/pack.h"
#include "tool/session.h"
#include "tool/zip_writer.h"

namespace {

// The zip's name for a package-relative name: UTF-8, "/"-divided, under
// the package's folder.
std::string ZipName(const std::string& folder, const std::string& name) {
  std::string text = folder + "\\" + name;
  for (char& c : text) {
    if (c == '\\')
      c = '/';
  }
  return text;
}

// Copies `file` into the entry begun, checking that it is still the file
// that was summed.
bool CopyIn(FileSystem& files, const PackedFile& file, ZipWriter* zip, std::string* err) {
  if (file.path.empty())
    return zip->Write(file.bytes.data(), file.bytes.size());
  std::unique_ptr<InputFile> in = files.OpenRead(file.path, err);
  if (!in)
    return false;
  std::unique_ptr<char[]> buf(new char[256 * 1024]);
  std::uint32_t crc = 0;
  for (long n; (n = in->Read(buf.get(), 256 * 1024)) != 0;) {
    if (n < 0 || !zip->Write(buf.get(), static_cast<std::size_t>(n)))
      return false;
    crc = Crc32(crc, buf.get(), static_cast<std::size_t>(n));
  }
  if (crc == file.crc)
    return true;
  *err = "'" + file.path + "' changed while it was packed";
  return false;
}

bool WriteEntries(FileSystem& files, OutputFile& out, const std::string& folder,
                  const PackList& list, std::string* err) {
  ZipWriter zip(out);
  for (const PackedFile& file : list.files) {
    if (!zip.Begin(ZipName(folder, file.name), file.dos_time, file.crc, file.sum.size) ||
        !CopyIn(files, file, &zip, err)) {
      if (err->empty())
        *err = zip.error();
      return false;
    }
  }
  if (!zip.Finish())
    *err = zip.error();
  return err->empty();
}

std::string FolderName(const std::string& package) {
  std::string::size_type slash = package.rfind('\\');
  return slash == std::string::npos ? package : package.substr(slash + 1);
}

std::string ToolFolder(Shell& shell) {
  std::string tool = shell.ModulePath();
  std::string::size_type slash = tool.rfind('\\');
  return slash == std::string::npos ? std::string() : tool.substr(0, slash + 1);
}

}  // namespace

bool WriteZip(FileSystem& files, const std::string& out, const std::string& folder,
              const PackList& list, std::string* err) {
  std::string temp = out + kReplaceTempSuffix;
  std::unique_ptr<OutputFile> file = files.CreateWrite(temp, err);
  if (!file)
    return false;
  err->clear();
  bool written = WriteEntries(files, *file, folder, list, err);
  bool closed = file->Close();
  if (written && !closed)
    *err = "cannot write " + temp;
  if (written && closed && files.Replace(temp, out, err))
    return true;
  files.Remove(temp);
  return false;
}

int RunPack(Platform& system, Console& console, const ToolOptions& options) {
  int checked = CheckAndPrint(system, console, options, false);
  if (checked != kExitOk) {
    console.Write(ConsoleStream::kErr, "packwright-tool: not packed; mend what the check found.\n");
    return checked;
  }
  ToolFolders folders = ResolveFolders(system.files, options);
  std::string folder = FolderName(folders.package);
  std::string exe = system.files.FullPath(
      options.exe.empty() ? ToolFolder(system.shell) + "Packwright.exe" : options.exe);
  if (!system.files.Exists(folders.package + "\\Packwright.exe") && !system.files.Exists(exe)) {
    console.Write(ConsoleStream::kErr, "packwright-tool: no Packwright.exe in the package or at " +
                                           exe + "; name one with --exe.\n");
    return kExitCannotRun;
  }
  std::string out = system.files.FullPath(options.out.empty() ? folder + ".zip" : options.out);
  PackList list;
  std::string err;
  if (!ListPack(system.files, folders.package, exe, &list, &err) ||
      !WriteZip(system.files, out, folder, list, &err)) {
    console.Write(ConsoleStream::kErr, "packwright-tool: not packed: " + err + "\n");
    return kExitFailed;
  }
  std::string text;
  for (const std::string& name : list.left_out)
    text += "left out (no entry installs it): " + name + "\n";
  text += "Packed " + std::to_string(list.files.size()) + " files into " + out +
          ", sealed in Packwright.sum.\n";
  console.Write(ConsoleStream::kOut, text);
  return kExitOk;
}
