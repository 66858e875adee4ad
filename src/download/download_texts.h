#pragma once
// What the download window shows of items: the state and size columns, the status line and
// the progress bar.
#include <cstdint>
#include <vector>

#include "base/text.h"
#include "download/download_item.h"

namespace velnor {

// Sizes in binary units with one decimal: "512 B", "64.0 KB", "1.2 MB", "3.4 GB".
String ByteText(uint64_t bytes);

String ItemStateText(const DownloadItem& item);  // "待機中", "ダウンロード中 NN%", "完了", ... "失敗: HTTP 403"
String ItemSizeText(const DownloadItem& item);   // the size, or the bytes so far

// Every text the state column can show, a failure with each of its reasons and the progress
// at its widest: the column is made as wide as the widest of them.
std::vector<String> StateColumnTexts();

// "ダウンロード中: 残り N 件 · N.N MB/s" while running (MB = 1024 × 1024 bytes), the
// summary of the states after.
String StatusLineText(const std::vector<DownloadItem>& items, bool running, uint64_t bytesPerSecond);

int ItemsProgressPercent(const std::vector<DownloadItem>& items);  // 0 ... 100

}  // namespace velnor
