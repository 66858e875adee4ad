#pragma once
// The program on the model window: a ModelForm, a ScriptedPlatform and the wired Program.
#include "scripted_platform.h"
#include "ui/event_wiring.h"
#include "ui/model_form.h"
#include "ui/program.h"

namespace velnor::testing {

struct ModelProgram {
  ModelProgram() {
    program.form = window.form();
    program.platform = &platform;
    WireEvents(program);
  }
  ModelProgram(const ModelProgram&) = delete;
  ModelProgram& operator=(const ModelProgram&) = delete;

  // Types text into a text box one character at a time, as the user would: a surrogate
  // pair arrives whole, as an input method hands it to the edit control.
  static void Type(TextBox& box, const String& typed) {
    for (StringView rest = typed; !rest.empty();) {
      const StringView c = FirstCharacters(rest, 1);
      box.SetText(box.GetText() + String(c));
      rest.remove_prefix(c.size());
    }
  }

  ModelForm window;
  ScriptedPlatform platform;
  Program program;
};

}  // namespace velnor::testing
