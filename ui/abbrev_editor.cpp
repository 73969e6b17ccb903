#include "ui/abbrev_editor.h"

#include "app/shell.h"
#include "config/data_folder.h"

namespace tonvira::ui {
namespace {

std::u16string AbbrevPath() {
  return DataFilePath(u"abbrev.txt");
}

// An abbrev.txt that was there at start-up but could not be read is never overwritten: the
// list cannot be changed in this run, and the user is told why.
bool MayChange(AbbrevEditor& editor, Dialogs& dialogs) {
  if (editor.state.AbbrevLoaded) return true;
  dialogs.Tell(
      {u"Không đọc được file gõ tắt lúc khởi động:\n" + AbbrevPath() +
           u"\n\nĐể khỏi ghi đè lên file đó, danh sách gõ tắt chưa sửa được. Hãy kiểm tra file rồi mở "
           u"lại Tonvira.",
       MessageIcon::Warning});
  return false;
}

// The change stays in memory either way; a failed save is told once, and the next change
// tries again.
void Save(AbbrevEditor& editor, Dialogs& dialogs) {
  if (SaveAbbrevs(editor.table, editor.state)) {
    editor.saveFailureTold = false;
    return;
  }
  if (editor.saveFailureTold) return;
  editor.saveFailureTold = true;
  dialogs.Tell({u"Không lưu được danh sách gõ tắt vào file:\n" + AbbrevPath() +
                    u"\n\nThay đổi vẫn dùng được đến khi thoát Tonvira; lần sửa sau Tonvira sẽ thử lưu lại.",
                MessageIcon::Warning});
}

std::u16string Trimmed(std::u16string_view box, size_t units) {
  return std::u16string(TrimAbbrevField(CutToUnits(box, units)));
}

}  // namespace

AddOutcome AddAbbrevFromBoxes(AbbrevEditor& editor, Dialogs& dialogs, std::u16string_view keyBox,
                              std::u16string_view expansionBox) {
  std::u16string key = Trimmed(keyBox, kKeyBoxUnits);
  std::u16string expansion = Trimmed(expansionBox, kExpansionBoxUnits);
  if (key.find_first_of(u" \t") != std::u16string::npos) {
    dialogs.Tell({u"Khoá gõ tắt không được có dấu cách."});
    return {};
  }
  if (key.empty() || expansion.empty()) {
    dialogs.Tell({u"Nhập cả khoá và bản khai triển."});
    return {};
  }
  if (!MayChange(editor, dialogs)) return {};
  const std::u16string* old = LookupAbbrev(editor.table, key);
  if (old && *old != expansion) {
    std::u16string question =
        u"Khoá “" + key + u"” đã có: “" + *old + u"”.\n\nThay bằng bản khai triển mới “" + expansion + u"”?";
    if (!dialogs.Ask({question, MessageIcon::Question})) return {};
  }
  SetAbbrev(editor.table, key, expansion);
  Save(editor, dialogs);
  return {true};
}

bool DeleteAbbrevRow(AbbrevEditor& editor, Dialogs& dialogs, std::optional<size_t> selectedRow) {
  if (!selectedRow) return false;
  auto sorted = SortedAbbrevs(editor.table);
  if (*selectedRow >= sorted.size()) return false;
  if (!MayChange(editor, dialogs)) return false;
  RemoveAbbrev(editor.table, sorted[*selectedRow].first);
  Save(editor, dialogs);
  return true;
}

bool ImportAbbrevsFrom(AbbrevEditor& editor, Dialogs& dialogs, std::u16string_view path) {
  if (!MayChange(editor, dialogs)) return false;
  int count = ImportAbbrevFile(editor.table, path);
  if (count == kImportNotText) {
    dialogs.Tell(
        {u"Chưa nhập trực tiếp được file Excel (.xlsx, .xls).\n\nTrong Excel chọn Tệp ▸ Lưu thành ▸ CSV "
         u"UTF-8 (phân cách bằng dấu phẩy), rồi nhập file .csv vừa lưu.",
         MessageIcon::Warning});
    return false;
  }
  if (count < 0) {
    dialogs.Tell({u"Không đọc được file.", MessageIcon::Error});
    return false;
  }
  Save(editor, dialogs);
  std::string number = std::to_string(count);
  dialogs.Tell({u"Đã nhập " + std::u16string(number.begin(), number.end()) + u" mục."});
  return true;
}

}  // namespace tonvira::ui
