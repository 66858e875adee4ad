#include "download/download_texts.h"

#include <algorithm>

#include "base/numbers.h"
#include "download/item_transfer.h"

namespace velnor {
namespace {

constexpr StringView kSeparator = u" · ";
constexpr int kStateCount = static_cast<int>(ItemState::kNotRun) + 1;

String Decimal(uint64_t value) { return DecimalText(static_cast<int64_t>(value)); }

// value / unit with one decimal, rounded: "1.2".
String Tenths(uint64_t value, uint64_t unit) {
  const uint64_t tenths = value / unit * 10 + ((value % unit) * 10 + unit / 2) / unit;
  return Decimal(tenths / 10) + u"." + Decimal(tenths % 10);
}

}  // namespace

String ByteText(uint64_t bytes) {
  constexpr uint64_t kKilo = 1024;
  if (bytes < kKilo) return Decimal(bytes) + u" B";
  if (bytes < kKilo * kKilo - kKilo / 20) return Tenths(bytes, kKilo) + u" KB";
  if (bytes < kKilo * kKilo * kKilo - kKilo * kKilo / 20) return Tenths(bytes, kKilo * kKilo) + u" MB";
  return Tenths(bytes, kKilo * kKilo * kKilo) + u" GB";
}

String ItemStateText(const DownloadItem& item) {
  switch (item.state) {
    case ItemState::kWaiting:
    case ItemState::kQueued:
      return u"待機中";
    case ItemState::kRunning:
      if (item.totalSize && *item.totalSize > 0) {
        return u"ダウンロード中 " + Decimal(std::min<uint64_t>(100, item.bytes * 100 / *item.totalSize)) + u"%";
      }
      return u"ダウンロード中 " + ByteText(item.bytes);
    case ItemState::kDone:
      return u"完了";
    case ItemState::kExisting:
      return u"既存";
    case ItemState::kNotFound:
      return u"見つかりません";
    case ItemState::kNotFoundPage:
      return u"見つかりません (ページ)";
    case ItemState::kNotFoundPlaceholder:
      return u"見つかりません (代わりの画像)";
    case ItemState::kFailed:
      return u"失敗: " + item.failure;
    case ItemState::kCancelled:
      return u"中止";
    case ItemState::kNotRun:
      return u"未実行";
  }
  return {};
}

std::vector<String> StateColumnTexts() {
  std::vector<String> texts;
  for (int state = 0; state < kStateCount; ++state) {
    DownloadItem item;
    item.state = static_cast<ItemState>(state);
    if (item.state == ItemState::kFailed) {
      for (const String& reason : FailureReasons()) {
        item.failure = reason;
        texts.push_back(ItemStateText(item));
      }
      continue;
    }
    if (item.state == ItemState::kRunning) {
      item.bytes = 1023ull << 30;  // "1023.0 GB", as wide as the bytes so far get
      texts.push_back(ItemStateText(item));
      item.totalSize = item.bytes;  // "100%"
    }
    texts.push_back(ItemStateText(item));
  }
  return texts;
}

String ItemSizeText(const DownloadItem& item) {
  if (item.totalSize) return ByteText(*item.totalSize);
  return item.bytes > 0 ? ByteText(item.bytes) : String();
}

String StatusLineText(const std::vector<DownloadItem>& items, bool running, uint64_t bytesPerSecond) {
  int counts[kStateCount] = {};
  for (const DownloadItem& item : items) ++counts[static_cast<int>(item.state)];
  auto count = [&counts](ItemState state) { return DecimalText(counts[static_cast<int>(state)]) + u" 件"; };
  if (running) {
    const int remaining = counts[static_cast<int>(ItemState::kWaiting)] +
                          counts[static_cast<int>(ItemState::kQueued)] + counts[static_cast<int>(ItemState::kRunning)];
    return u"ダウンロード中: 残り " + DecimalText(remaining) + u" 件" + String(kSeparator) +
           Tenths(bytesPerSecond, 1024 * 1024) + u" MB/s";
  }
  const String separator(kSeparator);
  return u"完了 " + count(ItemState::kDone) + separator + u"既存 " + count(ItemState::kExisting) + separator +
         u"見つかりません " +
         DecimalText(counts[static_cast<int>(ItemState::kNotFound)] + counts[static_cast<int>(ItemState::kNotFoundPage)] +
                     counts[static_cast<int>(ItemState::kNotFoundPlaceholder)]) +
         u" 件" + separator + u"失敗 " + count(ItemState::kFailed) +
         separator + u"中止 " + count(ItemState::kCancelled) + separator + u"未実行 " + count(ItemState::kNotRun);
}

int ItemsProgressPercent(const std::vector<DownloadItem>& items) {
  if (items.empty()) return 0;
  double settled = 0;
  for (const DownloadItem& item : items) {
    if (item.state == ItemState::kRunning) {
      if (item.totalSize && *item.totalSize > 0) {
        settled += std::min(1.0, static_cast<double>(item.bytes) / static_cast<double>(*item.totalSize));
      }
    } else if (item.state != ItemState::kWaiting && item.state != ItemState::kQueued) {
      settled += 1;
    }
  }
  return static_cast<int>(settled * 100 / static_cast<double>(items.size()));
}

}  // namespace velnor
