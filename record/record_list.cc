#include "record/record_list.h"

std::vector<RecordSummary> ListRecords(Platform& platform, const std::string& hostDir) {
  std::vector<RecordSummary> list;
  UndoOptions dry_run;
  dry_run.dry_run = true;
  RecordSet all = ReadRecordSet(platform.files, hostDir);
  for (const RunRecord& record : all.runs) {
    RecordSummary summary;
    summary.record = record;
    for (const RecordedFile& file : record.files) {
      if (!file.failed &&
          (file.kind == RecordedFile::kCreate || file.kind == RecordedFile::kReplace))
        ++summary.files;
    }
    for (const RecordedTexture& texture : record.catalogue.textures)
      summary.textures += texture.added ? 1 : 0;
    summary.undo = UndoInSet(platform, hostDir, all, record, dry_run).outcome;
    list.push_back(summary);
  }
  return list;
}
