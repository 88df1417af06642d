#include "words.h"

namespace kra_words {
const KraText width = {{"宽", "W", "Ширина", "Rộng", "寬"}};
const KraText height = {{"高", "H", "Высота", "Cao", "高"}};
const KraText key_width = {{"宽", "W", "W", "W", "寬"}};
const KraText cancel = {{"取消", "Cancle", "Отмена", "Hủy bỏ", "取消"}};
const KraText ok = {{"确定", "OK", "OK", "Đồng ý", "確定"}};
const KraText remove = {{"删除", "Delete", "Удалить", "Xoá bỏ", "删除"}};
// No soft hyphen after the Chinese word: Qt draws one at the end of a text as a "-".
const KraText in_use = {{"使用中", "Using", "Использовать", "sử dụng", "使用中"}};
const KraText no_signal = {{"无信号", "No signal", "Нет сигнала", "Không có tín hiệu", "無信號"}};
const KraText led_screen = {{"LED屏: ", "LED screen: ", "LED экран: ", "Màn hình LED: ", "LED屏: "}};
} // namespace kra_words
