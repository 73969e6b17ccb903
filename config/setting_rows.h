// Every setting, declared once: one row per key of settings.txt, in the order of the file.
//
//   ROW(key, kind, default, low, high, outside, label)
//
// - key: the name in settings.txt and of the field of `Settings`;
// - kind: Flag (8-bit, on only for exactly "1"), Integer (32-bit, "%d"), OneDecimal (float, "%.1f"),
//   Character (one UTF-16 unit; an empty value gives the default) or Text (the value as it stands);
// - low, high: the values the settings window offers (0, 0 where the window offers no range);
// - outside: what a value outside low..high does: Kept (it is used as it stands: a hand-edited
//   threshold of 5.0 stays 5.0), ActsAsDefault (kept in the file, acting as the default: a method
//   of 7 types Telex and is written back as 7), ReadAsDefault (read as the default);
// - label: what the settings window shows for it, "&" before its Alt+letter; the captions of a
//   choice's values are split by "|". Empty where the window shows none.
//
// The record, its defaults, the file's reader and writer, "Mặc định" and the settings window's
// check boxes, radio buttons and drop-down come from these rows: a new setting is a new row (and a
// control on a page, if the window shows it).
#pragma once

// clang-format off
#define TONVIRA_SETTING_ROWS(ROW)                                                                            \
  ROW(enabled,      Flag,       1,    0,   1,   Kept,          u"&Bật bộ gõ")                                  \
  ROW(method,       Integer,    0,    0,   1,   ActsAsDefault, u"T&elex|&VNI")                                 \
  ROW(old_tone,     Flag,       0,    0,   1,   Kept,          u"Đặt &dấu thanh kiểu mới  (hoà, thuý thay vì hòa, thúy)") \
  ROW(context,      Flag,       1,    0,   1,   Kept,          u"Tự nhận &biết ngữ cảnh  (Tiếng Việt / Tiếng Anh theo từng ô nhập)") \
  ROW(startup,      Flag,       1,    0,   1,   Kept,          u"Khởi động cùng &Windows")                     \
  ROW(en_threshold, OneDecimal, 2.0f, 1.0, 4.0, Kept,          u"Ngưỡng n&hận tiếng Anh")                      \
  ROW(hotkey_mode,  Integer,    1,    1,   2,   ReadAsDefault, u"Ctrl + Shift|Ctrl + Shift + phím")            \
  ROW(hotkey_char,  Character,  u'Z', 0,   0,   Kept,          u"Phím đ&i kèm Ctrl + Shift")                   \
  ROW(abbrev,       Flag,       1,    0,   1,   Kept,          u"&Bật gõ tắt")                                 \
  ROW(show_ads,     Flag,       1,    0,   1,   Kept,          u"")                                            \
  ROW(cloud,        Flag,       1,    0,   1,   Kept,          u"")                                            \
  ROW(smart,        Flag,       1,    0,   1,   Kept,          u"Đ&oán thông minh")                            \
  ROW(bs_edit,      Flag,       1,    0,   1,   Kept,          u"&Sửa dấu tại chỗ sau phím lùi  (không phải xoá cả từ gõ lại)") \
  ROW(free_marks,   Flag,       1,    0,   1,   Kept,          u"&Chấp nhận gõ dấu sai thứ tự  (toio → tôi,  muaw → mưa)") \
  ROW(autofix,      Flag,       1,    0,   1,   Kept,          u"Tự sửa &lỗi gõ khi kết thúc từ  (trogn → trong,  100dd → 100đ)") \
  ROW(caps_vi,      Flag,       1,    0,   1,   Kept,          u"Gõ chữ IN HO&A ra tiếng Việt  (COONGJ HOAF → CỘNG HÒA)") \
  ROW(abbrev_lib,   Text,       u"",  0,   0,   Kept,          u"")
// clang-format on
