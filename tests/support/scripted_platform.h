#pragma once
// A Platform for tests: records every message box and runs the window messages a test has
// queued, both while a box is open and when the procedures let pending messages run.
#include <deque>
#include <functional>
#include <vector>

#include "base/cp932.h"
#include "base/platform.h"

namespace velnor::testing {

struct ShownMessage {
  String text;
  String caption;
  int style = 0;
  bool operator==(const ShownMessage&) const = default;
};

class ScriptedPlatform : public Platform {
 public:
  void ShowMessage(const String& text, const String& caption, int style) override {
    messages.push_back({text, caption, style});
    if (whileMessageOpen) whileMessageOpen(messages.back());
    RunPending();
  }
  void ProcessPendingMessages() override {
    ++pendingPasses;
    RunPending();
  }
  double TwipsPerPixelX() const override { return twipsPerPixel; }
  int AnsiByteCount(StringView text) const override { return cp932::ByteCount(text); }
  String NarrowFullWidth(const String& text) const override { return cp932::NarrowFullWidth(text); }

  // Texts of the boxes shown so far, in order.
  std::vector<String> MessageTexts() const {
    std::vector<String> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
  }

  std::vector<ShownMessage> messages;
  // Runs while each message box is open (before the queued messages).
  std::function<void(const ShownMessage&)> whileMessageOpen;
  // Window messages waiting in the queue: each runs once, at the next chance.
  std::deque<std::function<void()>> queued;
  int pendingPasses = 0;
  double twipsPerPixel = 15;

 private:
  void RunPending() {
    while (!queued.empty()) {
      auto next = std::move(queued.front());
      queued.pop_front();
      next();
    }
  }
};

}  // namespace velnor::testing
